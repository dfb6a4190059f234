// Column names of a session file and where each value sits in a row.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "Frame.h"

namespace session {

// Column names. Gloves: "rglove_<row>_<w|x|y|z>" and "lglove_...", row 0 to
// 19. Devices: "<rtracker|ltracker|headset>_<px|py|pz|qw|qx|qy|qz>".
// Time: "time".
std::string gloveColumnName(Side hand, std::size_t row, std::size_t component);
std::string deviceColumnName(Device device, std::size_t element);  // 0-2 position, 3-6 quaternion
std::string handName(Side hand);        // "right glove"
std::string deviceName(Device device);  // "right tracker"

// Maps the columns of one file to the values of a Frame. Columns may come in
// any order. A glove or device is present when all of its columns are; a
// block with only some of its columns is an error. Columns with other names
// are carried through unchanged.
class SessionLayout {
public:
    // Builds the layout of a header row. Throws SessionError (BAD_HEADER) for
    // a missing "time" column, an empty or repeated name, a partial block,
    // or a header that holds numbers (a file without header row).
    static SessionLayout fromHeader(const std::vector<std::string>& names);

    // Every column, in the canonical order: time, right glove, left glove,
    // right tracker, left tracker, headset (unless `headset` is false).
    static SessionLayout complete(bool headset = true);

    const std::vector<std::string>& names() const { return names_; }
    std::size_t timeColumn() const { return time_; }
    bool has(Side hand) const { return glove_[index(hand)].has_value(); }
    bool has(Device device) const { return device_[index(device)].has_value(); }
    // Column of value i of a glove block (0-79) or of a pose (0-6).
    std::size_t column(Side hand, std::size_t value) const { return (*glove_[index(hand)])[value]; }
    std::size_t column(Device device, std::size_t element) const { return (*device_[index(device)])[element]; }
    // True for the columns the tool reads as numbers.
    bool isKnown(std::size_t column) const { return known_[column]; }

private:
    std::vector<std::string> names_;
    std::vector<bool> known_;
    std::size_t time_ = 0;
    std::array<std::optional<std::array<std::size_t, kGloveValues>>, 2> glove_;
    std::array<std::optional<std::array<std::size_t, 7>>, 3> device_;
};

// Calls f(column, value) for the time and every value of the gloves and
// devices present in `layout`; `value` is a reference into `frame` (Frame
// or const Frame).
template <typename FrameType, typename F>
void forEachKnownValue(const SessionLayout& layout, FrameType& frame, F&& f)
{
    f(layout.timeColumn(), frame.time);
    for (const Side hand : kSides) {
        if (layout.has(hand)) {
            for (std::size_t i = 0; i < kGloveValues; ++i) {
                f(layout.column(hand, i), frame.glove[index(hand)][i]);
            }
        }
    }
    for (const Device device : kDevices) {
        if (layout.has(device)) {
            auto& pose = frame.device[index(device)];
            for (std::size_t i = 0; i < 3; ++i) {
                f(layout.column(device, i), pose.position[i]);
            }
            for (std::size_t i = 0; i < 4; ++i) {
                f(layout.column(device, 3 + i), pose.orientation[i]);
            }
        }
    }
}

}  // namespace session
