// The key decoder over arbitrary bytes, with arbitrary silences between them
// and keys taken at arbitrary moments. After every step:
// - a pending sequence never outgrows its buffer, and a silence always
//   settles it: nothing is pending afterwards;
// - every key is a character code 0 to 255, or a prefix 0 or 224 with a scan
//   code 1 to 255;
// - no byte brings more than one key, plus one for the Escape a second 27
//   settles;
// - bytes typed without any 27 come out exactly as typed, one key each (DEL
//   as Backspace, line feed and return as Enter).
//
// Input: pairs of bytes, the byte the terminal sends and what follows it:
// its low two bits say nothing, a silence, one key taken or every key taken.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "console/key_decoder.h"

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "key decoder: %s\n", what);
    std::abort();
}

int plainKeyOf(std::uint8_t byte)
{
    if (byte == 127) return 8;
    if (byte == '\n' || byte == '\r') return 13;
    return byte;
}

struct Run {
    KeyDecoder decoder;
    std::size_t bytesFed = 0;
    std::size_t escapesFed = 0;
    std::size_t keysTaken = 0;
    bool sawEscape = false;
    std::vector<int> expectedPlainKeys;  // while no 27 has come
    std::size_t plainKeysTaken = 0;
};

void checkKey(Run& run, const Key& key)
{
    if (isTwoCodeKey(key)) {
        if (key.code != 0 && key.code != 224) fail("a two-code key with a prefix other than 0 or 224");
        if (key.second < 1 || key.second > 255) fail("a scan code outside 1 to 255");
    } else if (key.code < 0 || key.code > 255) {
        fail("a character code outside 0 to 255");
    }
    if (!run.sawEscape) {
        if (isTwoCodeKey(key)) fail("a two-code key from bytes without an escape");
        if (run.plainKeysTaken >= run.expectedPlainKeys.size()) fail("a key no byte was typed for");
        if (key.code != run.expectedPlainKeys[run.plainKeysTaken]) fail("a plain byte changed on its way");
        ++run.plainKeysTaken;
    }
    ++run.keysTaken;
}

void takeKeys(Run& run, std::size_t most)
{
    Key key;
    for (std::size_t taken = 0; taken < most && takeKey(run.decoder, key); ++taken) checkKey(run, key);
}

void checkDecoder(const Run& run)
{
    if (run.decoder.sequenceLength > KeyDecoder::sequenceLimit) fail("a sequence past its buffer");
    if (run.keysTaken + run.decoder.keys.size() > run.bytesFed + run.escapesFed) fail("more keys than bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Run run;
    for (std::size_t at = 0; at + 1 < size; at += 2) {
        const std::uint8_t byte = data[at];
        const int after = data[at + 1] & 3;
        if (byte == 27) {
            run.sawEscape = true;
            ++run.escapesFed;
        }
        if (!run.sawEscape) run.expectedPlainKeys.push_back(plainKeyOf(byte));
        feedByte(run.decoder, byte);
        ++run.bytesFed;
        checkDecoder(run);
        switch (after) {
        case 1:
            if (awaitsMoreBytes(run.decoder)) endPendingSequence(run.decoder);
            if (awaitsMoreBytes(run.decoder)) fail("a silence left a sequence pending");
            break;
        case 2:
            takeKeys(run, 1);
            break;
        case 3:
            takeKeys(run, static_cast<std::size_t>(-1));
            break;
        default:
            break;
        }
        checkDecoder(run);
    }
    if (awaitsMoreBytes(run.decoder)) endPendingSequence(run.decoder);
    takeKeys(run, static_cast<std::size_t>(-1));
    if (!run.sawEscape && run.plainKeysTaken != run.expectedPlainKeys.size()) fail("a typed byte was lost");
    return 0;
}
