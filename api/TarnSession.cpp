// The session library's C API (include/TarnSession.h) over SessionReader
// and SessionWriter. Every refusal is kept as a status and a message in
// the reader or writer; no C++ exception leaves a function.
#include "TarnSession.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "SessionError.h"
#include "SessionReader.h"
#include "SessionWriter.h"

using namespace session;

namespace {

// The blocks in the order of tarn_session_block.
constexpr std::array<Side, 2> kGloveBlocks{Side::Right, Side::Left};
constexpr std::array<Device, 3> kDeviceBlocks{Device::RightTracker, Device::LeftTracker, Device::Headset};

bool hasBlock(const SessionLayout& layout, int block)
{
    return block < 2 ? layout.has(kGloveBlocks[block]) : layout.has(kDeviceBlocks[block - 2]);
}

// Keeps `text` as the message; if even that runs out of memory, a fixed one.
void keep(std::string& message, const char* text) noexcept
{
    try {
        message = text;
    } catch (...) {
        message.clear();
    }
}

// Runs `f`, turning what it throws into a status and a message; `otherwise`
// is the status of an error the session rules do not name (a read for a
// reader, a write for a writer).
template <typename F>
tarn_session_status guarded(std::string& message, tarn_session_status otherwise, F&& f) noexcept
{
    try {
        return f();
    } catch (const SessionError& e) {
        keep(message, e.what());
        return e.status();
    } catch (const std::bad_alloc&) {
        keep(message, "out of memory");
        return TARN_SESSION_OUT_OF_MEMORY;
    } catch (const std::exception& e) {
        keep(message, e.what());
        return otherwise;
    } catch (...) {
        keep(message, "unknown error");
        return otherwise;
    }
}

// Why a field failing plainField is refused, for the messages.
constexpr const char* kNotPlain = "would not read back as written (a comma, a line end, edge blanks or enclosing quotes)";

// Whether a text can stand in a field as it is and read back the same (a
// field loses the blanks at its ends and one pair of enclosing quotes): no
// comma or line end, no blank at either end, not enclosed in quotes.
bool plainField(std::string_view text)
{
    if (text.find_first_of(",\r\n") != std::string_view::npos) return false;
    if (text.empty()) return true;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    return !blank(text.front()) && !blank(text.back()) && !quoted;
}

}  // namespace

struct tarn_session_reader;
struct tarn_session_writer;

namespace {

// A reader or writer just made: handed to the caller with its status (a
// refused one too, so that its message can be read), unless there was no
// memory to make it.
template <class Made>
tarn_session_status handOut(Made* made, tarn_session_status status, Made** out)
{
    if (status == TARN_SESSION_OUT_OF_MEMORY) {
        delete made;
        return status;
    }
    made->failed = status != TARN_SESSION_OK;
    *out = made;
    return status;
}

}  // namespace

struct tarn_session_reader {
    std::unique_ptr<SessionReader> reader;
    std::string message;
    bool failed = false;
    // The last read: each frame's line and the text of its unread columns.
    std::vector<std::size_t> lines;
    std::vector<std::string> texts;  // frame-major, one per column not read as numbers
    std::vector<std::size_t> textColumn;  // column -> index among those, or npos
    std::size_t textColumns = 0;
};

struct tarn_session_writer {
    std::ofstream file;
    std::string path;
    std::unique_ptr<SessionLayout> layout;
    std::unique_ptr<SessionWriter> writer;
    std::string message;
    bool failed = false;
};

