#pragma once

// Runs several host threads against one plug-in instance for a bounded time and fails
// loudly when they do not all come back (a deadlock), instead of hanging the suite.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace concurrency_test
{

/// One thread's work: called again and again with its own random generator until the run
/// ends. Returns how many rounds it made.
struct Role
{
    std::string name;
    std::function<void(std::mt19937&)> round;
};

/// Seconds each run lasts: VERDIGRIX_CONCURRENCY_SECONDS, else `fallback`.
inline double RunSeconds(double fallback = 2.0)
{
    if (const char* text = std::getenv("VERDIGRIX_CONCURRENCY_SECONDS"))
        if (const double s = std::atof(text); s > 0.0)
            return s;
    return fallback;
}

/// Runs every role on its own thread for `seconds` after the last one has started, each at
/// least once; returns the rounds each made, in order.
/// Aborts the process when a thread has not returned 30 seconds after the end: a thread
/// stuck on a lock cannot be joined, and waiting for it would only hang the test run.
inline std::vector<long> RunTogether(const std::vector<Role>& roles, double seconds,
                                     unsigned seed = 1)
{
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> started{0};
    std::mutex doneLock;
    std::condition_variable doneSignal;
    int done = 0;
    std::vector<long> rounds(roles.size(), 0);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < roles.size(); ++i)
        threads.emplace_back(
            [&, i]
            {
                std::mt19937 random(seed + static_cast<unsigned>(i));
                long n = 0;
                ++started;
                // At least one round each, however late a busy machine starts the thread.
                do
                {
                    roles[i].round(random);
                    ++n;
                } while (!stop.load(std::memory_order_relaxed));
                std::lock_guard guard(doneLock);
                rounds[i] = n;
                ++done;
                doneSignal.notify_all();
            });
    // The time counts from when every thread runs, so they all overlap for `seconds`.
    while (started.load() < roles.size())
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stop = true;
    {
        std::unique_lock wait(doneLock);
        if (!doneSignal.wait_for(wait, std::chrono::seconds(30),
                                 [&] { return done == static_cast<int>(roles.size()); }))
        {
            std::fprintf(stderr, "deadlock: %d of %zu threads came back\n", done, roles.size());
            std::abort();
        }
    }
    for (std::thread& t : threads)
        t.join();
    return rounds;
}

} // namespace concurrency_test
