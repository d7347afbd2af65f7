// Synchronous sound for the POSIX console: through the user's sound server
// when one answers the first sound, else through the sound device; each .wav
// read once, and a built-in chime for a file that cannot be played.
#include "console/posix_sound.h"

#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <map>
#include <string>

#include "console/console.h"
#include "console/posix_console.h"
#include "console/posix_keyboard.h"
#include "console/pulse_playback.h"
#include "console/sdl_playback.h"

namespace {

using Clock = std::chrono::steady_clock;

enum class SoundRoute { undecided, server, device };

// The sound layer's whole state; this file owns the one instance.
struct SoundState {
    SoundRoute route = SoundRoute::undecided;
    ServerLink server;
    SoundDevice device;
    std::map<std::string, Samples> loaded;  // an empty entry: the file cannot be played
};

SoundState theSound;

// The sound libraries print to stderr, right over the game's screen; their
// lines go nowhere while they work.
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

const Samples& defaultChime()
{
    static const Samples chime = synthesiseChime();
    return chime;
}

const Samples& soundFor(SoundState& sound, const std::string& path)
{
    auto found = sound.loaded.find(path);
    if (found == sound.loaded.end()) found = sound.loaded.emplace(path, loadSamples(nativePath(path))).first;
    return found->second.empty() ? defaultChime() : found->second;
}

// Through the server until none answered the first sound, else through the
// device. Without a server the sound still takes its length, so the game
// keeps its pace; a server that stopped answering has taken the player's time
// already.
void playThroughRoute(SoundState& sound, const Samples& samples)
{
    SteadyTime start = Clock::now();
    if (sound.route != SoundRoute::device) {
        ServerResult result = playOnServer(sound.server, samples);
        if (sound.route == SoundRoute::undecided) {
            sound.route = result == ServerResult::noServer ? SoundRoute::device : SoundRoute::server;
        }
        if (result != ServerResult::noServer) return;
        if (sound.route == SoundRoute::server) return sleepTakingKeys(start + soundLength(samples.size()));
    }
    openSoundDevice(sound.device);
    playOnDevice(sound.device, samples);
}

// A pause that caught up with the turn's time must not cut the silence since
// the last sound: the sound waits for the rest of it, and the turn stays
// that much behind.
void keepSilenceWhole(GamePace& pace)
{
    if (pace.lastSoundEnd == SteadyTime{}) return;
    const SteadyTime start = Clock::now();
    sleepTakingKeys(pace.lastSoundEnd + pace.pausedSinceSound);
    countLateness(pace, start, pace.behind + (Clock::now() - start));
}

}  // namespace

void playSound(const std::string& path)
{
    std::cout.flush();
    GamePace& pace = posixConsole().pace;
    keepSilenceWhole(pace);
    SilencedStderr silenced = silenceStderr();
    const Samples& samples = soundFor(theSound, path);
    const SteadyTime start = Clock::now();
    playThroughRoute(theSound, samples);
    const SteadyTime end = Clock::now();
    restoreStderr(silenced);
    // A sound cut short by a stalled server puts the turn ahead; pauses are
    // never made longer for it.
    countLateness(pace, start, pace.behind + (end - start) - soundLength(samples.size()));
    pace.lastSoundEnd = end;
    pace.pausedSinceSound = {};
}

void endSoundRun() { endSoundRun(theSound.server); }

void closeSound()
{
    closeServerLink(theSound.server);
    closeSoundDevice(theSound.device);
    theSound = SoundState{};
}
