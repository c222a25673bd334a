#pragma once
#include <cstdint>

// Playback state of the player and of the window's player controls.
enum TPlayState : uint8_t {
    psNormal = 0,   // nothing played yet, or a state of the library not listed here
    psOpenFile = 1, // a file is open and not yet played (the player never reports it)
    psPlaying = 2,
    psPause = 3,
    psStop = 4, // stopped, or the end of the file was reached
};
