// TarnSession through its shared library, as the Python package calls it:
// every call refuses what it cannot use with TARN_SESSION_INVALID_ARGUMENT
// and writes nothing; a read stops at the first bad row with the good
// frames before it in the arrays and fails every later call; a writer
// refuses a text that would not read back as written, naming its frame,
// and what it writes reads back bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "TarnSession.h"
#include "support/Matchers.h"

namespace {

namespace fs = std::filesystem;

class SessionApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("tarn-session-api-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string file(const std::string& name, const std::string& text = "") const
    {
        const fs::path path = dir_ / name;
        if (!text.empty()) std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    fs::path dir_;
};

// A reader of `text`, open and checked.
tarn_session_reader* opened(const std::string& path)
{
    tarn_session_reader* reader = nullptr;
    EXPECT_EQ(tarn_session_open(path.c_str(), nullptr, &reader), TARN_SESSION_OK) << tarn_session_message(reader);
    return reader;
}

TEST_F(SessionApi, EachCallRefusesWhatItCannotUseAndWritesNothing)
{
    tarn_session_reader* reader = opened(file("ok.csv", "time,note\n0,a\n1,b\n"));
    std::vector<double> times(4, -1.0);
    tarn_session_arrays arrays{times.data(), {}};
    size_t count = 99;
    const char* names[] = {"time"};
    tarn_session_writer* writer = nullptr;
    const std::string out = file("out.csv");

    const std::vector<std::pair<const char*, std::function<tarn_session_status()>>> refusals = {
        {"open: NULL path", [&] { return tarn_session_open(nullptr, nullptr, &reader); }},
        {"open: NULL reader", [&] { return tarn_session_open(out.c_str(), nullptr, nullptr); }},
        {"frames_at_most: NULL reader", [&] { return tarn_session_frames_at_most(nullptr, &count); }},
        {"frames_at_most: NULL frames", [&] { return tarn_session_frames_at_most(reader, nullptr); }},
        {"read: NULL reader", [&] { return tarn_session_read(nullptr, &arrays, 4, &count); }},
        {"read: NULL arrays", [&] { return tarn_session_read(reader, nullptr, 4, &count); }},
        {"read: NULL count", [&] { return tarn_session_read(reader, &arrays, 4, nullptr); }},
        {"read: capacity 0", [&] { return tarn_session_read(reader, &arrays, 0, &count); }},
        {"create: NULL path", [&] { return tarn_session_create(nullptr, names, 1, &writer); }},
        {"create: NULL names", [&] { return tarn_session_create(out.c_str(), nullptr, 1, &writer); }},
        {"create: NULL writer", [&] { return tarn_session_create(out.c_str(), names, 1, nullptr); }},
        {"write: NULL writer", [&] { return tarn_session_write(nullptr, &arrays, nullptr, 1); }},
        {"finish: NULL writer", [] { return tarn_session_finish(nullptr); }},
    };
    for (const auto& [what, call] : refusals) {
        EXPECT_EQ(call(), TARN_SESSION_INVALID_ARGUMENT) << what;
    }
    EXPECT_EQ(count, 99u);
    EXPECT_EQ(times, std::vector<double>(4, -1.0));
    EXPECT_EQ(writer, nullptr);
    EXPECT_FALSE(fs::exists(out));
    // Queries beyond the reader's columns, frames and blocks give nothing.
    EXPECT_EQ(tarn_session_column_name(reader, 2), nullptr);
    EXPECT_EQ(tarn_session_text(reader, 0, 1), nullptr);  // nothing read yet
    EXPECT_EQ(tarn_session_line(reader, 0), 0u);
    EXPECT_EQ(tarn_session_block_column(TARN_SESSION_HEADSET, TARN_SESSION_DEVICE_VALUES), nullptr);
    EXPECT_STREQ(tarn_session_block_column(TARN_SESSION_LEFT_GLOVE, 13), "lglove_3_x");
    // The reader is untouched by the refusals: it reads its two frames.
    ASSERT_EQ(tarn_session_read(reader, &arrays, 4, &count), TARN_SESSION_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_STREQ(tarn_session_text(reader, 1, 1), "b");
    EXPECT_EQ(tarn_session_line(reader, 1), 3u);
    tarn_session_close(reader);
}

TEST_F(SessionApi, AReadStopsAtTheFirstBadRowAndTheReaderThenFailsEveryCall)
{
    struct Case {
        const char* rows;
        tarn_session_status status;
        size_t good;
        const char* line;
    };
    const Case cases[] = {
        {"0,1\n1,2\n2\n3,4\n", TARN_SESSION_COLUMN_COUNT, 2, ":4:"},
        {"0,1\n1,x\n", TARN_SESSION_NOT_A_NUMBER, 1, ":3:"},
        {"0,1\n1,2\n0.5,3\n", TARN_SESSION_TIME_ORDER, 2, ":4:"},
        {"0,1\n0,2\n", TARN_SESSION_TIME_ORDER, 1, ":3:"},
        {"0,1\n1,2\n2,3\n3,4\n4,5\n5,", TARN_SESSION_COLUMN_COUNT, 5, ":7:"},  // last line unended
        {"0,1\n1,\n", TARN_SESSION_NOT_A_NUMBER, 1, ":3:"},
    };
    for (const Case& c : cases) {
        tarn_session_reader* reader =
            opened(file("bad.csv", std::string("time,headset_px,headset_py,headset_pz,headset_qw,headset_qx,"
                                               "headset_qy,headset_qz\n") + [&] {
                std::string rows;  // each row's second field fills the headset's seven columns
                for (const char* p = c.rows; *p; ++p) rows += *p == '\n' ? std::string(",0,0,0,0,0,0\n") : std::string(1, *p);
                return rows;
            }()));
        std::vector<double> times(8, -1.0), headset(8 * TARN_SESSION_DEVICE_VALUES, -1.0);
        tarn_session_arrays arrays{times.data(), {nullptr, nullptr, nullptr, nullptr, headset.data()}};
        size_t count = 99;
        EXPECT_EQ(tarn_session_read(reader, &arrays, 8, &count), c.status) << c.rows;
        EXPECT_EQ(count, c.good) << c.rows;
        for (size_t k = 0; k < c.good; ++k) {
            EXPECT_EQ(times[k], static_cast<double>(k)) << c.rows;
            EXPECT_EQ(headset[k * TARN_SESSION_DEVICE_VALUES], static_cast<double>(k + 1)) << c.rows;
        }
        EXPECT_EQ(times[c.good], -1.0) << c.rows << ": a bad frame's time is not written";
        EXPECT_NE(std::string(tarn_session_message(reader)).find(c.line), std::string::npos)
            << tarn_session_message(reader);
        size_t frames = 0;
        EXPECT_EQ(tarn_session_read(reader, &arrays, 8, &count), TARN_SESSION_INVALID_ARGUMENT) << c.rows;
        EXPECT_EQ(tarn_session_frames_at_most(reader, &frames), TARN_SESSION_INVALID_ARGUMENT) << c.rows;
        tarn_session_close(reader);
    }
}

TEST_F(SessionApi, AWriterRefusesTextsThatWouldNotReadBackAndWhatItWritesReadsBackBitForBit)
{
    const char* names[] = {"note", "time", "rtracker_px", "rtracker_py", "rtracker_pz",
                           "rtracker_qw", "rtracker_qx", "rtracker_qy", "rtracker_qz", "label"};
    std::vector<double> times = {1e-300, 0.1, 1.0 / 3};
    std::vector<double> tracker(3 * TARN_SESSION_DEVICE_VALUES);
    for (size_t k = 0; k < tracker.size(); ++k) tracker[k] = std::ldexp(1.0 + 1.0 / static_cast<double>(k + 3), static_cast<int>(k) - 9);
    tracker[5] = NAN;
    const tarn_session_arrays arrays{times.data(), {nullptr, nullptr, tracker.data(), nullptr, nullptr}};
    const std::string path = file("written.csv");

    for (const char* bad : {"a,b", "line\nend", " edge", "edge\t", "\"quoted\""}) {
        tarn_session_writer* writer = nullptr;
        ASSERT_EQ(tarn_session_create(path.c_str(), names, 10, &writer), TARN_SESSION_OK);
        const char* texts[] = {"n0", "l0", "n1", bad, "n2", "l2"};
        EXPECT_EQ(tarn_session_write(writer, &arrays, texts, 3), TARN_SESSION_INVALID_ARGUMENT) << bad;
        EXPECT_NE(std::string(tarn_session_writer_message(writer)).find("frame 1: text"), std::string::npos)
            << tarn_session_writer_message(writer);
        tarn_session_close_writer(writer);
        const char* badNames[] = {"time", bad};
        EXPECT_EQ(tarn_session_create(path.c_str(), badNames, 2, &writer), TARN_SESSION_BAD_HEADER) << bad;
        tarn_session_close_writer(writer);
    }

    tarn_session_writer* writer = nullptr;
    ASSERT_EQ(tarn_session_create(path.c_str(), names, 10, &writer), TARN_SESSION_OK);
    const char* texts[] = {"", "l0", "a b", "l1", "x\"y", ""};
    ASSERT_EQ(tarn_session_write(writer, &arrays, texts, 3), TARN_SESSION_OK);
    ASSERT_EQ(tarn_session_finish(writer), TARN_SESSION_OK);
    tarn_session_close_writer(writer);

    tarn_session_reader* reader = opened(path);
    std::vector<double> timesRead(3), trackerRead(tracker.size());
    const tarn_session_arrays into{timesRead.data(), {nullptr, nullptr, trackerRead.data(), nullptr, nullptr}};
    size_t count = 0;
    ASSERT_EQ(tarn_session_read(reader, &into, 3, &count), TARN_SESSION_OK);
    ASSERT_EQ(count, 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_TRUE(sameBits(timesRead[k], times[k])) << k;
        EXPECT_STREQ(tarn_session_text(reader, k, 0), texts[2 * k]) << k;
        EXPECT_STREQ(tarn_session_text(reader, k, 9), texts[2 * k + 1]) << k;
    }
    for (size_t k = 0; k < tracker.size(); ++k) EXPECT_TRUE(sameBits(trackerRead[k], tracker[k])) << k;
    tarn_session_close(reader);
}

}  // namespace
