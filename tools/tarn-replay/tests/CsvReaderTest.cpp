#include <gtest/gtest.h>

#include <sstream>

#include "CsvReader.h"

namespace {

std::vector<std::vector<std::string>> readAll(const std::string& text, std::vector<long>* lines = nullptr)
{
    std::istringstream in(text);
    CsvReader reader(in);
    std::vector<std::string_view> fields;
    std::vector<std::vector<std::string>> records;
    while (reader.next(fields)) {
        records.emplace_back(fields.begin(), fields.end());
        if (lines) {
            lines->push_back(reader.lineNumber());
        }
    }
    return records;
}

using Records = std::vector<std::vector<std::string>>;

TEST(CsvReader, TrimsBlanksAndOneEnclosingPairOfQuotes)
{
    EXPECT_EQ(readAll(" a ,\t\"b\" ,c\n\"x\"y\",\" z \",\"\n"),
              (Records{{"a", "b", "c"}, {"x\"y", " z ", "\""}}));
}

TEST(CsvReader, KeepsEmptyFieldsIncludingTrailingOnes)
{
    EXPECT_EQ(readAll("a,,b\na,\n,\n"), (Records{{"a", "", "b"}, {"a", ""}, {"", ""}}));
}

TEST(CsvReader, AcceptsCrLfAByteOrderMarkAndAMissingLastLineEnd)
{
    EXPECT_EQ(readAll("\xEF\xBB\xBFtime,x\r\n1,2\r\n3,4"), (Records{{"time", "x"}, {"1", "2"}, {"3", "4"}}));
}

TEST(CsvReader, SkipsBlankLinesButCountsThemInLineNumbers)
{
    std::vector<long> lines;
    EXPECT_EQ(readAll("h\n\n  \t\r\nx\n\n", &lines), (Records{{"h"}, {"x"}}));
    EXPECT_EQ(lines, (std::vector<long>{1, 4}));
}

TEST(CsvReader, EmptyStreamHasNoRecords)
{
    EXPECT_TRUE(readAll("").empty());
    EXPECT_TRUE(readAll("\n\r\n").empty());
}

}  // namespace
