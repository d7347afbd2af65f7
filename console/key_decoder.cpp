#include "console/key_decoder.h"

#include <cstring>

namespace {

constexpr unsigned char escapeByte = 27;

// A key without a character: its prefix and scan code, and the code it has
// with Ctrl held where the Windows console gives one (else -1).
struct NamedKey {
    int prefix;
    int plain;
    int withCtrl;
};

constexpr NamedKey upKey{224, 72, 141};
constexpr NamedKey downKey{224, 80, 145};
constexpr NamedKey rightKey{224, 77, 116};
constexpr NamedKey leftKey{224, 75, 115};
constexpr NamedKey homeKey{224, 71, 119};
constexpr NamedKey endKey{224, 79, 117};
constexpr NamedKey insertKey{224, 82, -1};
constexpr NamedKey deleteKey{224, 83, -1};
constexpr NamedKey pageUpKey{224, 73, -1};
constexpr NamedKey pageDownKey{224, 81, -1};
constexpr NamedKey f1Key{0, 59, -1};
constexpr NamedKey f2Key{0, 60, -1};
constexpr NamedKey f3Key{0, 61, -1};
constexpr NamedKey f4Key{0, 62, -1};
constexpr NamedKey f5Key{0, 63, -1};
constexpr NamedKey f6Key{0, 64, -1};
constexpr NamedKey f7Key{0, 65, -1};
constexpr NamedKey f8Key{0, 66, -1};
constexpr NamedKey f9Key{0, 67, -1};
constexpr NamedKey f10Key{0, 68, -1};
constexpr NamedKey f11Key{224, 133, -1};
constexpr NamedKey f12Key{224, 134, -1};

// Sequences ending in a letter: ESC [ A, ESC O A, ESC [ 1 ; 5 A...
struct LetterKey {
    unsigned char letter;
    NamedKey key;
};
constexpr LetterKey letterKeys[] = {
    {'A', upKey},   {'B', downKey}, {'C', rightKey}, {'D', leftKey}, {'H', homeKey},
    {'F', endKey},  {'P', f1Key},   {'Q', f2Key},    {'R', f3Key},   {'S', f4Key},
    // rxvt's modified arrows: Shift after ESC [, Ctrl after ESC O
    {'a', upKey},   {'b', downKey}, {'c', rightKey}, {'d', leftKey},
};

// Sequences ending in a tilde: ESC [ 3 ~, ESC [ 15 ; 5 ~...
struct NumberKey {
    int number;
    NamedKey key;
};
constexpr NumberKey numberKeys[] = {
    {1, homeKey},   {2, insertKey}, {3, deleteKey}, {4, endKey},    {5, pageUpKey},
    {6, pageDownKey}, {7, homeKey}, {8, endKey},    {11, f1Key},    {12, f2Key},
    {13, f3Key},    {14, f4Key},    {15, f5Key},    {17, f6Key},    {18, f7Key},
    {19, f8Key},    {20, f9Key},    {21, f10Key},   {23, f11Key},   {24, f12Key},
};

// The keypad in application mode: ESC O and a letter for each key.
struct KeypadKey {
    unsigned char letter;
    int code;
};
constexpr KeypadKey keypadKeys[] = {
    {'M', 13},  {'X', '='}, {'j', '*'}, {'k', '+'}, {'l', ','}, {'m', '-'}, {'n', '.'}, {'o', '/'},
    {'p', '0'}, {'q', '1'}, {'r', '2'}, {'s', '3'}, {'t', '4'}, {'u', '5'}, {'v', '6'}, {'w', '7'},
    {'x', '8'}, {'y', '9'},
};

// An old-style mouse report: ESC [ M and three raw bytes (button, column, row).
constexpr int mouseReportBytes = 3;

// The Linux console's function keys: ESC [ [ A to ESC [ [ E.
constexpr NamedKey linuxFunctionKeys[] = {f1Key, f2Key, f3Key, f4Key, f5Key};

// Alt with a character key gives 0 and the scan code of that key (Alt+A is
// 0, 30), shifted or not. Each row of the keyboard, from its first scan code.
struct KeyboardRow {
    int firstScanCode;
    const char* plain;
    const char* shifted;
};
constexpr KeyboardRow keyboardRows[] = {
    {2, "1234567890-=", "!@#$%^&*()_+"},
    {16, "qwertyuiop[]", "QWERTYUIOP{}"},
    {30, "asdfghjkl;'`", "ASDFGHJKL:\"~"},
    {43, "\\zxcvbnm,./", "|ZXCVBNM<>?"},
    {57, " ", " "},
};

int scanCodeOf(unsigned char character)
{
    for (const KeyboardRow& row : keyboardRows) {
        for (const char* keys : {row.plain, row.shifted}) {
            const char* found = std::strchr(keys, character);
            if (found != nullptr && character != 0) return row.firstScanCode + static_cast<int>(found - keys);
        }
    }
    return -1;
}

bool isPrintable(unsigned char byte) { return byte >= 32 && byte < 127; }
bool isFinalByte(unsigned char byte) { return byte >= 0x40 && byte <= 0x7E; }
bool isSequenceByte(unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; }

void addKey(KeyDecoder& decoder, Key key) { decoder.keys.push_back(key); }

void addNamedKey(KeyDecoder& decoder, const NamedKey& key, bool ctrlHeld)
{
    int code = (ctrlHeld && key.withCtrl >= 0) ? key.withCtrl : key.plain;
    addKey(decoder, Key{key.prefix, code});
}

void addAltKey(KeyDecoder& decoder, unsigned char character)
{
    int scanCode = scanCodeOf(character);
    if (scanCode >= 0) addKey(decoder, Key{0, scanCode});
}

void forgetSequence(KeyDecoder& decoder)
{
    decoder.sequenceLength = 0;
    decoder.sequenceTooLong = false;
    decoder.mouseBytesLeft = 0;
}

// The numbers between the introducer and the final byte, "15;5" giving 15
// and 5; a missing number is 1. False for anything but digits and ';'.
bool readParameters(const unsigned char* text, std::size_t length, int& first, int& modifier)
{
    int numbers[2] = {0, 0};
    bool given[2] = {false, false};
    std::size_t index = 0;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char byte = text[i];
        if (byte == ';') {
            if (++index > 1) return false;
        } else if (byte >= '0' && byte <= '9') {
            if (numbers[index] > 999) return false;
            numbers[index] = numbers[index] * 10 + (byte - '0');
            given[index] = true;
        } else {
            return false;
        }
    }
    first = given[0] ? numbers[0] : 1;
    modifier = given[1] ? numbers[1] : 1;
    return true;
}

