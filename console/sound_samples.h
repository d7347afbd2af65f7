// The sounds as the sound layer plays them: 16-bit mono samples at one rate,
// read from .wav files, and the chime played for a file that cannot be.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Samples = std::vector<std::int16_t>;

inline constexpr int soundRate = 22050;

// A file longer than this plays its first minute.
inline constexpr std::size_t mostSoundFrames = 60 * soundRate;

// The file's sound in the playing format; empty if it cannot be played.
Samples loadSamples(const std::string& file);

// Two short falling notes, each rising from silence and falling back to it.
Samples synthesiseChime();

// How long the frames take to play.
std::chrono::steady_clock::duration soundLength(std::size_t frames);
