#include "ExitStatus.h"

#include "Json.h"

#include <iostream>

namespace gradix {
namespace {
bool jsonErrors = false;
}

void setJsonErrors(bool on) {
    jsonErrors = on;
}

int failWith(const std::string& problem, int status) {
    if (jsonErrors)
        std::cout << jsonText(Json{{"error", problem}, {"status", status}}) << "\n";
    std::cout.flush();
    std::cerr << "gradix: " << problem << std::endl;
    return status;
}

} // namespace gradix
