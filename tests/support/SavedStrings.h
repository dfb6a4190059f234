#pragma once
// Saved calibration strings as a forger would edit them: doubles at byte
// offsets of the format (docs/saved-calibrations.md), and a CRC-32 put
// over the edited string again, so that restore meets the contents and
// not a checksum mismatch.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace saved_string {

constexpr std::size_t kFlags = 12;                // after magic, version, length: a byte per flag
constexpr std::size_t kRotations = kFlags + 8;    // a presence byte, 4 doubles
constexpr std::size_t kRotationBytes = 33;
constexpr std::size_t kPoints = kRotations + 7 * kRotationBytes;  // centre, then origin: 3 doubles

constexpr std::size_t kHands = kPoints + 2 * 24;  // a record per hand, right first
constexpr std::size_t kHandBytes = 181;

inline std::size_t rotation(int slot, int component) { return kRotations + slot * kRotationBytes + 1 + 8 * component; }
inline std::size_t point(int which, int axis) { return kPoints + 24 * which + 8 * axis; }

// A hand record's fields: the motion presence byte, then its doubles
// (heading, uncertainty, mount w x y z, strap turn and tilt, spread, turning
// round and over, duration) and two counts; the drift settings' row byte,
// its doubles (threshold, hold time, still speed, still time, window,
// compensate within) and two flag bytes; the rate's presence byte, the
// rate and its error.
inline std::size_t motionPresent(int hand) { return kHands + hand * kHandBytes; }
inline std::size_t motionValue(int hand, int k) { return motionPresent(hand) + 1 + 8 * k; }
inline std::size_t settingsRow(int hand) { return motionPresent(hand) + 113; }
inline std::size_t settingsValue(int hand, int k) { return settingsRow(hand) + 1 + 8 * k; }
inline std::size_t ratePresent(int hand) { return motionPresent(hand) + 164; }
inline std::size_t rateValue(int hand, int k) { return ratePresent(hand) + 1 + 8 * k; }

inline void setDouble(std::vector<unsigned char>& bytes, std::size_t at, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    for (int k = 0; k < 8; ++k) bytes[at + k] = static_cast<unsigned char>(bits >> (8 * k));
}

// Writes the CRC-32 (IEEE 802.3) of all but the last 4 bytes into them.
inline void reseal(std::vector<unsigned char>& bytes)
{
    if (bytes.size() < 4) return;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t k = 0; k + 4 < bytes.size(); ++k) {
        crc ^= bytes[k];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    for (int k = 0; k < 4; ++k) bytes[bytes.size() - 4 + k] = static_cast<unsigned char>(crc >> (8 * k));
}

}  // namespace saved_string
