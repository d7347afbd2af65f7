// The PulseAudio client side, on a main loop of our own that runs only while
// a sound plays: connect, open a stream for a run of sounds, write each sound
// and wait on the server's clock until its last frame has played.
#include "console/pulse_playback.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <algorithm>
#include <cstring>

#include "console/posix_keyboard.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A local server answers in a millisecond or two; one silent for this long
// has stopped (a stopped process, a hung machine).
constexpr Clock::duration replyLimit = 300ms;
// Past its own length, how long a sound may take before the server counts as
// stalled: with the reply limit, every call ends within its length and 1 s.
constexpr Clock::duration latestEnd = 700ms;
constexpr Clock::duration quietAfterStall = 3s;
constexpr Clock::duration pollStep = 1ms;
// While a sound plays the server is asked where it is this often, so a server
// that stops is noticed within a fraction of a second.
constexpr Clock::duration checkStep = 250ms;
// The latency asked of the server: its own buffer and the sink's together.
constexpr pa_usec_t targetLatency = 10000;
// Silence after each sound, so that a resampling server lets the sound's last
// frames out of its filter, and a server that takes a stream in whole periods
// (PipeWire) takes the sound's last frames. It is the gap between two sounds.
constexpr std::size_t trailingFrames = soundRate * 8 / 1000;
// A stream that starts, or has run dry, is held while the sound goes in and
// then let go: the sink rewinds over what it had mixed ahead, and PulseAudio
// loses as much of what comes first (the sink's share of the latency,
// 2.5 ms). Silence goes first then, and takes the loss.
constexpr std::size_t dryLeadInFrames = soundRate * 5 / 1000;
// A sound goes in where the server reads, and PipeWire reads on while it
// goes in: a period it finds short it skips whole, and the frames written
// into it meanwhile are never heard (a sound's first 5.3 ms, or scraps of
// it). Silence a period long goes first there and takes that, with a few
// frames more, as a resampling server's period may be a frame longer.
constexpr std::size_t leadInPastPeriod = soundRate / 4000;
// The server takes a stream's frames that long before they are heard, with
// room: a stream with less than this left to play has run dry there.
constexpr Clock::duration mixedAhead = 4ms;

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
    endSoundRun(link);
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

struct ServerAnswer {
    ServerLink* link;
    bool answered = false;
};

void noteServer(pa_context*, const pa_server_info* info, void* answer)
{
    auto* noted = static_cast<ServerAnswer*>(answer);
    noted->answered = true;
    const char* name = info != nullptr ? info->server_name : nullptr;
    noted->link->readsWhileWriting = name == nullptr || std::strstr(name, "PipeWire") != nullptr;
}

// Whose server it is: PipeWire's reads a stream while a write goes in.
Await learnServer(ServerLink& link)
{
    ServerAnswer answer{&link};
    pa_operation* asked = pa_context_get_server_info(link.context, noteServer, &answer);
    if (asked == nullptr) return Await::broken;
    Await result = awaitServer(link, Clock::now() + replyLimit, [&] { return answer.answered; });
    // An answer after the wait must not write to `answer`, gone by then.
    if (!answer.answered) pa_operation_cancel(asked);
    pa_operation_unref(asked);
    return result;
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
    Await result = awaitServer(link, Clock::now() + replyLimit, [&] { return contextReady(link); });
    if (result != Await::done) return result;
    return learnServer(link);
}

Await openStream(ServerLink& link)
{
    if (link.stream != nullptr) return Await::done;
    link.stream = pa_stream_new(link.context, "sound", &playingSpec, nullptr);
    if (link.stream == nullptr) return Await::broken;
    const auto serverChooses = static_cast<std::uint32_t>(-1);
    // No prebuffering: a server that takes whole periods (PipeWire) would
    // hold back a sound's last part that does not fill one, until more came.
    const std::uint32_t noPrebuffer = 0;
    const pa_buffer_attr attributes{serverChooses,
                                    static_cast<std::uint32_t>(pa_usec_to_bytes(targetLatency, &playingSpec)),
                                    noPrebuffer, serverChooses, serverChooses};
    // The clock runs on between the server's answers: PipeWire tells where a
    // stream stands only as of its last period, up to 5 ms back.
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING);
    if (pa_stream_connect_playback(link.stream, nullptr, &attributes, flags, nullptr, nullptr) < 0) {
        return Await::broken;
    }
    pa_stream* stream = link.stream;
    Await result = awaitServer(link, Clock::now() + replyLimit,
                               [&] { return pa_stream_get_state(stream) != PA_STREAM_CREATING; });
    if (result == Await::done && pa_stream_get_state(stream) != PA_STREAM_READY) return Await::broken;
    return result;
}

void setFlag(pa_stream*, int success, void* flag) { *static_cast<int*>(flag) = success ? 1 : -1; }

