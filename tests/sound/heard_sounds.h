// What a recording of the game holds, sound by sound: the sound tier and the
// benchmark swap every data file for a test sound and find each one again in
// what a sound server played.
//
// A test sound is a square wave, loud to its last sample, whose half-period
// (a whole number of samples at the game's rate) tells which file it stands
// for; it starts high and ends after a low half, so a sound's start and end
// are found to a fraction of a sample after any resampling, even when the
// next sound follows with no gap at all.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct TestSound {
    int halfPeriod = 0;   // samples at the game's rate
    double seconds = 0;   // its length, a whole number of periods
};

using TestSounds = std::map<std::string, TestSound>;

struct HeardSound {
    std::string name;
    double start = 0;    // seconds into the recording
    double seconds = 0;  // how long it was heard
    double silenceInside = 0;  // between pieces of it that make it whole
};

// A recording's samples, full scale 1.
struct Recording {
    int rate = 0;
    std::vector<double> samples;
};

// A 16-bit mono .wav file; no samples if it cannot be read.
Recording readRecording(const std::filesystem::path& file);

// The test sound of every .wav in the folder: of the file's own length, or
// of 0.08 to 0.125 s when `shortSounds`. A folder of test sounds gives back
// the sounds it holds.
TestSounds planTestSounds(const std::filesystem::path& data, bool shortSounds);

// Swaps every .wav in the folder for its test sound.
TestSounds writeTestSounds(const std::filesystem::path& data, bool shortSounds);

// The test sounds found in a recording at any rate, in order; a piece of a
// sound is heard as a sound of its own, unless with the next piece it makes
// the whole sound.
std::vector<HeardSound> hearSounds(const Recording& recording, const TestSounds& sounds);
