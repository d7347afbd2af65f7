// Synchronous sound through SDL2: one device for the whole run, each .wav
// loaded once and kept in the device's format, and a built-in chime for a
// file that cannot be played.
#include "console/sdl_sound.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/posix_keyboard.h"

namespace {

using Clock = std::chrono::steady_clock;
using Samples = std::vector<std::int16_t>;

constexpr int deviceRate = 22050;
// The device takes 512 frames (23 ms) at a time. A sound starts with the
// device's next buffer, half a buffer after it is queued on average; smaller
// buffers start sounds sooner, but wake the audio thread more often all the
// time the game waits at a prompt.
constexpr std::size_t bufferFrames = 512;

SDL_AudioDeviceID device = 0;
bool audioStarted = false;
bool soundOpened = false;
std::map<std::string, Samples> loadedSounds;  // an empty entry: the file cannot be played

SDL_AudioDeviceID openDevice()
{
    SDL_AudioSpec wanted{};
    wanted.freq = deviceRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = static_cast<Uint16>(bufferFrames);
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
}

bool startDriver(const char* driver)
{
    if (SDL_AudioInit(driver) != 0) return false;
    device = openDevice();
    if (device != 0) return true;
    SDL_AudioQuit();
    return false;
}

// With no sound card the audio libraries print to stderr, right over the
// game's screen; their lines go nowhere while the device opens.
struct SilencedStderr {
    int saved = -1;
};

SilencedStderr silenceStderr()
{
    SilencedStderr silenced;
    int nowhere = open("/dev/null", O_WRONLY);
    if (nowhere < 0) return silenced;
    silenced.saved = dup(STDERR_FILENO);
    dup2(nowhere, STDERR_FILENO);
    close(nowhere);
    return silenced;
}

void restoreStderr(const SilencedStderr& silenced)
{
    if (silenced.saved < 0) return;
    dup2(silenced.saved, STDERR_FILENO);
    close(silenced.saved);
}

// Two short falling notes with soft edges, about 0.2 s in all.
Samples synthesiseChime()
{
    Samples chime;
    const double notes[] = {987.77, 783.99};
    const int noteFrames = deviceRate / 10;
    for (double frequency : notes) {
        for (int frame = 0; frame < noteFrames; ++frame) {
            double time = static_cast<double>(frame) / deviceRate;
            double attack = std::min(1.0, frame / (0.005 * deviceRate));
            double decay = std::exp(-time * 18.0);
            double value = 0.35 * attack * decay * std::sin(2.0 * std::numbers::pi * frequency * time);
            chime.push_back(static_cast<std::int16_t>(std::lround(value * 32767.0)));
        }
    }
    return chime;
}

const Samples& defaultChime()
{
    static const Samples chime = synthesiseChime();
    return chime;
}

// The file's sound in the device's format; empty if it cannot be played.
Samples loadSound(const std::string& file)
{
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(file.c_str(), &spec, &data, &length) == nullptr) return {};
    Samples samples;
    SDL_AudioCVT conversion{};
    int needed = SDL_BuildAudioCVT(&conversion, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1, deviceRate);
    if (needed >= 0 && length > 0) {
        std::vector<Uint8> buffer(static_cast<std::size_t>(length) * static_cast<std::size_t>(conversion.len_mult));
        std::memcpy(buffer.data(), data, length);
        int convertedLength = static_cast<int>(length);
        if (needed > 0) {
            conversion.buf = buffer.data();
            conversion.len = static_cast<int>(length);
            convertedLength = SDL_ConvertAudio(&conversion) == 0 ? conversion.len_cvt : 0;
        }
        samples.resize(static_cast<std::size_t>(convertedLength) / sizeof(std::int16_t));
        std::memcpy(samples.data(), buffer.data(), samples.size() * sizeof(std::int16_t));
    }
    SDL_FreeWAV(data);
    return samples;
}

const Samples& soundFor(const std::string& path)
{
    auto found = loadedSounds.find(path);
    if (found == loadedSounds.end()) found = loadedSounds.emplace(path, loadSound(nativePath(path))).first;
    return found->second.empty() ? defaultChime() : found->second;
}

Clock::duration framesTime(std::size_t frames)
{
    return std::chrono::microseconds(1000000LL * static_cast<long long>(frames) / deviceRate);
}

// The device takes a queued sound a whole buffer at a time from its start, so
// when the queue runs empty it has just taken the sound's last buffer, of
// which only this many frames are sound.
std::size_t framesInLastBuffer(std::size_t frames)
{
    std::size_t rest = frames % bufferFrames;
    return rest == 0 && frames > 0 ? bufferFrames : rest;
}

// Queues the sound and sleeps until the earliest moment the device can take
// its last buffer, then watches the queue drain and waits out the sound's part
// of that last buffer: the sound has then played to its end, and the next one
// can start with the device's next buffer. Waiting a whole buffer instead
// would make the next sound miss that buffer most of the time.
void playToEnd(const Samples& samples)
{
    SteadyTime start = Clock::now();
    if (device == 0) {
        sleepTakingKeys(start + framesTime(samples.size()));
        return;
    }
    SDL_QueueAudio(device, samples.data(), static_cast<Uint32>(samples.size() * sizeof(std::int16_t)));
    const std::size_t lastFrames = framesInLastBuffer(samples.size());
    sleepTakingKeys(start + framesTime(samples.size() - lastFrames));
    // A device that stops draining must not hold the game for ever.
    SteadyTime giveUp = start + framesTime(samples.size()) + std::chrono::seconds(1);
    while (SDL_GetQueuedAudioSize(device) > 0 && Clock::now() < giveUp) {
        sleepTakingKeys(Clock::now() + std::chrono::milliseconds(2));
    }
    SDL_ClearQueuedAudio(device);
    sleepTakingKeys(Clock::now() + framesTime(lastFrames));
}

}  // namespace

void openSound()
{
    if (soundOpened) return;
    soundOpened = true;
    // SDL must leave Ctrl-C and the other signals to the console.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SilencedStderr silenced = silenceStderr();
    if (SDL_Init(0) == 0) {
        audioStarted = startDriver(nullptr) || startDriver("dummy");
        if (audioStarted) SDL_PauseAudioDevice(device, 0);
    }
    restoreStderr(silenced);
}

void closeSound()
{
    if (device != 0) SDL_CloseAudioDevice(device);
    device = 0;
    if (audioStarted) SDL_AudioQuit();
    audioStarted = false;
    SDL_Quit();
    loadedSounds.clear();
    soundOpened = false;
}

void playSound(const std::string& path)
{
    std::cout.flush();
    openSound();
    playToEnd(soundFor(path));
}
