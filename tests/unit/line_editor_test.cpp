#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "console/console.h"
#include "console/console_double.h"
#include "console/line_editor.h"

namespace {

// Types each byte of `typed` as a one-code key; returns what was echoed.
std::string typeInto(LineEditor& editor, const std::string& typed)
{
    std::string echoed;
    for (char byte : typed) echoed += editLine(editor, Key{static_cast<unsigned char>(byte), -1});
    return echoed;
}

TEST(LineEditor, TakesUpToItsLimitAndRefusesTheRest)
{
    LineEditor name = startLine(14);
    EXPECT_EQ(typeInto(name, "Alexandrina Joy"), "Alexandrina Jo");
    EXPECT_EQ(name.text, "Alexandrina Jo");
    EXPECT_EQ(typeInto(name, "xyz"), "");
    EXPECT_EQ(name.text, "Alexandrina Jo");
    typeInto(name, "\r");
    EXPECT_TRUE(name.finished);

    LineEditor guess = startLine(39);
    std::string fortyBytes(40, 'w');
    typeInto(guess, fortyBytes);
    EXPECT_EQ(guess.text, std::string(39, 'w'));
}

TEST(LineEditor, BackspaceErasesOnScreenAndMakesRoomAgain)
{
    LineEditor editor = startLine(3);
    typeInto(editor, "abc");
    EXPECT_EQ(editLine(editor, Key{backspaceKey, -1}), "\b \b");
    EXPECT_EQ(typeInto(editor, "de"), "d");
    EXPECT_EQ(editor.text, "abd");
    LineEditor empty = startLine(3);
    EXPECT_EQ(editLine(empty, Key{backspaceKey, -1}), "");
}

TEST(LineEditor, KeepsCaseSpacesPunctuationAndUtf8Whole)
{
    LineEditor editor = startLine(14);
    typeInto(editor, "Zoë O'Neil-Ng");
    EXPECT_EQ(editor.text, "Zoë O'Neil-Ng");  // 14 bytes: ë takes two

    // A two-byte letter that would pass the limit is refused whole.
    LineEditor nearlyFull = startLine(5);
    typeInto(nearlyFull, "abcd\xc3\xa9");
    EXPECT_EQ(nearlyFull.text, "abcd");
    // Backspace takes the whole letter.
    LineEditor accented = startLine(14);
    typeInto(accented, "Ren\xc3\xa9");
    editLine(accented, Key{backspaceKey, -1});
    EXPECT_EQ(accented.text, "Ren");
    // A broken character is dropped, the byte after it kept.
    LineEditor broken = startLine(14);
    typeInto(broken, "a\xc3z\xa9" "b");
    EXPECT_EQ(broken.text, "azb");
}

TEST(LineEditor, IgnoresControlCharactersAndKeysWithoutCharacters)
{
    LineEditor editor = startLine(14);
    EXPECT_EQ(typeInto(editor, "a\x1b\t\x07\x01\x7f" "b"), "ab");
    EXPECT_EQ(editLine(editor, Key{224, 72}), "");
    EXPECT_EQ(editLine(editor, Key{0, 59}), "");
    EXPECT_EQ(editor.text, "ab");
    EXPECT_FALSE(editor.finished);
}

TEST(LineEditor, DropsC1ControlsAndCharactersThatPrintNothing)
{
    LineEditor editor = startLine(39);
    // CSI as one C1 character, then a byte-order mark, a zero-width space and a
    // direction override: none is echoed, none stored.
    EXPECT_EQ(typeInto(editor, "Ab\xc2\x9b" "2J\xef\xbb\xbf\xe2\x80\x8b\xe2\x80\xae" "Cd"), "Ab2JCd");
    EXPECT_EQ(editor.text, "Ab2JCd");
    LineEditor mark = startLine(14);
    EXPECT_EQ(typeInto(mark, "\xcc\x81" "e\xcc\x81"), "e\xcc\x81");  // a mark needs a letter to join
}

TEST(LineEditor, BackspaceTakesBackAWholeCharacterAndItsCells)
{
    LineEditor editor = startLine(39);
    typeInto(editor, "\xf0\x9f\x98\x80" "e\xcc\x81");  // an emoji, then e with a combining acute
    EXPECT_EQ(editLine(editor, Key{backspaceKey, -1}), "\b \b");
    EXPECT_EQ(editor.text, "\xf0\x9f\x98\x80");
    EXPECT_EQ(editLine(editor, Key{backspaceKey, -1}), "\b\b  \b\b");  // the emoji took two cells
    EXPECT_EQ(editor.text, "");
}

TEST(LineEditor, AnEmojiErasedOnTheDoublesScreenLeavesNothingBehind)
{
    resetTestConsole();
    std::cout << "Name: ";
    typeKeys("Zo\xf0\x9f\x98\x80");
    typeCode(backspaceKey);
    typeLine("e");
    EXPECT_EQ(readLine(14), "Zoe");
    EXPECT_EQ(trimmedRow(1), "Name: Zoe");
}

TEST(LineEditor, CtrlCInterruptsTheLine)
{
    LineEditor editor = startLine(14);
    typeInto(editor, "ab\x03" "cd");
    EXPECT_TRUE(editor.interrupted);
    EXPECT_FALSE(editor.finished);
    EXPECT_EQ(editor.text, "ab");
}

}  // namespace
