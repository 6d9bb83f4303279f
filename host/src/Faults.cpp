#include "Faults.h"

#include <gxhost/Host.h>

#include <map>
#include <string>

namespace gxhost {
namespace {

struct Armed {
    unsigned int nth;
    MStatus::MStatusCode code;
    bool persistent;
    unsigned int calls = 0;
};

std::map<std::string, Armed>& armed() {
    static std::map<std::string, Armed> table;
    return table;
}

} // namespace

std::atomic<bool> gFaultsArmed{false};

void injectFault(const std::string& operation, unsigned int nth, MStatus::MStatusCode code, bool persistent) {
    armed()[operation] = Armed{nth == 0 ? 1 : nth, code, persistent};
    gFaultsArmed = true;
}

void clearFaults() {
    armed().clear();
    gFaultsArmed = false;
}

unsigned int faultCalls(const std::string& operation) {
    auto it = armed().find(operation);
    return it == armed().end() ? 0 : it->second.calls;
}

bool armedFault(const char* op, MStatus* status) {
    auto& table = armed();
    auto it = table.find(op);
    if (it == table.end())
        return false;
    Armed& a = it->second;
    ++a.calls;
    if (a.calls == a.nth || (a.persistent && a.calls > a.nth)) {
        setStatus(status, a.code);
        return true;
    }
    return false;
}

} // namespace gxhost
