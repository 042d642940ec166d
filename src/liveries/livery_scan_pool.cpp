#include "liveries/livery_scan_pool_internal.h"

#include <algorithm>

namespace kvr {

LiveryScanPool::LiveryScanPool(int maxThreads)
    : maxThreads_(static_cast<std::size_t>(std::max(1, maxThreads))) {
    // Room for every thread up front: a vector growing under a freshly started thread could not keep it.
    threads_.reserve(maxThreads_);
}

LiveryScanPool::~LiveryScanPool() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

std::future<FileLiveries> LiveryScanPool::start(std::function<FileLiveries()> task) {
    std::packaged_task<FileLiveries()> packaged(std::move(task));
    std::future<FileLiveries> result = packaged.get_future();
    {
        std::lock_guard lock(mutex_);
        // A thread is started only when none waits for work, so a walk that keeps one task in flight
        // keeps one thread.
        if (idle_ <= queue_.size() && threads_.size() < maxThreads_)
            threads_.emplace_back([this] { work(); });
        queue_.push_back(std::move(packaged));
    }
    wake_.notify_one();
    return result;
}

void LiveryScanPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
        --idle_;
        if (queue_.empty())
            return;
        std::packaged_task<FileLiveries()> task = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        task();
        lock.lock();
    }
}

} // namespace kvr
