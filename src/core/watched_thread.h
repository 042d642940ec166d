#pragma once
// A thread whose end is awaited for a limited time only. Its body reports when it has returned, so a join
// is made only once the join cannot block; a thread that has not ended within the limit is logged by name
// and left behind (detached), and its owner goes on.
#include <atomic>
#include <chrono>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <utility>

namespace kvr {

// "The {name} thread did not end within {limit} ms and is left behind", as an error line.
void gf_logThreadLeftBehind(std::string_view name, std::chrono::milliseconds limit);

class WatchedThread {
public:
    static constexpr std::chrono::milliseconds endLimit{2000};

    WatchedThread() = default;
    // The body takes a std::stop_token, or nothing when it watches a stop of its own.
    template <class Body>
    WatchedThread(std::string name, Body body)
        : name_(std::move(name)), ended_(std::make_shared<std::atomic<bool>>(false)) {
        thread_ = std::jthread([ended = ended_, body = std::move(body)](std::stop_token stop) mutable {
            EndReport report{*ended};
            if constexpr (std::is_invocable_v<Body&, std::stop_token>)
                body(std::move(stop));
            else
                body();
        });
    }
    WatchedThread(WatchedThread&&) noexcept = default;
    // The thread held so far is ended first (within the limit).
    WatchedThread& operator=(WatchedThread&& other) noexcept;
    WatchedThread(const WatchedThread&) = delete;
    WatchedThread& operator=(const WatchedThread&) = delete;
    ~WatchedThread();

    bool joinable() const { return thread_.joinable(); }
    void requestStop() { thread_.request_stop(); }
    // Asks the thread to stop and waits up to the limit for its end: true when it ended and was joined,
    // false when it was left behind (logged).
    bool stopAndJoin(std::chrono::milliseconds limit = endLimit);

private:
    // Set on every way out of the body, exceptions included.
    struct EndReport {
        std::atomic<bool>& ended;
        ~EndReport() { ended.store(true); }
    };
    bool end(std::chrono::milliseconds limit, bool logLeftBehind);

    std::string name_;
    std::shared_ptr<std::atomic<bool>> ended_;
    std::jthread thread_;
};

} // namespace kvr
