#include <gtest/gtest.h>

#include "ExitCode.h"
#include "SessionLayout.h"

namespace {

std::vector<std::string> trackerColumns(const std::string& prefix)
{
    std::vector<std::string> names;
    for (const char* suffix : {"px", "py", "pz", "qw", "qx", "qy", "qz"}) {
        names.push_back(prefix + "_" + suffix);
    }
    return names;
}

// The message of the BadHeader error `names` gives, or "" when accepted.
std::string headerError(const std::vector<std::string>& names)
{
    try {
        SessionLayout::fromHeader(names);
    } catch (const ReplayError& e) {
        EXPECT_EQ(e.code(), ExitCode::BadHeader);
        return e.what();
    }
    return "";
}

TEST(SessionLayout, CompleteLayoutFindsEveryBlockUnderItsCanonicalNames)
{
    const SessionLayout layout = SessionLayout::complete();
    ASSERT_EQ(layout.names().size(), 1u + 2 * 80 + 3 * 7);
    EXPECT_EQ(layout.names()[layout.timeColumn()], "time");
    EXPECT_EQ(layout.names()[layout.column(Hand::Left, 4 * 19 + 3)], "lglove_19_z");
    EXPECT_EQ(layout.names()[layout.column(Device::Headset, 3)], "headset_qw");
    for (std::size_t c = 0; c < layout.names().size(); ++c) {
        EXPECT_TRUE(layout.isKnown(c));
    }
}

TEST(SessionLayout, ColumnsInAnyOrderAndAbsentBlocksAndOtherColumns)
{
    std::vector<std::string> names = trackerColumns("ltracker");
    std::reverse(names.begin(), names.end());
    names.insert(names.begin() + 2, "time");
    names.push_back("note");
    const SessionLayout layout = SessionLayout::fromHeader(names);

    EXPECT_EQ(layout.timeColumn(), 2u);
    EXPECT_TRUE(layout.has(Device::LeftTracker));
    EXPECT_FALSE(layout.has(Device::RightTracker));
    EXPECT_FALSE(layout.has(Device::Headset));
    EXPECT_FALSE(layout.has(Hand::Right));
    EXPECT_EQ(names[layout.column(Device::LeftTracker, 0)], "ltracker_px");
    EXPECT_EQ(names[layout.column(Device::LeftTracker, 6)], "ltracker_qz");
    EXPECT_FALSE(layout.isKnown(names.size() - 1));
}

TEST(SessionLayout, RejectsHeadersItCannotMapSafely)
{
    std::vector<std::string> partial = trackerColumns("headset");
    partial.erase(partial.begin() + 4);
    partial.push_back("time");
    EXPECT_NE(headerError(partial).find("headset has 6 of its 7 columns (headset_qx is missing)"), std::string::npos);
    EXPECT_NE(headerError({"t", "x"}).find("no \"time\" column"), std::string::npos);
    EXPECT_NE(headerError({"time", "x", "time"}).find("\"time\" appears twice"), std::string::npos);
    EXPECT_NE(headerError({"time", ""}).find("column 2 has no name"), std::string::npos);
    EXPECT_NE(headerError({"0.0", "1.5"}).find("must start with a row of column names"), std::string::npos);
    EXPECT_EQ(headerError({"time"}), "");
}

}  // namespace
