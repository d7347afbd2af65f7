// Reading .wav files into the playing format, with SDL2's reader and
// converter, and the built-in chime.
#include "console/sound_samples.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

// Converts what SDL read into 16-bit mono at the playing rate.
Samples convertToPlayingFormat(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length)
{
    SDL_AudioCVT conversion{};
    int needed = SDL_BuildAudioCVT(&conversion, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, soundRate);
    if (needed < 0 || length == 0) return {};
    std::vector<Uint8> buffer(static_cast<std::size_t>(length) * static_cast<std::size_t>(conversion.len_mult));
    std::memcpy(buffer.data(), data, length);
    int convertedLength = static_cast<int>(length);
    if (needed > 0) {
        conversion.buf = buffer.data();
        conversion.len = static_cast<int>(length);
        convertedLength = SDL_ConvertAudio(&conversion) == 0 ? conversion.len_cvt : 0;
    }
    std::size_t frames = std::min(static_cast<std::size_t>(convertedLength) / sizeof(std::int16_t), mostSoundFrames);
    Samples samples(frames);
    std::memcpy(samples.data(), buffer.data(), frames * sizeof(std::int16_t));
    return samples;
}

// Rises over the first 5 ms and falls over the last 30 ms, both along a
// quarter sine, so the note starts and ends at rest and never clicks.
double noteEnvelope(int frame, int frames)
{
    const double rise = 0.005 * soundRate;
    const double fall = 0.030 * soundRate;
    double risen = std::min(1.0, frame / rise);
    double left = std::min(1.0, (frames - 1 - frame) / fall);
    return std::sin(std::numbers::pi / 2 * risen) * std::sin(std::numbers::pi / 2 * left);
}

}  // namespace

Samples loadSamples(const std::string& file)
{
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(file.c_str(), &spec, &data, &length) == nullptr) return {};
    Samples samples = convertToPlayingFormat(spec, data, length);
    SDL_FreeWAV(data);
    return samples;
}

Samples synthesiseChime()
{
    Samples chime;
    const double notes[] = {987.77, 783.99};
    const int noteFrames = soundRate / 10;
    for (double frequency : notes) {
        for (int frame = 0; frame < noteFrames; ++frame) {
            double time = static_cast<double>(frame) / soundRate;
            double decay = std::exp(-time * 12.0);
            double value = 0.35 * noteEnvelope(frame, noteFrames) * decay *
                           std::sin(2.0 * std::numbers::pi * frequency * time);
            chime.push_back(static_cast<std::int16_t>(std::lround(value * 32767.0)));
        }
    }
    return chime;
}

std::chrono::steady_clock::duration soundLength(std::size_t frames)
{
    return std::chrono::microseconds(1000000LL * static_cast<long long>(frames) / soundRate);
}
