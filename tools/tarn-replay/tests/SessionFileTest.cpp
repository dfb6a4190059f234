#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "ExitCode.h"
#include "SessionReader.h"
#include "SessionWriter.h"
#include "TempDir.h"

namespace {

class SessionFile : public ::testing::Test {
protected:
    std::string write(const std::string& text) { return dir_.write("session.csv", text); }

    // Reads every frame; returns the error, or Ok and "" when there is none.
    std::pair<ExitCode, std::string> readError(const std::string& text)
    {
        try {
            SessionReader reader(write(text));
            Frame frame;
            while (reader.next(frame)) {
            }
        } catch (const ReplayError& e) {
            return {e.code(), e.what()};
        }
        return {ExitCode::Ok, ""};
    }

private:
    TempDir dir_;
};

const char* const kHeadsetHeader = "note,headset_qw,headset_qx,headset_qy,headset_qz,headset_px,headset_py,headset_pz,time\n";

TEST_F(SessionFile, ReadsValuesByNameAndWritesThemBackExactlyWithOtherColumnsAsText)
{
    const std::string text = std::string(kHeadsetHeader) +
                             "a b,0.1,-0.2,0.30000000000000004,1e-300,1.5,-2,nan,0.011111111111111112\n";
    SessionReader reader(write(text));
    Frame frame;
    ASSERT_TRUE(reader.next(frame));
    EXPECT_EQ(frame.time, 0.011111111111111112);
    EXPECT_EQ(frame.device[index(Device::Headset)].orientation, (std::array<double, 4>{0.1, -0.2, 0.30000000000000004, 1e-300}));
    EXPECT_EQ(frame.device[index(Device::Headset)].position[1], -2.0);
    EXPECT_TRUE(std::isnan(frame.device[index(Device::Headset)].position[2]));

    std::ostringstream out;
    SessionWriter writer(out, reader.layout());
    writer.writeHeader();
    writer.write(frame, reader.fields());
    EXPECT_EQ(out.str(), text);
    EXPECT_FALSE(reader.next(frame));
}

TEST_F(SessionFile, ReportsTheLineOfAWrongFieldCountCountingBlankLines)
{
    const auto [code, message] = readError("time,x\n1,2\n\n3\n");
    EXPECT_EQ(code, ExitCode::ColumnCount);
    EXPECT_NE(message.find(".csv:4: 1 fields, the header has 2"), std::string::npos) << message;
}

TEST_F(SessionFile, ReportsTheLineAndColumnOfANonNumericKnownField)
{
    EXPECT_EQ(readError("time,x\n1,not checked\n").first, ExitCode::Ok);
    const auto [code, message] = readError(std::string(kHeadsetHeader) + "-,1,0,0,0,1,2,3,0\n-,1,0,0,0,1,2,3,0.1s\n");
    EXPECT_EQ(code, ExitCode::NotANumber);
    EXPECT_NE(message.find(".csv:3: column time: \"0.1s\" is not a number"), std::string::npos) << message;
}

TEST_F(SessionFile, EmptyFileAndHeaderErrorsNameTheFile)
{
    const auto [emptyCode, emptyMessage] = readError("\n");
    EXPECT_EQ(emptyCode, ExitCode::BadHeader);
    EXPECT_NE(emptyMessage.find(".csv: the file is empty"), std::string::npos) << emptyMessage;
    const auto [code, message] = readError("\ntime,time\n");
    EXPECT_EQ(code, ExitCode::BadHeader);
    EXPECT_NE(message.find(".csv:2: header: column \"time\" appears twice"), std::string::npos) << message;
}

}  // namespace
