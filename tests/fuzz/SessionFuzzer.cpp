// Fuzz target "sessions": session files as a recording gone wrong would
// leave them, through the session library's C API. A file is a header
// chosen among real layouts (or fuzzed itself) followed by the fuzzer's
// bytes: truncated lines, huge fields, invalid UTF-8, embedded NULs, CR
// and blank lines. It is opened with fuzzed rules and read in chunks of
// fuzzed sizes. Checked: every status is one the header lists, with a
// message exactly when it refuses; no read gives more frames than asked
// for, nor a time out of order; a reader that refused refuses every later
// call; and a file read whole writes back to text that reads back to the
// same frames (NaN as NaN).
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "TarnSession.h"

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

bool listed(tarn_session_status s)
{
    switch (s) {
    case TARN_SESSION_OK: case TARN_SESSION_INVALID_ARGUMENT: case TARN_SESSION_UNREADABLE:
    case TARN_SESSION_BAD_HEADER: case TARN_SESSION_COLUMN_COUNT: case TARN_SESSION_NOT_A_NUMBER:
    case TARN_SESSION_UNWRITABLE: case TARN_SESSION_NO_FRAMES: case TARN_SESSION_TIME_ORDER:
    case TARN_SESSION_NEAR_MISS: case TARN_SESSION_OUT_OF_MEMORY: return true;
    }
    return false;
}

// A header of a real layout: time, a device, a glove, text columns.
std::string header(FuzzInput& in)
{
    std::string text = "time";
    const int blocks = in.between(0, 31);
    for (int b = 0; b < TARN_SESSION_BLOCKS; ++b) {
        if (!(blocks >> b & 1)) continue;
        for (std::size_t v = 0; v < (b < 2 ? TARN_SESSION_GLOVE_VALUES : TARN_SESSION_DEVICE_VALUES); ++v)
            text += std::string(",") + tarn_session_block_column(static_cast<tarn_session_block>(b), v);
    }
    if (in.flag()) text += ",note";
    if (in.flag()) text += ",headst_qw";  // a near miss
    return text + (in.flag() ? "\r\n" : "\n");
}

struct Frames {
    std::vector<double> times;
    std::vector<double> blocks[TARN_SESSION_BLOCKS];
};

bool sameNumbers(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (!(a[k] == b[k] || (std::isnan(a[k]) && std::isnan(b[k])))) return false;
    return true;
}

// Reads the whole file in chunks of `chunk` frames; false on a refusal.
bool readAll(const std::string& path, const tarn_session_options& options, std::size_t chunk, Frames& out,
             std::vector<std::string>& names)
{
    tarn_session_reader* reader = nullptr;
    tarn_session_status status = tarn_session_open(path.c_str(), &options, &reader);
    require(listed(status) && reader != nullptr);
    require((status == TARN_SESSION_OK) == (tarn_session_message(reader)[0] == '\0'));
    if (status != TARN_SESSION_OK) {
        std::size_t count = 0;
        tarn_session_arrays none{};
        require(tarn_session_read(reader, &none, 1, &count) == TARN_SESSION_INVALID_ARGUMENT);
        tarn_session_close(reader);
        return false;
    }
    for (std::size_t c = 0; c < tarn_session_column_count(reader); ++c) names.push_back(tarn_session_column_name(reader, c));
    const std::size_t sizes[TARN_SESSION_BLOCKS] = {80, 80, 7, 7, 7};
    for (;;) {
        std::vector<double> times(chunk);
        std::vector<double> blocks[TARN_SESSION_BLOCKS];
        tarn_session_arrays into{times.data(), {}};
        for (int b = 0; b < TARN_SESSION_BLOCKS; ++b) {
            blocks[b].resize(chunk * sizes[b]);
            into.blocks[b] = blocks[b].data();
        }
        std::size_t count = chunk + 1;
        status = tarn_session_read(reader, &into, chunk, &count);
        require(listed(status) && count <= chunk);
        for (std::size_t k = 0; k < count; ++k) {
            require(!(k > 0 ? times[k] < times[k - 1] : !out.times.empty() && times[k] < out.times.back()));
            require(tarn_session_line(reader, k) > 0);
        }
        out.times.insert(out.times.end(), times.begin(), times.begin() + static_cast<long>(count));
        for (int b = 0; b < TARN_SESSION_BLOCKS; ++b)
            if (tarn_session_has_block(reader, static_cast<tarn_session_block>(b)))
                out.blocks[b].insert(out.blocks[b].end(), blocks[b].begin(),
                                     blocks[b].begin() + static_cast<long>(count * sizes[b]));
        if (status != TARN_SESSION_OK) {
            require(tarn_session_message(reader)[0] != '\0');
            require(tarn_session_read(reader, &into, chunk, &count) == TARN_SESSION_INVALID_ARGUMENT);
            tarn_session_close(reader);
            return false;
        }
        if (count == 0) break;
    }
    tarn_session_close(reader);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::string path = "/tmp/tarn-fuzz-session-" + std::to_string(getpid()) + ".csv";
    const std::string copy = path + ".out.csv";
    tarn_session_options options{static_cast<unsigned char>(in.flag()), static_cast<unsigned char>(in.flag()), nullptr};
    const std::size_t chunk = static_cast<std::size_t>(in.between(1, 5));
    std::string text = in.flag() ? header(in) : "";
    while (!in.exhausted()) text += static_cast<char>(in.byte());
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(text.size()));

    Frames first;
    std::vector<std::string> names;
    if (readAll(path, options, chunk, first, names)) {
        // What was read writes back, and reads back the same.
        std::vector<const char*> columns;
        for (const std::string& n : names) columns.push_back(n.c_str());
        tarn_session_writer* writer = nullptr;
        tarn_session_status status = tarn_session_create(copy.c_str(), columns.data(), columns.size(), &writer);
        if (status == TARN_SESSION_OK) {
            // Text columns are written empty.
            tarn_session_reader* probe = nullptr;
            tarn_session_open(path.c_str(), &options, &probe);
            std::size_t textColumns = 0;
            for (std::size_t c = 0; c < names.size(); ++c) textColumns += tarn_session_is_known(probe, c) ? 0 : 1;
            tarn_session_close(probe);
            std::vector<const char*> texts(first.times.size() * textColumns, "");
            tarn_session_arrays from{first.times.data(), {}};
            for (int b = 0; b < TARN_SESSION_BLOCKS; ++b) from.blocks[b] = first.blocks[b].data();
            require(tarn_session_write(writer, &from, texts.data(), first.times.size()) == TARN_SESSION_OK);
            require(tarn_session_finish(writer) == TARN_SESSION_OK);
            tarn_session_close_writer(writer);
            Frames again;
            std::vector<std::string> namesAgain;
            tarn_session_options relaxed{1, 0, nullptr};
            require(readAll(copy, relaxed, 7, again, namesAgain) && namesAgain == names);
            require(sameNumbers(again.times, first.times));
            for (int b = 0; b < TARN_SESSION_BLOCKS; ++b) require(sameNumbers(again.blocks[b], first.blocks[b]));
        } else {
            tarn_session_close_writer(writer);
        }
    }
    std::remove(path.c_str());
    std::remove(copy.c_str());
    return 0;
}
