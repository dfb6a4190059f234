#include "ColumnCheck.h"

#include <algorithm>
#include <set>

namespace session {

namespace {

constexpr std::size_t kMaxEdits = 2;

// Levenshtein distance, or kMaxEdits + 1 when larger.
std::size_t editDistance(const std::string& a, const std::string& b)
{
    if (std::max(a.size(), b.size()) - std::min(a.size(), b.size()) > kMaxEdits) return kMaxEdits + 1;
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::vector<OtherColumn> otherColumns(const SessionLayout& layout)
{
    const std::set<std::string> present(layout.names().begin(), layout.names().end());
    std::vector<std::string> absent;
    const SessionLayout complete = SessionLayout::complete();
    for (const std::string& name : complete.names())
        if (present.count(name) == 0) absent.push_back(name);
    std::vector<OtherColumn> others;
    for (std::size_t c = 0; c < layout.names().size(); ++c) {
        if (layout.isKnown(c)) continue;
        OtherColumn column{layout.names()[c], ""};
        std::size_t best = kMaxEdits + 1;
        for (const std::string& known : absent) {
            const std::size_t edits = editDistance(column.name, known);
            if (edits < best) best = edits, column.probablyMeant = known;
        }
        others.push_back(column);
    }
    return others;
}

}  // namespace session
