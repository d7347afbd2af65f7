// Playback through SDL2's queue, for machines without a sound server.
#include "console/sdl_playback.h"

#include <SDL.h>

#include "console/posix_keyboard.h"

namespace {

using Clock = std::chrono::steady_clock;

// The device takes 512 frames (23 ms) at a time. A sound starts with the
// device's next buffer, half a buffer after it is queued on average; smaller
// buffers start sounds sooner, but wake the audio thread more often.
constexpr std::size_t bufferFrames = 512;

SDL_AudioDeviceID openDevice()
{
    SDL_AudioSpec wanted{};
    wanted.freq = soundRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = static_cast<Uint16>(bufferFrames);
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
}

bool startDriver(SoundDevice& sound, const char* driver)
{
    if (SDL_AudioInit(driver) != 0) return false;
    sound.device = openDevice();
    if (sound.device != 0) return true;
    SDL_AudioQuit();
    return false;
}

}  // namespace

void openSoundDevice(SoundDevice& sound)
{
    if (sound.opened) return;
    sound.opened = true;
    // SDL must leave Ctrl-C and the other signals to the console. Where no
    // server answered, SDL's own server drivers would not either: ALSA
    // directly, unless SDL_AUDIODRIVER names another.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "alsa", SDL_HINT_DEFAULT);
    if (SDL_Init(0) != 0) return;
    sound.driverStarted = startDriver(sound, nullptr) || startDriver(sound, "dummy");
    if (sound.driverStarted) SDL_PauseAudioDevice(sound.device, 0);
    const char* driver = sound.driverStarted ? SDL_GetCurrentAudioDriver() : "";
    sound.silent = SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "disk") == 0;
}

void closeSoundDevice(SoundDevice& sound)
{
    if (sound.silent) return;
    if (sound.device != 0) SDL_CloseAudioDevice(sound.device);
    if (sound.driverStarted) SDL_AudioQuit();
    SDL_Quit();
    sound = SoundDevice{};
}

// Queues the sound and sleeps its length; a device that is slower to take
// its buffers than the clock (SDL's silent driver is) is waited for until it
// has taken the last of them, so sounds never pile up in the queue.
void playOnDevice(SoundDevice& sound, const Samples& samples)
{
    const SteadyTime end = Clock::now() + soundLength(samples.size());
    if (sound.device != 0) SDL_QueueAudio(sound.device, samples.data(), static_cast<Uint32>(samples.size() * 2));
    sleepTakingKeys(end);
    // A device that stops draining must not hold the game for ever.
    while (sound.device != 0 && SDL_GetQueuedAudioSize(sound.device) > 0) {
        if (Clock::now() >= end + std::chrono::seconds(1)) {
            SDL_ClearQueuedAudio(sound.device);
            return;
        }
        sleepTakingKeys(Clock::now() + std::chrono::milliseconds(1));
    }
}
