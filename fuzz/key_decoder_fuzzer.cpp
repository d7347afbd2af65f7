// The key decoder over arbitrary bytes, with silences between them and keys
// taken at arbitrary moments. After every step a pending sequence fits its
// buffer and a silence settles it; every key is a code 0 to 255, or a prefix
// 0 or 224 with a scan code 1 to 255; no byte brings more than one key (a
// second 27 may settle one more); and until the first 27 every byte comes
// out as typed, one key each (DEL as Backspace, either line end as Enter).
// Input: pairs of bytes, the byte the terminal sends and what follows it:
// its low two bits say nothing, a silence, one key taken or every key taken.
#include <cstdint>
#include <deque>

#include "console/key_decoder.h"
#include "fuzz/property.h"

namespace {

struct Run {
    KeyDecoder decoder;
    std::size_t bytesAndEscapes = 0, keysTaken = 0;
    bool sawEscape = false;
    std::deque<int> plainKeysDue;  // the keys the bytes before the first 27 must give
};

void takeKeys(Run& run, std::size_t most)
{
    Key key;
    for (std::size_t taken = 0; taken < most && takeKey(run.decoder, key); ++taken, ++run.keysTaken) {
        if (isTwoCodeKey(key)) check((key.code == 0 || key.code == 224) && key.second >= 1 && key.second <= 255, "a two-code key out of range");
        else check(key.code >= 0 && key.code <= 255, "a character code out of range");
        if (run.plainKeysDue.empty()) continue;
        check(!isTwoCodeKey(key) && key.code == run.plainKeysDue.front(), "a plain byte changed on its way");
        run.plainKeysDue.pop_front();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Run run;
    for (std::size_t at = 0; at + 1 < size; at += 2) {
        const std::uint8_t byte = data[at];
        run.sawEscape |= byte == 27;
        run.bytesAndEscapes += byte == 27 ? 2 : 1;
        if (!run.sawEscape) run.plainKeysDue.push_back(byte == 127 ? 8 : byte == '\n' ? 13 : byte);
        feedByte(run.decoder, byte);
        const int after = data[at + 1] & 3;
        if (after == 1 && awaitsMoreBytes(run.decoder)) endPendingSequence(run.decoder);
        check(after != 1 || !awaitsMoreBytes(run.decoder), "a silence left a sequence pending");
        if (after >= 2) takeKeys(run, after == 2 ? 1 : SIZE_MAX);
        check(run.decoder.sequenceLength <= KeyDecoder::sequenceLimit, "a sequence past its buffer");
        check(run.keysTaken + run.decoder.keys.size() <= run.bytesAndEscapes, "more keys than bytes");
    }
    if (awaitsMoreBytes(run.decoder)) endPendingSequence(run.decoder);
    takeKeys(run, SIZE_MAX);
    check(run.plainKeysDue.empty(), "a typed byte was lost");
    return 0;
}
