#pragma once
// The worker threads that read the aircraft.cfg files of one folder walk. Thousands of small files make a
// thread per file cost more than the reading itself, so a few threads take the tasks in turn; how many
// run at once is still governed by activeScanTasks and gf_waitForScanSlot.
#include "liveries/fltsim_section_internal.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace kvr {

class LiveryScanPool {
public:
    // Threads are started as tasks arrive, up to the given number (at least 1).
    explicit LiveryScanPool(int maxThreads);
    // Runs the tasks still queued, then ends the threads; a task that is still running is waited for.
    ~LiveryScanPool();
    LiveryScanPool(const LiveryScanPool&) = delete;
    LiveryScanPool& operator=(const LiveryScanPool&) = delete;

    // Queues the task; its result or exception arrives through the future. Throws std::system_error when
    // a needed thread cannot be started; the task is then not queued.
    std::future<FileLiveries> start(std::function<FileLiveries()> task);

private:
    void work();

    std::size_t maxThreads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<FileLiveries()>> queue_;
    std::size_t idle_ = 0;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

} // namespace kvr
