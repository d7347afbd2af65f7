// The PulseAudio client side, on a main loop of our own that runs only while
// a sound plays: connect, play one stream per sound, drain it, wait out what
// the server still holds, close it.
#include "console/pulse_playback.h"

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <algorithm>

#include "console/posix_keyboard.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A local server answers in a millisecond or two; one silent for this long
// has stopped (a stopped process, a hung machine).
constexpr Clock::duration replyLimit = 300ms;
// Past its own length, how long a sound may take before the server counts as
// stalled; with the reply limits this keeps every call within length + 1 s.
constexpr Clock::duration lateLimit = 600ms;
constexpr Clock::duration latestEnd = 950ms;
constexpr Clock::duration quietAfterStall = 3s;
// How often the server is looked at while a reply is due: only around the
// start and the end of a sound.
constexpr Clock::duration pollStep = 1ms;
// The sound's last stretch is watched for the end, from this long before it.
constexpr Clock::duration watchBeforeEnd = 20ms;
// The latency asked of the server: its own buffer and the sink's together.
constexpr pa_usec_t targetLatency = 20000;

constexpr pa_sample_spec playingSpec{PA_SAMPLE_S16NE, soundRate, 1};

enum class Await { done, broken, late };

bool contextGood(const ServerLink& link)
{
    return link.context != nullptr && PA_CONTEXT_IS_GOOD(pa_context_get_state(link.context));
}

bool contextReady(const ServerLink& link)
{
    return link.context != nullptr && pa_context_get_state(link.context) == PA_CONTEXT_READY;
}

void dropContext(ServerLink& link)
{
    if (link.context == nullptr) return;
    pa_context_disconnect(link.context);
    pa_context_unref(link.context);
    link.context = nullptr;
}

// Sends what is queued for the server and takes in what it has sent.
void exchangeWithServer(ServerLink& link)
{
    while (pa_mainloop_iterate(link.loop, 0, nullptr) > 0) {}
}

// Runs the server's events until `done` holds, the connection breaks or the
// deadline passes; keys typed meanwhile are taken in.
template <typename Done>
Await awaitServer(ServerLink& link, SteadyTime deadline, Done done)
{
    for (;;) {
        exchangeWithServer(link);
        if (done()) return Await::done;
        if (!contextGood(link)) return Await::broken;
        SteadyTime now = Clock::now();
        if (now >= deadline) return Await::late;
        sleepTakingKeys(std::min(deadline, now + pollStep));
    }
}

// A server is never started on the game's behalf: one that is not running
// stays off, and the game plays without it.
Await connectServer(ServerLink& link)
{
    if (contextReady(link)) return Await::done;
    dropContext(link);
    if (link.loop == nullptr) link.loop = pa_mainloop_new();
    link.context = pa_context_new(pa_mainloop_get_api(link.loop), "Happy Koalas Hum");
    if (link.context == nullptr || pa_context_connect(link.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        dropContext(link);
        return Await::broken;
    }
    return awaitServer(link, Clock::now() + replyLimit, [&] { return contextReady(link); });
}

pa_stream* openStream(ServerLink& link)
{
    pa_stream* stream = pa_stream_new(link.context, "sound", &playingSpec, nullptr);
    if (stream == nullptr) return nullptr;
    pa_buffer_attr attributes;
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(targetLatency, &playingSpec));
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    if (pa_stream_connect_playback(stream, nullptr, &attributes, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0) {
        pa_stream_unref(stream);
        return nullptr;
    }
    return stream;
}

void setFlag(pa_stream*, int success, void* flag) { *static_cast<int*>(flag) = success ? 1 : -1; }

Await streamSettled(ServerLink& link, pa_stream* stream, SteadyTime deadline)
{
    Await result = awaitServer(link, deadline, [&] { return pa_stream_get_state(stream) != PA_STREAM_CREATING; });
    if (result == Await::done && pa_stream_get_state(stream) != PA_STREAM_READY) return Await::broken;
    return result;
}

// What the server still holds of the stream once it has taken all of it:
// the sink's own buffer, not yet heard.
Clock::duration heldBack(ServerLink& link, pa_stream* stream, SteadyTime deadline)
{
    int updated = 0;
    pa_operation* update = pa_stream_update_timing_info(stream, setFlag, &updated);
    if (update == nullptr) return {};
    Await result = awaitServer(link, deadline, [&] { return updated != 0; });
    pa_operation_unref(update);
    pa_usec_t latency = 0;
    int negative = 0;
    if (result != Await::done || pa_stream_get_latency(stream, &latency, &negative) < 0 || negative) return {};
    return std::chrono::microseconds(latency);
}

// Writes the whole sound, sleeps through most of it, then waits for the
// server to have played it to the last frame.
Await playStream(ServerLink& link, pa_stream* stream, const Samples& samples, SteadyTime callStart)
{
    const Clock::duration length = soundLength(samples.size());
    const SteadyTime written = Clock::now();
    const SteadyTime deadline = std::min(written + length + lateLimit, callStart + length + latestEnd);
    if (pa_stream_write(stream, samples.data(), samples.size() * sizeof(std::int16_t), nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        return Await::broken;
    }
    int drained = 0;
    pa_operation* drain = pa_stream_drain(stream, setFlag, &drained);
    if (drain == nullptr) return Await::broken;
    exchangeWithServer(link);
    sleepTakingKeys(written + length - watchBeforeEnd);
    Await result = awaitServer(link, deadline, [&] { return drained != 0; });
    pa_operation_unref(drain);
    if (result != Await::done) return result;
    sleepTakingKeys(std::min(Clock::now() + heldBack(link, stream, deadline), deadline));
    return Clock::now() < deadline ? Await::done : Await::late;
}

Await playThroughStream(ServerLink& link, const Samples& samples, SteadyTime callStart)
{
    pa_stream* stream = openStream(link);
    if (stream == nullptr) return Await::broken;
    Await result = streamSettled(link, stream, Clock::now() + replyLimit);
    if (result == Await::done) result = playStream(link, stream, samples, callStart);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    // The stream's end reaches the server now, not at the next sound.
    if (result == Await::done) exchangeWithServer(link);
    return result;
}

ServerResult giveUp(ServerLink& link, Await why)
{
    dropContext(link);
    if (why == Await::broken) return ServerResult::noServer;
    link.quietUntil = Clock::now() + quietAfterStall;
    return ServerResult::stalled;
}

}  // namespace

ServerResult playOnServer(ServerLink& link, const Samples& samples)
{
    const SteadyTime callStart = Clock::now();
    if (callStart < link.quietUntil) return ServerResult::stalled;
    Await result = connectServer(link);
    if (result == Await::done) result = playThroughStream(link, samples, callStart);
    if (result != Await::done) return giveUp(link, result);
    return ServerResult::played;
}

void closeServerLink(ServerLink& link)
{
    dropContext(link);
    if (link.loop != nullptr) pa_mainloop_free(link.loop);
    link = ServerLink{};
}
