#include "SessionLayout.h"

#include <unordered_map>

#include "SessionError.h"
#include "NumberField.h"

namespace session {

namespace {

constexpr std::array<const char*, 4> kQuatSuffix{"w", "x", "y", "z"};
constexpr std::array<const char*, 7> kPoseSuffix{"px", "py", "pz", "qw", "qx", "qy", "qz"};
constexpr std::array<const char*, 3> kDevicePrefix{"rtracker", "ltracker", "headset"};

SessionError headerError(const std::string& what)
{
    return SessionError(TARN_SESSION_BAD_HEADER, "header: " + what);
}

// Fills `columns` from `byName` for the names given by `nameOf(i)`; returns
// false when the block is absent, throws when only part of it is there.
template <std::size_t N, typename NameOf>
bool findBlock(const std::unordered_map<std::string, std::size_t>& byName, const std::string& block,
               NameOf nameOf, std::array<std::size_t, N>& columns)
{
    std::size_t found = 0;
    std::string firstMissing;
    for (std::size_t i = 0; i < N; ++i) {
        const auto it = byName.find(nameOf(i));
        if (it == byName.end()) {
            if (firstMissing.empty()) {
                firstMissing = nameOf(i);
            }
            continue;
        }
        columns[i] = it->second;
        ++found;
    }
    if (found != 0 && found != N) {
        throw headerError("the " + block + " has " + std::to_string(found) + " of its " + std::to_string(N) +
                          " columns (" + firstMissing + " is missing)");
    }
    return found == N;
}

template <std::size_t N>
void markKnown(const std::array<std::size_t, N>& columns, std::vector<bool>& known)
{
    for (const std::size_t c : columns) {
        known[c] = true;
    }
}

}  // namespace

std::string gloveColumnName(Side hand, std::size_t row, std::size_t component)
{
    return std::string(hand == Side::Right ? "rglove_" : "lglove_") + std::to_string(row) + "_" +
           kQuatSuffix[component];
}

std::string deviceColumnName(Device device, std::size_t element)
{
    return std::string(kDevicePrefix[index(device)]) + "_" + kPoseSuffix[element];
}

std::string handName(Side hand)
{
    return hand == Side::Right ? "right glove" : "left glove";
}

std::string deviceName(Device device)
{
    constexpr std::array<const char*, 3> names{"right tracker", "left tracker", "headset"};
    return names[index(device)];
}

SessionLayout SessionLayout::fromHeader(const std::vector<std::string>& names)
{
    SessionLayout layout;
    layout.names_ = names;
    layout.known_.assign(names.size(), false);

    std::unordered_map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) {
            throw headerError("column " + std::to_string(i + 1) + " has no name");
        }
        if (parseNumberField(names[i])) {
            throw headerError("the first line holds numbers (\"" + names[i] +
                              "\"); the file must start with a row of column names");
        }
        if (!byName.emplace(names[i], i).second) {
            throw headerError("column \"" + names[i] + "\" appears twice");
        }
    }

    const auto time = byName.find("time");
    if (time == byName.end()) {
        throw headerError("no \"time\" column");
    }
    layout.time_ = time->second;
    layout.known_[layout.time_] = true;

    for (const Side hand : kSides) {
        std::array<std::size_t, kGloveValues> columns{};
        const auto nameOf = [hand](std::size_t i) { return gloveColumnName(hand, i / 4, i % 4); };
        if (findBlock(byName, handName(hand), nameOf, columns)) {
            layout.glove_[index(hand)] = columns;
            markKnown(columns, layout.known_);
        }
    }
    for (const Device device : kDevices) {
        std::array<std::size_t, 7> columns{};
        const auto nameOf = [device](std::size_t i) { return deviceColumnName(device, i); };
        if (findBlock(byName, deviceName(device), nameOf, columns)) {
            layout.device_[index(device)] = columns;
            markKnown(columns, layout.known_);
        }
    }
    return layout;
}

SessionLayout SessionLayout::complete(bool headset)
{
    std::vector<std::string> names{"time"};
    for (const Side hand : kSides) {
        for (std::size_t i = 0; i < kGloveValues; ++i) {
            names.push_back(gloveColumnName(hand, i / 4, i % 4));
        }
    }
    for (const Device device : kDevices) {
        for (std::size_t i = 0; i < 7 && (headset || device != Device::Headset); ++i) {
            names.push_back(deviceColumnName(device, i));
        }
    }
    return fromHeader(names);
}

}  // namespace session
