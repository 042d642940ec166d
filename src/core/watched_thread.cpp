#include "core/watched_thread.h"

#include "core/log.h"
#include "core/stop_waits.h"

#include <fmt/format.h>

namespace kvr {

void gf_logThreadLeftBehind(std::string_view name, std::chrono::milliseconds limit) {
    gf_logError(
        fmt::format("The {} thread did not end within {} ms and is left behind", name, limit.count()));
}

WatchedThread& WatchedThread::operator=(WatchedThread&& other) noexcept {
    if (this != &other) {
        end(endLimit, true);
        name_ = std::move(other.name_);
        ended_ = std::move(other.ended_);
        thread_ = std::move(other.thread_);
    }
    return *this;
}

// At the process's end the log may be gone already: a thread left behind there goes unrecorded.
WatchedThread::~WatchedThread() {
    end(endLimit, false);
}

bool WatchedThread::stopAndJoin(std::chrono::milliseconds limit) {
    return end(limit, true);
}

bool WatchedThread::end(std::chrono::milliseconds limit, bool logLeftBehind) {
    if (!thread_.joinable())
        return true;
    thread_.request_stop();
    if (gf_waitUntil([this] { return ended_->load(); }, limit)) {
        thread_.join();
        return true;
    }
    if (logLeftBehind)
        gf_logThreadLeftBehind(name_, limit);
    thread_.detach();
    return false;
}

} // namespace kvr
