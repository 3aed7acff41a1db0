#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace kvx::fleet {

// How often the caller's tick runs while devices are worked on: often enough for progress to look
// live, seldom enough that drawing it costs nothing.
inline constexpr std::chrono::milliseconds kTickInterval{250};

using ThreadStarter = std::function<std::thread(std::function<void()>)>;
std::thread startThread(std::function<void()> body);

// Calls work(i) for every i below count on at most `parallel` threads, and tick() on the calling thread
// every kTickInterval until they are done. When the system refuses a thread, that worker's share is
// one device, handed to notStarted with the reason; with no thread at all, every device is.
void runInParallel(std::size_t count, std::size_t parallel, const std::function<void(std::size_t)>& work,
                   const std::function<void(std::size_t, const std::string&)>& notStarted,
                   const std::function<void()>& tick, const ThreadStarter& start = startThread);

} // namespace kvx::fleet
