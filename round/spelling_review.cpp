// The audio spelling review: the player hears the shown words spelled, as
// often as wished, and leaves by choosing to guess or to pass.
#include "round/spelling_review.h"

#include "console/console.h"
#include "round/round_screen.h"

namespace {

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
