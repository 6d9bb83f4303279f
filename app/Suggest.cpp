#include "Suggest.h"

#include <algorithm>

namespace gradix {
namespace {

size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string closestName(const std::string& word, const std::vector<std::string>& known) {
    std::string best;
    size_t bestDistance = std::min<size_t>(3, std::max<size_t>(1, word.size() / 3)) + 1;
    for (const std::string& name : known) {
        const size_t d = editDistance(word, name);
        if (d < bestDistance)
            best = name, bestDistance = d;
    }
    return best;
}

} // namespace gradix