extern "C" {

TARN_SESSION_API const char* tarn_session_block_column(tarn_session_block block, size_t value)
try {
    // Every block's names, made once (a static local: thread-safe).
    static const std::vector<std::vector<std::string>> names = [] {
        std::vector<std::vector<std::string>> all(TARN_SESSION_BLOCKS);
        for (int b = 0; b < TARN_SESSION_BLOCKS; ++b)
            for (std::size_t v = 0; v < (b < 2 ? kGloveValues : 7); ++v)
                all[b].push_back(b < 2 ? gloveColumnName(kGloveBlocks[b], v / 4, v % 4)
                                       : deviceColumnName(kDeviceBlocks[b - 2], v));
        return all;
    }();
    const int b = static_cast<int>(block);
    if (b < 0 || b >= TARN_SESSION_BLOCKS || value >= names[b].size()) return nullptr;
    return names[b][value].c_str();
} catch (...) {
    return nullptr;  // no memory for the names
}

TARN_SESSION_API tarn_session_status tarn_session_open(const char* path, const tarn_session_options* options,
                                                       tarn_session_reader** reader)
{
    if (path == nullptr || reader == nullptr) return TARN_SESSION_INVALID_ARGUMENT;
    *reader = nullptr;
    tarn_session_reader* made = new (std::nothrow) tarn_session_reader;
    if (made == nullptr) return TARN_SESSION_OUT_OF_MEMORY;
    const tarn_session_status status = guarded(made->message, TARN_SESSION_UNREADABLE, [&] {
        ReaderOptions o;
        if (options != nullptr) {
            o.allowRepeatedTime = options->allow_repeated_time != 0;
            o.strictColumns = options->strict_columns != 0;
            if (options->repeated_time_hint != nullptr) o.repeatedTimeHint = options->repeated_time_hint;
        }
        made->reader = std::make_unique<SessionReader>(path, o);
        const SessionLayout& layout = made->reader->layout();
        made->textColumn.assign(layout.names().size(), static_cast<std::size_t>(-1));
        for (std::size_t c = 0; c < layout.names().size(); ++c)
            if (!layout.isKnown(c)) made->textColumn[c] = made->textColumns++;
        return TARN_SESSION_OK;
    });
    return handOut(made, status, reader);
}

TARN_SESSION_API void tarn_session_close(tarn_session_reader* reader) { delete reader; }

TARN_SESSION_API const char* tarn_session_message(const tarn_session_reader* reader)
{
    return reader == nullptr ? "" : reader->message.c_str();
}

TARN_SESSION_API size_t tarn_session_column_count(const tarn_session_reader* reader)
{
    return reader == nullptr || !reader->reader ? 0 : reader->reader->layout().names().size();
}

TARN_SESSION_API const char* tarn_session_column_name(const tarn_session_reader* reader, size_t column)
{
    if (column >= tarn_session_column_count(reader)) return nullptr;
    return reader->reader->layout().names()[column].c_str();
}

TARN_SESSION_API int tarn_session_has_block(const tarn_session_reader* reader, tarn_session_block block)
{
    const int b = static_cast<int>(block);
    if (reader == nullptr || !reader->reader || b < 0 || b >= TARN_SESSION_BLOCKS) return 0;
    return hasBlock(reader->reader->layout(), b) ? 1 : 0;
}

TARN_SESSION_API int tarn_session_is_known(const tarn_session_reader* reader, size_t column)
{
    if (column >= tarn_session_column_count(reader)) return 0;
    return reader->reader->layout().isKnown(column) ? 1 : 0;
}

TARN_SESSION_API size_t tarn_session_warning_count(const tarn_session_reader* reader)
{
    return reader == nullptr || !reader->reader ? 0 : reader->reader->warnings().size();
}

TARN_SESSION_API const char* tarn_session_warning(const tarn_session_reader* reader, size_t index)
{
    if (index >= tarn_session_warning_count(reader)) return nullptr;
    return reader->reader->warnings()[index].c_str();
}

TARN_SESSION_API tarn_session_status tarn_session_frames_at_most(tarn_session_reader* reader, size_t* frames)
{
    if (reader == nullptr || frames == nullptr || reader->failed) return TARN_SESSION_INVALID_ARGUMENT;
    return guarded(reader->message, TARN_SESSION_UNREADABLE, [&] {
        *frames = reader->reader->linesLeft();
        return TARN_SESSION_OK;
    });
}

TARN_SESSION_API tarn_session_status tarn_session_read(tarn_session_reader* reader, const tarn_session_arrays* arrays,
                                                       size_t capacity, size_t* count)
{
    if (reader == nullptr || arrays == nullptr || count == nullptr || reader->failed || capacity == 0)
        return TARN_SESSION_INVALID_ARGUMENT;
    *count = 0;
    reader->lines.clear();
    reader->texts.clear();
    const tarn_session_status status = guarded(reader->message, TARN_SESSION_UNREADABLE, [&] {
        SessionReader& r = *reader->reader;
        const SessionLayout& layout = r.layout();
        Frame frame;
        while (*count < capacity && r.next(frame)) {
            const std::size_t k = *count;
            for (std::size_t c = 0; c < reader->textColumn.size(); ++c)
                if (reader->textColumn[c] != static_cast<std::size_t>(-1)) reader->texts.emplace_back(r.fields()[c]);
            reader->lines.push_back(static_cast<std::size_t>(r.lineNumber()));
            if (arrays->times != nullptr) arrays->times[k] = frame.time;
            for (int b = 0; b < TARN_SESSION_BLOCKS; ++b) {
                double* into = arrays->blocks[b];
                if (into == nullptr || !hasBlock(layout, b)) continue;
                if (b < 2) {
                    const GloveBlock& glove = frame.glove[index(kGloveBlocks[b])];
                    std::copy(glove.begin(), glove.end(), into + k * TARN_SESSION_GLOVE_VALUES);
                } else {
                    const Pose& pose = frame.device[index(kDeviceBlocks[b - 2])];
                    double* at = into + k * TARN_SESSION_DEVICE_VALUES;
                    std::copy(pose.position.begin(), pose.position.end(), at);
                    std::copy(pose.orientation.begin(), pose.orientation.end(), at + 3);
                }
            }
            *count = k + 1;  // counted once whole
        }
        return TARN_SESSION_OK;
    });
    reader->failed = status != TARN_SESSION_OK;
    return status;
}

TARN_SESSION_API const char* tarn_session_text(const tarn_session_reader* reader, size_t frame, size_t column)
{
    if (reader == nullptr || frame >= reader->lines.size() || column >= reader->textColumn.size() ||
        reader->textColumn[column] == static_cast<std::size_t>(-1))
        return nullptr;
    return reader->texts[frame * reader->textColumns + reader->textColumn[column]].c_str();
}

TARN_SESSION_API size_t tarn_session_line(const tarn_session_reader* reader, size_t frame)
{
    return reader == nullptr || frame >= reader->lines.size() ? 0 : reader->lines[frame];
}

TARN_SESSION_API tarn_session_status tarn_session_create(const char* path, const char* const* names, size_t count,
                                                         tarn_session_writer** writer)
{
    if (path == nullptr || (names == nullptr && count > 0) || writer == nullptr) return TARN_SESSION_INVALID_ARGUMENT;
    *writer = nullptr;
    for (std::size_t c = 0; c < count; ++c)
        if (names[c] == nullptr) return TARN_SESSION_INVALID_ARGUMENT;
    tarn_session_writer* made = new (std::nothrow) tarn_session_writer;
    if (made == nullptr) return TARN_SESSION_OUT_OF_MEMORY;
    const tarn_session_status status = guarded(made->message, TARN_SESSION_UNWRITABLE, [&] {
        made->path = path;
        for (std::size_t c = 0; c < count; ++c)
            if (!plainField(names[c]))
                throw SessionError(TARN_SESSION_BAD_HEADER,
                                   made->path + ": header: column \"" + names[c] + "\" " + kNotPlain);
        made->layout = std::make_unique<SessionLayout>(
            [&] {
                try {
                    return SessionLayout::fromHeader(std::vector<std::string>(names, names + count));
                } catch (const SessionError& e) {
                    throw SessionError(e.status(), made->path + ": " + e.what());
                }
            }());
        made->file.open(path, std::ios::binary | std::ios::trunc);
        if (!made->file)
            throw SessionError(TARN_SESSION_UNWRITABLE, made->path + ": cannot create the file: " + std::strerror(errno));
        made->writer = std::make_unique<SessionWriter>(made->file, *made->layout);
        made->writer->writeHeader();
        return TARN_SESSION_OK;
    });
    return handOut(made, status, writer);
}

TARN_SESSION_API tarn_session_status tarn_session_write(tarn_session_writer* writer, const tarn_session_arrays* arrays,
                                                        const char* const* texts, size_t count)
{
    if (writer == nullptr || arrays == nullptr || writer->failed || !writer->writer) return TARN_SESSION_INVALID_ARGUMENT;
    const SessionLayout& layout = *writer->layout;
    std::size_t textColumns = 0;
    for (std::size_t c = 0; c < layout.names().size(); ++c) textColumns += layout.isKnown(c) ? 0 : 1;
    if (count > 0 && (arrays->times == nullptr || (textColumns > 0 && texts == nullptr)))
        return TARN_SESSION_INVALID_ARGUMENT;
    const tarn_session_status plain = guarded(writer->message, TARN_SESSION_INVALID_ARGUMENT, [&] {
        for (std::size_t k = 0; k < count * textColumns; ++k)
            if (texts[k] == nullptr || !plainField(texts[k]))
                throw SessionError(TARN_SESSION_INVALID_ARGUMENT,
                                   "frame " + std::to_string(k / textColumns) + ": " +
                                       (texts[k] == nullptr ? std::string("a text is NULL")
                                                            : "text \"" + std::string(texts[k]) + "\" " + kNotPlain));
        return TARN_SESSION_OK;
    });
    if (plain != TARN_SESSION_OK) return plain;
    for (int b = 0; b < TARN_SESSION_BLOCKS; ++b)
        if (count > 0 && hasBlock(layout, b) && arrays->blocks[b] == nullptr) return TARN_SESSION_INVALID_ARGUMENT;
    const tarn_session_status status = guarded(writer->message, TARN_SESSION_UNWRITABLE, [&] {
        Frame frame;
        std::vector<std::string_view> fields(layout.names().size());
        for (std::size_t k = 0; k < count; ++k) {
            frame.time = arrays->times[k];
            for (int b = 0; b < TARN_SESSION_BLOCKS; ++b) {
                if (!hasBlock(layout, b)) continue;
                if (b < 2) {
                    const double* from = arrays->blocks[b] + k * TARN_SESSION_GLOVE_VALUES;
                    std::copy(from, from + TARN_SESSION_GLOVE_VALUES, frame.glove[index(kGloveBlocks[b])].begin());
                } else {
                    const double* from = arrays->blocks[b] + k * TARN_SESSION_DEVICE_VALUES;
                    Pose& pose = frame.device[index(kDeviceBlocks[b - 2])];
                    std::copy(from, from + 3, pose.position.begin());
                    std::copy(from + 3, from + 7, pose.orientation.begin());
                }
            }
            for (std::size_t c = 0, t = 0; c < fields.size(); ++c)
                if (!layout.isKnown(c)) fields[c] = texts[k * textColumns + t++];
            writer->writer->write(frame, fields);
        }
        if (!writer->file)
            throw SessionError(TARN_SESSION_UNWRITABLE, writer->path + ": write failed: " + std::strerror(errno));
        return TARN_SESSION_OK;
    });
    writer->failed = status != TARN_SESSION_OK;
    return status;
}

TARN_SESSION_API tarn_session_status tarn_session_finish(tarn_session_writer* writer)
{
    if (writer == nullptr || writer->failed || !writer->writer) return TARN_SESSION_INVALID_ARGUMENT;
    const tarn_session_status status = guarded(writer->message, TARN_SESSION_UNWRITABLE, [&] {
        writer->writer.reset();
        writer->file.close();
        if (!writer->file)
            throw SessionError(TARN_SESSION_UNWRITABLE, writer->path + ": write failed: " + std::strerror(errno));
        return TARN_SESSION_OK;
    });
    writer->failed = true;  // finished: nothing more to write
    return status;
}

TARN_SESSION_API const char* tarn_session_writer_message(const tarn_session_writer* writer)
{
    return writer == nullptr ? "" : writer->message.c_str();
}

TARN_SESSION_API void tarn_session_close_writer(tarn_session_writer* writer) { delete writer; }

}  // extern "C"
