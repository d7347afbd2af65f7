// Turns the bytes a terminal sends into keys as the Windows console reports
// them: characters as typed, and keys without a character (arrows, function
// keys, Insert, Delete...) as a prefix 0 or 224 and a scan code. The keypad
// gives its characters and Enter in either keypad mode; mouse reports are
// not keys and are dropped.
//
// A terminal sends Escape as the single byte 27, but also starts every key
// sequence with it, so a 27 stays pending until the next byte decides: the
// keyboard ends the wait with endPendingSequence when nothing more has come
// within about 50 ms.
#pragma once

#include <cstddef>
#include <deque>

#include "console/key.h"

inline constexpr int escapeSequenceWaitMilliseconds = 50;

struct KeyDecoder {
    static constexpr std::size_t sequenceLimit = 16;
    unsigned char sequence[sequenceLimit] = {};  // the escape sequence so far, from its 27
    std::size_t sequenceLength = 0;
    bool sequenceTooLong = false;  // bytes were dropped: the sequence is swallowed at its end
    int mouseBytesLeft = 0;        // raw bytes still due of an old-style mouse report (ESC [ M)
    std::deque<Key> keys;          // decoded keys not yet taken, oldest first
};

// Takes one byte from the terminal.
void feedByte(KeyDecoder& decoder, unsigned char byte);

// No further byte came in time: a lone 27 is Escape, ESC and '[' or 'O' is
// Alt with that key, and anything else pending is dropped.
void endPendingSequence(KeyDecoder& decoder);

// Whether a sequence is pending, so the keyboard should wait a little for
// its next byte before calling endPendingSequence.
bool awaitsMoreBytes(const KeyDecoder& decoder);

// Hands out the oldest decoded key; false when there is none.
bool takeKey(KeyDecoder& decoder, Key& key);
