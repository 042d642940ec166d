#pragma once
// AceXML flight plans for AI aircraft that have an origin and a destination.
#include "simlink/sim_records.h"

#include <filesystem>
#include <mutex>
#include <string>

namespace kvr {

// A path that one thread sets while others read it.
class GuardedPath {
public:
    std::filesystem::path get() const {
        std::lock_guard lock(mutex_);
        return path_;
    }
    void set(std::filesystem::path path) {
        std::lock_guard lock(mutex_);
        path_ = std::move(path);
    }

private:
    mutable std::mutex mutex_;
    std::filesystem::path path_;
};

// The folder of the AI flight plans: application data folder / orig_dest; empty until created. The
// application removes it with its contents at every session end.
extern GuardedPath flightPlanFolder;

// flightPlanFolder := appDataFolder / "orig_dest", created when missing. Throws
// std::filesystem::filesystem_error when it cannot be created.
void gf_createFlightPlanFolder();

// The AceXML text of a plan from the request's origin to its destination.
std::string gf_flightPlanText(const CreateRequest& request);

// Writes "<object id>.pln" into flightPlanFolder. Returns the file's path, or an empty path (with a log
// line) when the request lacks an end, the folder is not set or the file cannot be written.
std::filesystem::path gf_writeFlightPlan(SimObjectId objectId, const CreateRequest& request);

} // namespace kvr
