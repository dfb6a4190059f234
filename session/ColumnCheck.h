// Columns that belong to no glove or device: carried through, listed in the
// report, and checked for near misses of the names the tool reads.
#pragma once

#include <string>
#include <vector>

#include "SessionLayout.h"

namespace session {

struct OtherColumn {
    std::string name;
    std::string probablyMeant;  // the known column it nearly names, or empty
};

// Every column the tool does not read, in file order. A name within two
// edits (letters added, dropped or changed) of a known column name that the
// file lacks is a near miss: "headst_qw" probably meant "headset_qw".
std::vector<OtherColumn> otherColumns(const SessionLayout& layout);

}  // namespace session
