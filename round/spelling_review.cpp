// The audio spelling review: the player hears the shown words spelled, as
// often as wished, and leaves by choosing to guess or to pass.
// Each voice's table has a row for every lower-case letter and for the dash
// of a hidden letter; any other character has no sound.
#include "round/spelling_review.h"

#include <array>

#include "console/console.h"
#include "round/round_screen.h"

namespace {

struct SpellingSound {
    char character;
    const char* path;
};

using SoundTable = std::array<SpellingSound, 27>;

const SoundTable letterNameSounds{{
    {'a', "data\\A.wav"}, {'b', "data\\B.wav"}, {'c', "data\\C.wav"}, {'d', "data\\D.wav"},
    {'e', "data\\E.wav"}, {'f', "data\\F.wav"}, {'g', "data\\G.wav"}, {'h', "data\\H.wav"},
    {'i', "data\\I.wav"}, {'j', "data\\J.wav"}, {'k', "data\\K.wav"}, {'l', "data\\L.wav"},
    {'m', "data\\M.wav"}, {'n', "data\\N.wav"}, {'o', "data\\O.wav"}, {'p', "data\\P.wav"},
    {'q', "data\\Q.wav"}, {'r', "data\\R.wav"}, {'s', "data\\S.wav"}, {'t', "data\\T.wav"},
    {'u', "data\\U.wav"}, {'v', "data\\V.wav"}, {'w', "data\\W.wav"}, {'x', "data\\X.wav"},
    {'y', "data\\Y.wav"}, {'z', "data\\Z.wav"}, {'-', "data\\blank.wav"},
}};

const SoundTable phoneticSounds{{
    {'a', "data\\alpha.wav"},   {'b', "data\\bravo.wav"},    {'c', "data\\charlie.wav"},
    {'d', "data\\delta.wav"},   {'e', "data\\echo.wav"},     {'f', "data\\foxtrot.wav"},
    {'g', "data\\golf.wav"},    {'h', "data\\hotel.wav"},    {'i', "data\\india.wav"},
    {'j', "data\\juliet.wav"},  {'k', "data\\kilo.wav"},     {'l', "data\\lima.wav"},
    {'m', "data\\mike.wav"},    {'n', "data\\november.wav"}, {'o', "data\\oscar.wav"},
    {'p', "data\\papa.wav"},    {'q', "data\\quebec.wav"},   {'r', "data\\romeo.wav"},
    {'s', "data\\sierra.wav"},  {'t', "data\\tango.wav"},    {'u', "data\\uniform.wav"},
    {'v', "data\\victor.wav"},  {'w', "data\\whiskey.wav"},  {'x', "data\\xray.wav"},
    {'y', "data\\yankee.wav"},  {'z', "data\\zulu.wav"},     {'-', "data\\blank.wav"},
}};

// Exact match only: 'A' is not 'a', so an upper-case letter stays silent.
void playSpellingSound(const SoundTable& table, char character)
{
    for (const SpellingSound& row : table) {
        if (row.character == character) {
            playSound(row.path);
            return;
        }
    }
}

void drawReviewPrompt()
{
    blankRow(reviewClearedRow);
    writePrompt("Press 1 through 6 for spelling, G to guess or P to pass ");
}

bool endsReview(int key) { return key == 'G' || key == 'g' || key == 'P' || key == 'p'; }

bool asksForSpelling(int key) { return key >= '1' && key <= '6'; }

// Every character takes 100 ms after its sound, even one that has none, so
// the player can count the letters of a word by ear.
void spellWord(const std::string& word, void (*spellCharacter)(char))
{
    for (char character : word) {
        spellCharacter(character);
        pause(100);
    }
}

// 1 to 3 spell the words by letter names, 4 to 6 by phonetic words.
void spellChosenWord(int key, const std::string& adjectiveShown, const std::string& nounShown,
                     const std::string& verbShown)
{
    const int choice = key - '1';
    const std::string* words[3] = {&adjectiveShown, &nounShown, &verbShown};
    spellWord(*words[choice % 3], choice < 3 ? spellLetter : spellPhonetic);
}

}  // namespace

void spellLetter(char character) { playSpellingSound(letterNameSounds, character); }

void spellPhonetic(char character) { playSpellingSound(phoneticSounds, character); }

char reviewSpelling(const std::string& adjectiveShown, const std::string& nounShown, const std::string& verbShown)
{
    drawReviewPrompt();
    for (;;) {
        const int key = readKey();
        if (endsReview(key)) return static_cast<char>(key);
        if (asksForSpelling(key)) {
            spellChosenWord(key, adjectiveShown, nounShown, verbShown);
        } else {
            drawReviewPrompt();
        }
    }
}
