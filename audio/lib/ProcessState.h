#pragma once
// Internal: what init() / recordInit() set up and what the recording channel
// reads from it.

#include <atomic>
#include <string>

namespace audiolib {

// One input of the recording device. Lives from recordInit() to
// recordFree(); the capture thread reads `level` without a lock.
struct InputState {
    std::string id; // the sound system's name of the input
    std::string name;
    std::atomic<bool> on{false};
    std::atomic<float> level{1.0f};
};

bool recordInitialised();
int inputCount();
// nullptr when n is not an input.
InputState* inputState(int n);
// The input a new recording captures: the first one switched on, or -1
// (the system's default source) when none is.
int selectedInput();

} // namespace audiolib
