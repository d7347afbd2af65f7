// The audio spelling review, entered from the round's menu.
#pragma once

#include <string>

// Lets the player hear the shown words spelled as often as wished; returns
// the key that ended the review, as typed: 'G', 'g', 'P' or 'p'.
char reviewSpelling(const std::string& adjectiveShown, const std::string& nounShown, const std::string& verbShown);

// The sound of one character, by letter name or by phonetic word; a
// character with no sound plays nothing.
void spellLetter(char character);
void spellPhonetic(char character);
