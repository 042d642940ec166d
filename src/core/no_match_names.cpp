#include "core/no_match_names.h"

#include "core/log.h"

#include <mutex>
#include <set>

namespace kvr {

namespace {
std::mutex noMatchMutex;
std::set<std::string> noMatchNames; // guarded by noMatchMutex
} // namespace

void gf_addNoMatchName(const std::string& name) {
    std::lock_guard lock(noMatchMutex);
    noMatchNames.insert(name);
}

void gf_logNoMatch() {
    std::set<std::string> names;
    {
        std::lock_guard lock(noMatchMutex);
        names = noMatchNames;
    }
    if (names.empty())
        return;
    gf_logLine("\nNo match found for:");
    for (const std::string& name : names)
        gf_logLine(name);
    gf_logLine("");
}

void gf_clearNoMatchNames() {
    std::lock_guard lock(noMatchMutex);
    noMatchNames.clear();
}

} // namespace kvr