// The modifier parameter is 1 plus a bit mask: 1 Shift, 2 Alt, 4 Ctrl.
bool holdsCtrl(int modifier) { return modifier >= 1 && ((modifier - 1) & 4) != 0; }

const NamedKey* letterKey(unsigned char letter)
{
    for (const LetterKey& entry : letterKeys) {
        if (entry.letter == letter) return &entry.key;
    }
    return nullptr;
}

const NamedKey* numberKey(int number)
{
    for (const NumberKey& entry : numberKeys) {
        if (entry.number == number) return &entry.key;
    }
    return nullptr;
}

bool decodeKeypadKey(KeyDecoder& decoder, unsigned char letter)
{
    for (const KeypadKey& entry : keypadKeys) {
        if (entry.letter != letter) continue;
        addKey(decoder, Key{entry.code, -1});
        return true;
    }
    return false;
}

// A whole sequence has arrived: ESC, '[' or 'O', parameters, final byte.
void decodeSequence(KeyDecoder& decoder)
{
    const unsigned char* text = decoder.sequence;
    std::size_t length = decoder.sequenceLength;
    bool singleShift = text[1] == 'O';
    unsigned char final = text[length - 1];
    if (decoder.sequenceTooLong) return;
    if (singleShift && length == 3 && decodeKeypadKey(decoder, final)) return;
    if (!singleShift && length == 4 && text[2] == '[') {
        if (final >= 'A' && final <= 'E') addNamedKey(decoder, linuxFunctionKeys[final - 'A'], false);
        return;
    }
    int first = 1;
    int modifier = 1;
    if (!readParameters(text + 2, length - 3, first, modifier)) return;
    if (final == '~' || final == '^' || final == '$' || final == '@') {
        const NamedKey* key = singleShift ? nullptr : numberKey(first);
        bool ctrl = holdsCtrl(modifier) || final == '^' || final == '@';
        if (key != nullptr) addNamedKey(decoder, *key, ctrl);
        return;
    }
    const NamedKey* key = letterKey(final);
    if (key == nullptr || first != 1) return;
    bool rxvtCtrl = singleShift && final >= 'a' && final <= 'd';
    addNamedKey(decoder, *key, holdsCtrl(modifier) || rxvtCtrl);
}

