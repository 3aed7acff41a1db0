#include "runner.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <vector>

namespace kvx::fleet {

std::thread startThread(std::function<void()> body) {
    return std::thread(std::move(body));
}

void runInParallel(std::size_t count, std::size_t parallel, const std::function<void(std::size_t)>& work,
                   const std::function<void(std::size_t, const std::string&)>& notStarted,
                   const std::function<void()>& tick, const ThreadStarter& start) {
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable ended;
    std::size_t running = 0;
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            work(i);
        const std::lock_guard lock(mutex);
        --running;
        ended.notify_all();
    };

    std::vector<std::thread> threads;
    const std::size_t workers = std::min(parallel, count);
    threads.reserve(workers);
    std::string refused;
    for (std::size_t w = 0; w < workers; ++w) {
        {
            const std::lock_guard lock(mutex);
            ++running;
        }
        try {
            threads.push_back(start(worker));
        } catch (const std::system_error& error) {
            {
                const std::lock_guard lock(mutex);
                --running;
            }
            refused = std::string("cannot start a worker: ") + error.what();
            if (const std::size_t i = next++; i < count)
                notStarted(i, refused);
        }
    }
    if (threads.empty())
        for (std::size_t i = next++; i < count; i = next++)
            notStarted(i, refused);

    std::unique_lock lock(mutex);
    while (!ended.wait_for(lock, kTickInterval, [&] { return running == 0; })) {
        lock.unlock();
        tick();
        lock.lock();
    }
    lock.unlock();
    for (std::thread& t : threads)
        t.join();
}

} // namespace kvx::fleet
