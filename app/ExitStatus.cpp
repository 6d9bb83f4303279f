#include "ExitStatus.h"

#include <iostream>

namespace gradix {

int failWith(const std::string& problem, int status) {
    std::cout.flush();
    std::cerr << "gradix: " << problem << std::endl;
    return status;
}

} // namespace gradix
