// The audio spelling review: the player hears the shown words spelled, as
// often as wished, and leaves by choosing to guess or to pass.
// Each voice has a sound for every lower-case letter and for the dash of a
// hidden letter; any other character has none.
#include "round/spelling_review.h"

#include "console/console.h"
#include "round/round_screen.h"

namespace {

// The words of the phonetic spelling alphabet, from a to z.
constexpr const char* phoneticWords[26] = {
    "alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india", "juliet", "kilo", "lima", "mike",
    "november", "oscar", "papa", "quebec", "romeo", "sierra", "tango", "uniform", "victor", "whiskey", "xray", "yankee",
    "zulu"};

// Exact match only: 'A' is not 'a', so an upper-case letter stays silent.
// The letter names are named after the upper-case letter ("data\\A.wav").
void playSpellingSound(char character, bool phonetic)
{
    if (character == '-') {
        playSound("data\\blank.wav");
    } else if (character >= 'a' && character <= 'z') {
        const int letter = character - 'a';
        const std::string name = phonetic ? phoneticWords[letter] : std::string(1, char('A' + letter));
        playSound("data\\" + name + ".wav");
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

void spellLetter(char character) { playSpellingSound(character, false); }

void spellPhonetic(char character) { playSpellingSound(character, true); }

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
