// The sound device where no sound server answers (a console login, ssh):
// SDL2's ALSA driver, or a silent device that still plays in real time.
#pragma once

#include <cstdint>

#include "console/sound_samples.h"

struct SoundDevice {
    std::uint32_t device = 0;  // SDL's device id; 0 when none is open
    bool driverStarted = false;
    bool opened = false;  // opening was tried, whatever came of it
    bool silent = false;  // SDL's dummy or file driver: nothing is heard, no device holds samples back
};

void openSoundDevice(SoundDevice& device);

// Returns once the device has played the samples, and never before their
// length has passed; keys typed meanwhile stay queued.
void playOnDevice(SoundDevice& device, const Samples& samples);

// Called as the program ends. A silent device is left to the end of the
// process: closing it waits up to 70 ms for buffers to drain that no device
// holds (the file driver has written the last sound by the time it ends).
void closeSoundDevice(SoundDevice& device);