// Asks the server where the stream stands; the answer is the stream's timing.
Await updateTiming(ServerLink& link)
{
    int updated = 0;
    pa_operation* update = pa_stream_update_timing_info(link.stream, setFlag, &updated);
    if (update == nullptr) return Await::broken;
    Await result = awaitServer(link, Clock::now() + replyLimit, [&] { return updated != 0; });
    pa_operation_unref(update);
    return result == Await::done && updated < 0 ? Await::broken : result;
}

// Sleeps until the server has taken the sound's last frame, asking it where
// the stream stands on the way. On a server that reads while a write goes in
// (PipeWire), that is the sound's end for the game: the frame is in the
// server's graph, and the next sound, written where the server reads after
// its lead-in, is heard after the last one's end. Elsewhere the stream's
// clock must also have passed the end of what was written, less the silence
// after it; a server that plays in whole periods may stop its clock a little
// short: once it has taken the last frame, the sink's latency later it has
// played it.
Await awaitEnd(ServerLink& link, SteadyTime deadline)
{
    const pa_timing_info* timing = pa_stream_get_timing_info(link.stream);
    if (timing == nullptr) return Await::broken;
    const std::int64_t endIndex = timing->write_index - static_cast<std::int64_t>(trailingFrames * sizeof(std::int16_t));
    const pa_usec_t end = pa_bytes_to_usec(static_cast<std::uint64_t>(endIndex), &playingSpec);
    SteadyTime heardBy = SteadyTime::max();
    for (;;) {
        pa_usec_t played = 0;
        if (pa_stream_get_time(link.stream, &played) < 0) return Await::broken;
        SteadyTime now = Clock::now();
        const bool taken = timing->read_index >= endIndex;
        if (taken && heardBy == SteadyTime::max()) {
            heardBy = now + std::chrono::microseconds(timing->sink_usec + timing->transport_usec);
        }
        if ((taken && (link.readsWhileWriting || played >= end)) || now >= heardBy) return Await::done;
        if (now >= deadline) return Await::late;
        // The server takes a frame the sink's latency before the clock reaches it.
        const pa_usec_t takenBy = link.readsWhileWriting ? played + timing->sink_usec : played;
        const auto untilEnd = takenBy >= end ? pollStep : std::chrono::microseconds(end - takenBy);
        sleepTakingKeys(std::min({now + untilEnd, heardBy, now + checkStep, deadline}));
        Await result = updateTiming(link);
        if (result != Await::done) return result;
    }
}

// Corks or uncorks the stream; the server takes it in order with the writes.
void holdStream(ServerLink& link, bool held)
{
    if (pa_operation* cork = pa_stream_cork(link.stream, held ? 1 : 0, nullptr, nullptr)) pa_operation_unref(cork);
}

// Silence to go before a sound: on a server that reads while a write goes
// in, its period (what it reads at a time, its minimum request) and more;
// on a dry stream, what PulseAudio loses on starting.
std::size_t leadInFrames(const ServerLink& link, bool dry)
{
    const pa_buffer_attr* attributes = pa_stream_get_buffer_attr(link.stream);
    const std::size_t period = attributes != nullptr ? attributes->minreq / sizeof(std::int16_t) : 0;
    const std::size_t racing = link.readsWhileWriting ? period + leadInPastPeriod : 0;
    return std::max(racing, dry ? dryLeadInFrames : std::size_t{0});
}

// Writes the sound where the server reads, after silence, and waits for its
// end. It goes in one write, so the server never finds the silence alone.
Await playStream(ServerLink& link, const Samples& samples, SteadyTime callStart)
{
    const SteadyTime deadline = callStart + soundLength(samples.size()) + latestEnd;
    const bool dry = Clock::now() + mixedAhead >= link.fedUntil;
    Samples written(leadInFrames(link, dry));
    written.insert(written.end(), samples.begin(), samples.end());
    written.insert(written.end(), trailingFrames, 0);
    // A server that takes whole periods has taken silence past what it was
    // given, and keeps its read point there: what follows goes right after
    // it, never behind it where it would not be heard.
    if (dry) holdStream(link, true);
    if (pa_stream_write(link.stream, written.data(), written.size() * sizeof(std::int16_t), nullptr, 0,
                        PA_SEEK_RELATIVE_ON_READ) < 0) {
        return Await::broken;
    }
    if (dry) holdStream(link, false);
    Await result = updateTiming(link);
    if (result == Await::done) result = awaitEnd(link, deadline);
    link.fedUntil = Clock::now() + soundLength(trailingFrames);
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
    if (result == Await::done) result = openStream(link);
    if (result == Await::done) result = playStream(link, samples, callStart);
    if (result != Await::done) return giveUp(link, result);
    return ServerResult::played;
}

void endSoundRun(ServerLink& link)
{
    if (link.stream == nullptr) return;
    pa_stream_disconnect(link.stream);
    pa_stream_unref(link.stream);
    link.stream = nullptr;
    // The stream's end reaches the server now, not at the next sound.
    if (contextGood(link)) exchangeWithServer(link);
}

void closeServerLink(ServerLink& link)
{
    dropContext(link);
    if (link.loop != nullptr) pa_mainloop_free(link.loop);
    link = ServerLink{};
}
