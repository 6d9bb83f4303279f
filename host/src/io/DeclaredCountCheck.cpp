#include "DeclaredCountCheck.h"

#include <fstream>
#include <sstream>

namespace gxhost {
namespace {

// Counts written as decimal text; anything unreadable counts as 0 and is left to the reader.
unsigned long long parseCount(const std::string& word) {
    unsigned long long value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value > (~0ull - 9) / 10 ? ~0ull : value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

// "OFF" (or COFF, NOFF, STOFF, …) then "vertices faces edges", possibly on the same line.
unsigned long long offCounts(std::istream& in) {
    std::string word;
    unsigned long long total = 0;
    for (int i = 0; i < 2 && in >> word; ++i) {
        total += parseCount(word);
    }
    return total;
}

// "element NAME COUNT" lines up to "end_header"; `ended` tells whether that line came.
unsigned long long plyCounts(std::istream& in, bool& ended) {
    unsigned long long total = 0;
    std::string line;
    ended = false;
    for (int lines = 0; lines < 10000 && std::getline(in, line); ++lines) {
        std::istringstream words(line);
        std::string keyword, name, count;
        words >> keyword;
        if (keyword == "end_header") {
            ended = true;
            break;
        }
        if (keyword == "element" && words >> name >> count) {
            total += parseCount(count);
        }
    }
    return total;
}

} // namespace

bool checkDeclaredCounts(const std::string& path, std::string& problem) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return true;
    }
    const unsigned long long size = static_cast<unsigned long long>(in.tellg());
    in.seekg(0);
    std::string first;
    in >> first;
    unsigned long long declared = 0;
    if (first.size() >= 3 && first.size() <= 6 && first.compare(first.size() - 3, 3, "OFF") == 0) {
        declared = offCounts(in);
    } else if (first == "ply") {
        // Assimp's PLY reader never stops looking for the end of a header that has none.
        bool ended = false;
        declared = plyCounts(in, ended);
        if (!ended) {
            problem = "the PLY header has no end_header line";
            return false;
        }
    }
    if (declared > size) {
        problem = "the header declares " + std::to_string(declared) + " elements, more than the file's " +
                  std::to_string(size) + " bytes can hold";
        return false;
    }
    return true;
}

} // namespace gxhost
