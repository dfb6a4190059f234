// Session files in random layouts: whatever the column order, the blocks
// present and the line ends, reading gives back every value bit for bit and
// writing gives back the text.
#include <charconv>
#include <cstring>
#include <random>

#include "ReplayTestSupport.h"
#include "SessionTypes.h"

using namespace replay;

namespace {

TEST(ReplaySessionFile, SeededRoundTripKeepsEveryBitInAnyLayout)
{
    std::mt19937_64 random(0x7a4e);
    const double special[] = {0.0, -0.0, 0.1, -1e-300, 5e-324, 1.7976931348623157e308, INFINITY, -INFINITY, NAN};
    const int blockEnd[] = {1, 81, 161, 168, 175, 182};  // in namedValues
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        std::vector<int> columns{0};  // into namedValues; -n: a text column "note n"
        for (int b = 0; b < 5; ++b) {
            const int end = random() % 2 ? blockEnd[b + 1] : blockEnd[b];  // absent: no columns
            for (int k = blockEnd[b]; k < end; ++k) {
                columns.push_back(k);
            }
        }
        for (int n = static_cast<int>(random() % 3); n > 0; --n) {
            columns.push_back(-n);
        }
        std::shuffle(columns.begin(), columns.end(), random);

        std::vector<Frame> frames(1 + random() % 3);
        std::string canonical;
        for (std::size_t row = 0; row <= frames.size(); ++row) {
            const auto values = namedValues(frames[row == 0 ? 0 : row - 1]);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const int k = columns[c];
                std::string field = k < 0 ? "note " + std::to_string(row ? random() % 100 : -k) : values[k].first;
                if (row > 0 && k >= 0) {
                    const std::uint64_t bits = random();
                    double value = 0.0;
                    std::memcpy(&value, &bits, sizeof value);
                    *values[k].second = std::isnan(value) || bits % 2 ? special[bits % 9] : value;
                    // Times go forward, as the reader requires.
                    if (k == 0) *values[k].second = static_cast<double>(row) / 3;
                    char shortest[32];
                    field.assign(shortest, std::to_chars(shortest, shortest + 32, *values[k].second).ptr);
                }
                canonical += (c ? "," : "") + field;
            }
            canonical += "\n";
        }
        // The same with a byte-order mark, CRLF line ends, blank lines, and no line end at the end.
        const std::string lineEnd = random() % 2 ? "\n" : "\r\n";
        std::string text = random() % 2 ? "\xEF\xBB\xBF" : "";
        for (const char c : canonical) {
            text += c != '\n' ? std::string(1, c) : lineEnd + (random() % 4 ? "" : " \t" + lineEnd);
        }
        TempDir dir;
        if (random() % 3 == 0) {
            text.erase(text.find_last_not_of(" \t\r\n") + 1);
        }
        std::ofstream(dir.file("in.csv"), std::ios::binary) << text;

        SessionReader reader(dir.file("in.csv"));
        std::ostringstream written;
        SessionWriter writer(written, reader.layout());
        writer.writeHeader();
        Frame read;
        for (Frame& frame : frames) {
            ASSERT_TRUE(reader.next(read));
            const auto expected = namedValues(frame), actual = namedValues(read);
            for (const int k : columns) {
                ASSERT_TRUE(k < 0 || std::memcmp(actual[k].second, expected[k].second, sizeof(double)) == 0)
                    << expected[k].first << " read as " << *actual[k].second;
            }
            writer.write(read, reader.fields());
        }
        EXPECT_FALSE(reader.next(read));
        writer.flush();
        EXPECT_EQ(written.str(), canonical);
    }
}

}  // namespace