// A byte outside any sequence.
void decodePlainByte(KeyDecoder& decoder, unsigned char byte)
{
    switch (byte) {
    case escapeByte:
        decoder.sequence[0] = byte;
        decoder.sequenceLength = 1;
        return;
    case 127:  // the terminal's Backspace
        addKey(decoder, Key{8, -1});
        return;
    case '\r':
    case '\n':
        addKey(decoder, Key{13, -1});
        return;
    default:
        addKey(decoder, Key{byte, -1});
    }
}

// The byte after a lone ESC: a sequence introducer, Alt with a key, or the
// start of something new.
void decodeAfterEscape(KeyDecoder& decoder, unsigned char byte)
{
    if (byte == '[' || byte == 'O') {
        decoder.sequence[decoder.sequenceLength++] = byte;
        return;
    }
    forgetSequence(decoder);
    if (byte == escapeByte) {
        // Escape pressed twice: the first one stands alone.
        addKey(decoder, Key{27, -1});
        decodePlainByte(decoder, byte);
        return;
    }
    if (isPrintable(byte)) addAltKey(decoder, byte);
    // Alt with a control key or a non-ASCII byte is dropped.
}

void decodeInsideSequence(KeyDecoder& decoder, unsigned char byte)
{
    if (decoder.mouseBytesLeft > 0) {
        if (--decoder.mouseBytesLeft == 0) forgetSequence(decoder);
        return;
    }
    if (decoder.sequenceLength == 2 && decoder.sequence[1] == '[' && byte == 'M') {
        decoder.sequence[decoder.sequenceLength++] = byte;
        decoder.mouseBytesLeft = mouseReportBytes;
        return;
    }
    if (!isSequenceByte(byte)) {
        // A broken sequence is dropped whole; this byte is judged afresh.
        forgetSequence(decoder);
        decodePlainByte(decoder, byte);
        return;
    }
    if (decoder.sequenceLength < KeyDecoder::sequenceLimit) {
        decoder.sequence[decoder.sequenceLength++] = byte;
    } else {
        decoder.sequenceTooLong = true;
    }
    bool linuxFunctionPrefix = decoder.sequenceLength == 3 && decoder.sequence[1] == '[' && byte == '[';
    if (isFinalByte(byte) && !linuxFunctionPrefix) {
        decodeSequence(decoder);
        forgetSequence(decoder);
    }
}

}  // namespace

void feedByte(KeyDecoder& decoder, unsigned char byte)
{
    if (decoder.sequenceLength == 0) {
        decodePlainByte(decoder, byte);
    } else if (decoder.sequenceLength == 1) {
        decodeAfterEscape(decoder, byte);
    } else {
        decodeInsideSequence(decoder, byte);
    }
}

void endPendingSequence(KeyDecoder& decoder)
{
    if (decoder.sequenceLength == 1) {
        addKey(decoder, Key{27, -1});
    } else if (decoder.sequenceLength == 2) {
        addAltKey(decoder, decoder.sequence[1]);
    }
    forgetSequence(decoder);
}

bool awaitsMoreBytes(const KeyDecoder& decoder) { return decoder.sequenceLength > 0; }

bool takeKey(KeyDecoder& decoder, Key& key)
{
    if (decoder.keys.empty()) return false;
    key = decoder.keys.front();
    decoder.keys.pop_front();
    return true;
}
