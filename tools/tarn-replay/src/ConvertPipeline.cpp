#include "ConvertPipeline.h"

#include <condition_variable>
#include <exception>
#include <algorithm>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include <fmt/format.h>

#include "LineChunks.h"

namespace replay {

namespace {

constexpr std::size_t kChunkBytes = 1 << 20;
// And at most this many lines, so that a narrow file's chunk (a few bytes
// a line, 1.4 kB a frame once parsed) stays small too.
constexpr std::size_t kChunkLines = 4096;
constexpr std::size_t kChunksInFlight = 4;
constexpr int kThreads = 2;

// One chunk on its way through the stages.
struct Chunk {
    LineChunk lines;
    std::vector<Frame> frames;
    std::vector<long> frameLines;
    std::vector<std::vector<std::string_view>> fields;  // each frame's, when text columns are copied
    std::array<std::vector<double>, 2> residuals, trends;
    std::exception_ptr problem;  // the first in the chunk: its frames end before it
    std::string text;
};

class Pipeline {
public:
    Pipeline(const ConvertJob& job, std::ostream& out) : job_(job), out_(out), order_(job.reader.timeOrder())
    {
        const SessionLayout& layout = job.reader.layout();
        textColumns_ = job.driftColumns;
        for (std::size_t c = 0; c < layout.names().size(); ++c) textColumns_ = textColumns_ || !layout.isKnown(c);
    }

