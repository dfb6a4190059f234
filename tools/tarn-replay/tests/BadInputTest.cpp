// Bad input: each gives one clear message and its own exit code.
#include <gtest/gtest.h>

#include "ExitCode.h"
#include "SessionText.h"
#include "ToolRun.h"

namespace {

void expectFailure(const ToolResult& run, ExitCode code, const std::string& message)
{
    EXPECT_EQ(run.exitCode, static_cast<int>(code)) << run.err;
    EXPECT_NE(run.err.find(message), std::string::npos) << "missing \"" << message << "\" in:\n" << run.err;
    EXPECT_EQ(run.err.find("Calibrations"), std::string::npos) << "no report after an error";
}

const std::string kHeader = "time," + poseHeader("rtracker");

TEST(BadInput, FilesThatCannotBeRead)
{
    TempDir dir;
    expectFailure(runReplay({dir.file("missing.csv")}, dir), ExitCode::Unreadable,
                  "missing.csv: cannot open the file for reading");
    expectFailure(runReplay({dir.file("")}, dir), ExitCode::Unreadable, "is a directory");
}

TEST(BadInput, MissingOrBrokenHeader)
{
    TempDir dir;
    expectFailure(runReplay({dir.write("empty.csv", "")}, dir), ExitCode::BadHeader,
                  "empty.csv: the file is empty (expected a header row)");
    expectFailure(runReplay({dir.write("numbers.csv", "0,1,2\n0.1,1,2\n")}, dir), ExitCode::BadHeader,
                  "numbers.csv:1: header: the first line holds numbers");
    expectFailure(runReplay({dir.write("partial.csv", "time,rtracker_px\n0,1\n")}, dir), ExitCode::BadHeader,
                  "partial.csv:1: header: the right tracker has 1 of its 7 columns (rtracker_py is missing)");
}

TEST(BadInput, WrongFieldCountNamesFileAndLine)
{
    TempDir dir;
    const std::string session = dir.write("short.csv", kHeader + "\n0,1,2,3,1,0,0,0\n\n0.1,1,2,3,1,0,0\n");
    expectFailure(runReplay({session}, dir), ExitCode::ColumnCount, "short.csv:4: 7 fields, the header has 8");
}

TEST(BadInput, NonNumericFieldNamesFileLineAndColumn)
{
    TempDir dir;
    const std::string session = dir.write("text.csv", kHeader + "\n0,1,2,3,1,0,0,0\n0.1,1,two,3,1,0,0,0\n");
    expectFailure(runReplay({session}, dir), ExitCode::NotANumber,
                  "text.csv:3: column rtracker_py: \"two\" is not a number");
}

TEST(BadInput, HeaderWithoutFrames)
{
    TempDir dir;
    expectFailure(runReplay({dir.write("header.csv", kHeader + "\n\n")}, dir), ExitCode::NoFrames,
                  "header.csv: no frames after the header");
}

TEST(BadInput, UnwritableOutput)
{
    TempDir dir;
    const std::string session = dir.write("ok.csv", kHeader + "\n0,1,2,3,1,0,0,0\n");
    expectFailure(runReplay({session, "-o", dir.file("no/such/dir/out.csv")}, dir), ExitCode::Unwritable,
                  "out.csv: cannot create the output file");
}

TEST(BadInput, BadOptions)
{
    TempDir dir;
    const std::string session = dir.write("ok.csv", kHeader + "\n0,1,2,3,1,0,0,0\n0.5,1,2,3,1,0,0,0\n");
    expectFailure(runReplay({session, "--calibrate-at", "0.6"}, dir), ExitCode::Usage,
                  "--calibrate-at 0.6 s: no frame at or after that time (the session ends at 0.5 s)");
    expectFailure(runReplay({session, "--source-row", "20"}, dir), ExitCode::Usage, "--source-row");
    expectFailure(runReplay({session, "--hands", "both"}, dir), ExitCode::Usage, "--hands");
    expectFailure(runReplay({}, dir), ExitCode::Usage, "session is required");
    EXPECT_EQ(runReplay({"--help"}, dir).exitCode, 0);
}

}  // namespace
