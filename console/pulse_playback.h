// Playback through the user's sound server: PulseAudio, or PipeWire through
// its PulseAudio service. The server tells when it has played a sound, so
// each sound plays whole and the next starts as soon as it has ended; between
// sounds the game holds no stream, and nothing of it runs.
#pragma once

#include <chrono>

#include "console/sound_samples.h"

struct pa_mainloop;
struct pa_context;

struct ServerLink {
    pa_mainloop* loop = nullptr;  // run only while a sound plays, on the game's thread
    pa_context* context = nullptr;
    // A server that stopped answering is left alone until then.
    std::chrono::steady_clock::time_point quietUntil{};
};

enum class ServerResult {
    played,    // the server has played the last frame
    noServer,  // no server answered, or it went away: nothing was heard
    stalled,   // the server stopped answering and was let go
};

// Connects first if need be. Takes typed keys in while it waits, and returns
// within the sound's length and a second, whatever the server does.
ServerResult playOnServer(ServerLink& link, const Samples& samples);

void closeServerLink(ServerLink& link);
