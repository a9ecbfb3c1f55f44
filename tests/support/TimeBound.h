// A time bound for a test step that must end: the step runs on a thread of its own, and when it
// has not finished within the bound the whole test program ends with a message naming it (a
// hung step cannot be stopped and the test cannot go on). Used by the mutation tests, where a
// damaged image must never make a walk run on.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>
#include <thread>

// Runs step; returns how long it took. Ends the program when it takes longer than bound.
inline std::chrono::milliseconds RunWithin(std::chrono::milliseconds bound, const std::string& what,
                                           const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    std::packaged_task<void()> task(step);
    std::future<void> done = task.get_future();
    std::thread thread(std::move(task));
    if (done.wait_for(bound) != std::future_status::ready) {
        std::fprintf(stderr, "HANG: %s did not end within %lld ms\n", what.c_str(),
                     static_cast<long long>(bound.count()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    thread.join();
    done.get();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}
