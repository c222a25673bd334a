#pragma once
// Waiting in a test for what it means: a condition with a time limit, never
// a fixed sleep that guesses how long something takes on a busy machine.

#include <chrono>
#include <thread>

// Polls done() until it holds or the time is up; whether it held. Runs no
// event loop: nothing else on the calling thread happens meanwhile (a Qt test
// that needs its events handled waits with QTest::qWaitFor).
template <class Done>
bool WaitUntil(Done&& done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds step = std::chrono::milliseconds(2)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        std::this_thread::sleep_for(step);
    }
    return true;
}
