#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "console/key_decoder.h"

namespace {

// The codes the game would read, one per readKey, for these bursts of
// bytes: the bytes of one burst arrive together, and a silence longer than
// the escape wait follows each burst.
std::vector<int> codesFromBursts(const std::vector<std::string>& bursts)
{
    KeyDecoder decoder;
    std::vector<int> codes;
    for (const std::string& burst : bursts) {
        for (char byte : burst) feedByte(decoder, static_cast<unsigned char>(byte));
        if (awaitsMoreBytes(decoder)) endPendingSequence(decoder);
        Key key;
        while (takeKey(decoder, key)) {
            codes.push_back(key.code);
            if (isTwoCodeKey(key)) codes.push_back(key.second);
        }
    }
    return codes;
}

std::vector<int> codesFrom(const std::string& bytes) { return codesFromBursts({bytes}); }

using Codes = std::vector<int>;

TEST(KeyDecoder, PassesCharactersThroughAsTyped)
{
    EXPECT_EQ(codesFrom("aZ 7?"), (Codes{'a', 'Z', ' ', '7', '?'}));
    EXPECT_EQ(codesFrom("\x03"), Codes{3});                  // Ctrl-C
    EXPECT_EQ(codesFrom("\x7f"), Codes{8});                  // DEL is Backspace
    EXPECT_EQ(codesFrom("\x08"), Codes{8});
    EXPECT_EQ(codesFrom("\r\n"), (Codes{13, 13}));           // Enter either way
    EXPECT_EQ(codesFrom("\xc3\xa9"), (Codes{0xc3, 0xa9}));    // UTF-8 bytes one by one
}

TEST(KeyDecoder, ALoneEscapeIsEscapeOnlyAfterTheSilence)
{
    KeyDecoder decoder;
    Key key;
    feedByte(decoder, 27);
    EXPECT_TRUE(awaitsMoreBytes(decoder));
    EXPECT_FALSE(takeKey(decoder, key));
    endPendingSequence(decoder);
    EXPECT_FALSE(awaitsMoreBytes(decoder));
    ASSERT_TRUE(takeKey(decoder, key));
    EXPECT_EQ(key.code, 27);
    EXPECT_FALSE(isTwoCodeKey(key));
    EXPECT_EQ(codesFromBursts({"\x1b", "\x1b"}), (Codes{27, 27}));
    EXPECT_EQ(codesFrom("\x1b\x1b"), (Codes{27, 27}));       // pressed twice quickly
    EXPECT_EQ(codesFromBursts({"\x1b", "n"}), (Codes{27, 'n'}));
}

TEST(KeyDecoder, EscapeWithACharacterIsAltWithThatKeyNeverEscape)
{
    EXPECT_EQ(codesFrom("\x1b" "a"), (Codes{0, 30}));
    EXPECT_EQ(codesFrom("\x1b" "A"), (Codes{0, 30}));
    EXPECT_EQ(codesFrom("\x1b" "q"), (Codes{0, 16}));
    EXPECT_EQ(codesFrom("\x1b" "m"), (Codes{0, 50}));
    EXPECT_EQ(codesFrom("\x1b" "1"), (Codes{0, 2}));
    EXPECT_EQ(codesFrom("\x1b" "!"), (Codes{0, 2}));
    EXPECT_EQ(codesFrom("\x1b" " "), (Codes{0, 57}));
    EXPECT_EQ(codesFrom("\x1b["), (Codes{0, 26}));           // Alt+[ alone
    EXPECT_EQ(codesFrom("\x1bO"), (Codes{0, 24}));           // Alt+O alone
    EXPECT_EQ(codesFrom("\x1b\x01"), Codes{});               // Alt with a control key
}

struct SequenceCase {
    const char* bytes;
    int prefix;
    int scan;
};

TEST(KeyDecoder, EverySequenceGivesItsTwoCodes)
{
    const SequenceCase cases[] = {
        {"\x1b[A", 224, 72},   {"\x1bOA", 224, 72},   {"\x1b[B", 224, 80},   {"\x1bOB", 224, 80},
        {"\x1b[C", 224, 77},   {"\x1bOC", 224, 77},   {"\x1b[D", 224, 75},   {"\x1bOD", 224, 75},
        {"\x1b[H", 224, 71},   {"\x1bOH", 224, 71},   {"\x1b[1~", 224, 71},  {"\x1b[7~", 224, 71},
        {"\x1b[F", 224, 79},   {"\x1bOF", 224, 79},   {"\x1b[4~", 224, 79},  {"\x1b[8~", 224, 79},
        {"\x1b[2~", 224, 82},  {"\x1b[3~", 224, 83},  {"\x1b[5~", 224, 73},  {"\x1b[6~", 224, 81},
        {"\x1bOP", 0, 59},     {"\x1bOQ", 0, 60},     {"\x1bOR", 0, 61},     {"\x1bOS", 0, 62},
        {"\x1b[11~", 0, 59},   {"\x1b[12~", 0, 60},   {"\x1b[13~", 0, 61},   {"\x1b[14~", 0, 62},
        {"\x1b[15~", 0, 63},   {"\x1b[17~", 0, 64},   {"\x1b[18~", 0, 65},   {"\x1b[19~", 0, 66},
        {"\x1b[20~", 0, 67},   {"\x1b[21~", 0, 68},   {"\x1b[23~", 224, 133}, {"\x1b[24~", 224, 134},
        {"\x1b[[A", 0, 59},    {"\x1b[[E", 0, 63},  // the Linux console's F1 and F5
    };
    for (const SequenceCase& sequence : cases) {
        EXPECT_EQ(codesFrom(sequence.bytes), (Codes{sequence.prefix, sequence.scan})) << (sequence.bytes + 1);
    }
}

TEST(KeyDecoder, CtrlGivesTheWindowsCodesAndOtherModifiersThePlainKey)
{
    EXPECT_EQ(codesFrom("\x1b[1;5A"), (Codes{224, 141}));
    EXPECT_EQ(codesFrom("\x1b[1;5B"), (Codes{224, 145}));
    EXPECT_EQ(codesFrom("\x1b[1;5D"), (Codes{224, 115}));
    EXPECT_EQ(codesFrom("\x1b[1;5C"), (Codes{224, 116}));
    EXPECT_EQ(codesFrom("\x1b[1;5H"), (Codes{224, 119}));
    EXPECT_EQ(codesFrom("\x1b[1;5F"), (Codes{224, 117}));
    EXPECT_EQ(codesFrom("\x1b[1;7A"), (Codes{224, 141}));  // Ctrl+Alt
    EXPECT_EQ(codesFrom("\x1b[1;2A"), (Codes{224, 72}));   // Shift
    EXPECT_EQ(codesFrom("\x1b[1;3D"), (Codes{224, 75}));   // Alt
    EXPECT_EQ(codesFrom("\x1b[3;5~"), (Codes{224, 83}));   // Ctrl-Delete: no code of its own
    EXPECT_EQ(codesFrom("\x1b[15;2~"), (Codes{0, 63}));
    EXPECT_EQ(codesFrom("\x1b[1;5P"), (Codes{0, 59}));
    EXPECT_EQ(codesFrom("\x1bOa"), (Codes{224, 141}));     // rxvt's Ctrl-Up
    EXPECT_EQ(codesFrom("\x1b[a"), (Codes{224, 72}));      // rxvt's Shift-Up
}

TEST(KeyDecoder, ASequenceSplitAcrossReadsIsStillOneKey)
{
    KeyDecoder decoder;
    Key key;
    for (unsigned char byte : std::string("\x1b[1;5")) {
        feedByte(decoder, byte);
        EXPECT_TRUE(awaitsMoreBytes(decoder));
        EXPECT_FALSE(takeKey(decoder, key));
    }
    feedByte(decoder, 'A');
    EXPECT_FALSE(awaitsMoreBytes(decoder));
    ASSERT_TRUE(takeKey(decoder, key));
    EXPECT_EQ(key.code, 224);
    EXPECT_EQ(key.second, 141);
    EXPECT_FALSE(takeKey(decoder, key));
}

TEST(KeyDecoder, KeysAroundSequencesKeepTheirOrder)
{
    EXPECT_EQ(codesFrom("a\x1b[Ab\x1bOPc"), (Codes{'a', 224, 72, 'b', 0, 59, 'c'}));
    EXPECT_EQ(codesFromBursts({"x\x1b", "y"}), (Codes{'x', 27, 'y'}));
}

TEST(KeyDecoder, UnknownOrBrokenSequencesAreSwallowedWholeNeverEscape)
{
    EXPECT_EQ(codesFrom("\x1b[99~z"), Codes{'z'});
    EXPECT_EQ(codesFrom("\x1b[200~"), Codes{});          // bracketed paste start
    EXPECT_EQ(codesFrom("\x1b[?1;2c"), Codes{});         // a terminal's reply
    EXPECT_EQ(codesFrom("\x1b[5A"), Codes{});
    EXPECT_EQ(codesFrom("\x1b[1;5;7A"), Codes{});
    EXPECT_EQ(codesFrom("\x1bOz"), Codes{});
    EXPECT_EQ(codesFrom("\x1b[3"), Codes{});             // cut short by the silence
    EXPECT_EQ(codesFrom("\x1b[1;5"), Codes{});
    EXPECT_EQ(codesFrom("\x1b[" + std::string(40, '1') + "~k"), Codes{'k'});
    // A control byte breaks the sequence and is then read as itself.
    EXPECT_EQ(codesFrom("\x1b[1\x03"), Codes{3});
    EXPECT_EQ(codesFrom("\x1b[1\r"), Codes{13});
    EXPECT_EQ(codesFrom("\x1b[1\x1b[B"), (Codes{224, 80}));
}

TEST(KeyDecoder, TheKeypadTypesInEitherModeAndMouseReportsAreNoKeys)
{
    EXPECT_EQ(codesFrom("\x1bOM\x1bOq\x1bOk"), (Codes{13, '1', '+'}));  // application keypad: Enter, 1, +
    // A click in the old encoding, then in the SGR one, around a typed e.
    EXPECT_EQ(codesFrom("\x1b[M !!e\x1b[<0;5;7M"), Codes{'e'});
    EXPECT_EQ(codesFromBursts({"\x1b[M ", "e"}), Codes{'e'});  // a report cut short by the silence
}

TEST(KeyDecoder, NeverGrowsOrStaysPendingOnArbitraryBytes)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> smallByte(0, 5);
    const unsigned char likely[] = {27, '[', 'O', ';', '1', '~'};
    for (int run = 0; run < 200; ++run) {
        KeyDecoder decoder;
        for (int i = 0; i < 500; ++i) {
            unsigned char byte = (i % 2) ? likely[smallByte(random)] : static_cast<unsigned char>(anyByte(random));
            feedByte(decoder, byte);
            ASSERT_LE(decoder.sequenceLength, KeyDecoder::sequenceLimit);
            if (anyByte(random) < 20) endPendingSequence(decoder);
        }
        endPendingSequence(decoder);
        EXPECT_FALSE(awaitsMoreBytes(decoder));
        Key key;
        while (takeKey(decoder, key)) {
            ASSERT_GE(key.code, 0);
            ASSERT_LE(key.code, 255);
            ASSERT_LE(key.second, 255);
        }
    }
}

}  // namespace
