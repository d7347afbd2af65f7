// Playback through the user's sound server: PulseAudio, or PipeWire through
// its PulseAudio service. A run of back-to-back sounds goes into one stream,
// each sound written after the one before, so nothing comes between them;
// the server's clock tells when a sound has played to its last frame, or
// PipeWire's graph has taken it. The stream is closed before the game waits
// for a key, and between sounds nothing of the game runs.
#pragma once

#include <chrono>

#include "console/sound_samples.h"

struct pa_mainloop;
struct pa_context;
struct pa_stream;

struct ServerLink {
    pa_mainloop* loop = nullptr;  // run only while a sound plays, on the game's thread
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;  // open through a run of sounds
    // The server reads a stream on while a write goes in (PipeWire's
    // PulseAudio service); PulseAudio takes a write and reads in one thread.
    bool readsWhileWriting = true;
    std::chrono::steady_clock::time_point fedUntil{};  // when the stream runs out of what was written
    // A server that stopped answering is left alone until then.
    std::chrono::steady_clock::time_point quietUntil{};
};

enum class ServerResult {
    played,    // the server has played the last frame, or taken it into its graph
    noServer,  // no server answered, or it went away: nothing was heard
    stalled,   // the server stopped answering and was let go
};

// Connects first if need be. Takes typed keys in while it waits, and returns
// within the sound's length and a second, whatever the server does.
ServerResult playOnServer(ServerLink& link, const Samples& samples);

// Closes the run's stream; its sounds have all been heard.
void endSoundRun(ServerLink& link);

void closeServerLink(ServerLink& link);