    void run()
    {
        LineChunks source(job_.reader.path(), job_.reader.offset(), job_.reader.lineNumber() + 1, kChunkBytes,
                          kChunkLines);
        std::error_code error;
        size_ = static_cast<double>(std::filesystem::file_size(job_.reader.path(), error));
        done_ = static_cast<double>(job_.reader.offset());
        std::vector<std::thread> workers;
        try {
            for (int t = 0; t < kThreads; ++t) workers.emplace_back([this] { work(); });
            // This thread reads: each chunk into a free slot, in order.
            for (std::size_t k = 0;; ++k) {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return k >= end_ || k < written_ + kChunksInFlight; });
                if (k >= end_) break;
                lock.unlock();
                Chunk& chunk = slots_[k % kChunksInFlight];
                bool more = false;
                try {
                    more = source.next(chunk.lines);
                } catch (...) {
                    fail(k, std::current_exception());
                    break;
                }
                lock.lock();
                if (!more) {
                    end_ = std::min(end_, k);
                    changed_.notify_all();
                    break;
                }
                read_ = k + 1;
                changed_.notify_all();
            }
        } catch (...) {
            fail(0, std::current_exception());  // no thread to run a worker on
        }
        for (std::thread& worker : workers) worker.join();
        if (problem_) std::rethrow_exception(problem_);
    }

private:
    // Each worker takes the next chunk read, parses it, converts it in its
    // turn, formats it and writes it in its turn. A chunk with a problem
    // ends the work there (fail): the chunks before it are still written.
    void work()
    {
        for (;;) {
            std::size_t k;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return taken_ >= end_ || taken_ < read_; });
                if (taken_ >= end_) return;
                k = taken_++;
            }
            try {
                Chunk& chunk = slots_[k % kChunksInFlight];
                parse(chunk);
                if (!inTurn(converted_, k)) return;
                if (!convert(chunk)) {
                    fail(k, chunk.problem);
                    return;
                }
                advance(converted_);
                format(chunk);
                if (!inTurn(written_, k)) return;
                out_.write(chunk.text.data(), static_cast<std::streamsize>(chunk.text.size()));
                done_ += static_cast<double>(chunk.lines.text.size());
                job_.progress(size_ > 0 ? done_ / size_ : 1.0);
                advance(written_);
            } catch (...) {
                fail(k, std::current_exception());
                return;
            }
        }
    }

    // Waits until `counter` reaches k; false when chunk k is not to be
    // processed (a chunk before it had a problem).
    bool inTurn(const std::size_t& counter, std::size_t k)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return k >= end_ || counter == k; });
        return k < end_;
    }

    void advance(std::size_t& counter)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++counter;
        changed_.notify_all();
    }

    // Chunk k has `problem`: no chunk from k on is processed, and the
    // problem thrown is that of the first such chunk in file order.
    void fail(std::size_t k, std::exception_ptr problem)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (k < end_) {
            end_ = k;
            problem_ = problem;
        }
        changed_.notify_all();
    }

    void parse(Chunk& chunk) const
    {
        chunk.frames.clear();
        chunk.frameLines.clear();
        chunk.problem = nullptr;
        std::vector<std::string_view> fields;
        std::string_view rest = chunk.lines.text;
        try {
            for (long line = chunk.lines.firstLine; !rest.empty(); ++line) {
                const std::size_t end = rest.find('\n');
                const std::string_view text = rest.substr(0, end);
                rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
                if (!CsvReader::split(text, false, fields)) continue;
                Frame frame;
                job_.reader.parse(fields, line, frame);
                chunk.frames.push_back(frame);
                chunk.frameLines.push_back(line);
                if (textColumns_) {
                    if (chunk.fields.size() < chunk.frames.size()) chunk.fields.emplace_back();
                    chunk.fields[chunk.frames.size() - 1] = fields;
                }
            }
        } catch (...) {
            chunk.problem = std::current_exception();
        }
    }

    // The frames in order: the time order and the scan up to the first
    // problem, then the calibrator. False when the chunk has a problem.
    bool convert(Chunk& chunk)
    {
        std::size_t good = 0;
        try {
            for (; good < chunk.frames.size(); ++good) {
                order_.check(chunk.frames[good].time, chunk.frameLines[good]);
                job_.scan.add(chunk.frames[good], chunk.frameLines[good]);
            }
            SessionTrace* trace = job_.trace;
            if (trace != nullptr)
                for (std::size_t k = 0; k < good; ++k) trace->addRecorded(chunk.frames[k], layout(), job_.sourceRow);
            if (good > 0)
                job_.calibrator.apply(chunk.frames.data(), good,
                                      job_.driftColumns || trace != nullptr ? &chunk.residuals : nullptr,
                                      trace != nullptr ? &chunk.trends : nullptr);
            if (trace != nullptr)
                for (std::size_t k = 0; k < good; ++k)
                    trace->addCalibrated(chunk.frames[k], layout(), job_.sourceRow, chunk.residuals[0][k],
                                         chunk.residuals[1][k], chunk.trends[0][k], chunk.trends[1][k]);
        } catch (...) {
            chunk.problem = std::current_exception();
        }
        return chunk.problem == nullptr;
    }

    const SessionLayout& layout() const { return job_.reader.layout(); }

    void format(Chunk& chunk) const
    {
        thread_local std::vector<std::string_view> passThrough;
        thread_local std::array<std::string, 2> drift;
        RowFormatter formatter(job_.outputLayout);
        chunk.text.clear();
        for (std::size_t k = 0; k < chunk.frames.size(); ++k) {
            if (textColumns_) {
                passThrough = chunk.fields[k];
                if (job_.driftColumns) {
                    for (std::size_t h = 0; h < 2; ++h) {
                        drift[h] = fmt::format("{}", degrees(chunk.residuals[h][k]));
                        passThrough.push_back(drift[h]);
                    }
                }
            }
            formatter.row(chunk.frames[k], passThrough, chunk.text);
        }
    }

    const ConvertJob& job_;
    std::ostream& out_;
    TimeOrder order_;
    bool textColumns_ = false;
    double size_ = 0.0, done_ = 0.0;  // bytes of the file, and up to the last chunk written
    std::array<Chunk, kChunksInFlight> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // Chunks read, taken by a worker, converted and written so far, and
    // where the work ends: the number of chunks once the file has ended, or
    // the first chunk with a problem.
    std::size_t read_ = 0, taken_ = 0, converted_ = 0, written_ = 0;
    std::size_t end_ = static_cast<std::size_t>(-1);
    std::exception_ptr problem_;
};

}  // namespace

void convertInParallel(const ConvertJob& job, std::ostream& out)
{
    Pipeline pipeline(job, out);
    pipeline.run();
}

}  // namespace replay
