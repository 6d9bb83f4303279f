// Feeds arbitrary command lines to the tool's option parser: the input's lines are the arguments.
// Parsing stops before any command runs; every line must end in a parse or one usage error, with no
// crash and no undefined behaviour in the checks of numbers, sizes, lists and names.
#include "Cli.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words{"gradix"};
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            words.push_back(word);
            word.clear();
        } else if (data[i] != 0) {
            word += static_cast<char>(data[i]);
        }
    }
    words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    gradix::Cli().run(static_cast<int>(words.size()), argv.data(), true);
    return 0;
}
