// One round on its screen: the phrase drawn, the letter turns with their
// menu, and the round's end with the play-again prompt.
#include "round/play_round.h"

#include <algorithm>
#include <iostream>

#include "console/console.h"
#include "lexicon/phrase_source.h"
#include "round/round_screen.h"
#include "round/spelling_review.h"
#include "screen/player_name.h"

namespace {

constexpr int toneCount = 8;

enum class TurnsEnd { roundOver, left };

void setUpRound(RoundState& round)
{
    playSound("data\\plso.wav");
    std::string adjective, noun, verb;
    pickAdjective(adjective);
    pickNoun(noun);
    pickVerb(verb);
    startRound(round, adjective, noun, verb);
    clearScreen();
    setCursor(1, messageRow);
    pause(500);
    std::cout << "Okay " << playerName << " time to  hum!";
    blankRow(phraseRow);
    pause(500);
    std::cout << "The phrase is: " << round.shownPhrase;
}

void showLetterLog(const SessionState& session)
{
    blankRow(letterLogRow);
    std::cout << session.guessedLetters;
}

bool isLetter(int key) { return key >= 'a' && key <= 'z'; }

// A letter folded to lower case, or escapeKey to leave. With the session's
// log (after the first letter) "?" shows the letters played so far and asks
// again, so the log stays until the next choice.
char readLetter(const SessionState* sessionWithLog)
{
    for (;;) {
        const char key = askForKey([] { writePrompt("Guess a letter "); }, [&](int typed) {
            return isLetter(typed) || typed == escapeKey || (sessionWithLog && typed == '?');
        });
        if (key != '?') return key;
        showLetterLog(*sessionWithLog);
    }
}

void playMatchSounds(int matchCount)
{
    if (matchCount == 0) {
        playSound("data\\wrle.wav");
        return;
    }
    for (int tone = 1; tone <= std::min(matchCount, toneCount); ++tone) {
        playSound("data\\tone" + std::to_string(tone) + ".wav");
    }
}

void writeMatchMessage(int matchCount)
{
    blankRow(messageRow);
    pause(500);
    if (matchCount >= 2) {
        std::cout << "There are " << matchCount << " matches";
    } else if (matchCount == 1) {
        std::cout << "There is one match";
    } else {
        std::cout << "Sorry " << playerName << ", no matches";
    }
}

// Logs the letter, reveals it, plays a tone per position (eight at most) and
// writes the count and the shown phrase.
void playLetter(SessionState& session, RoundState& round, char letter)
{
    session.guessedLetters += letter;
    session.guessedLetters += ' ';
    int matchCount = revealLetter(round, letter);
    playMatchSounds(matchCount);
    writeMatchMessage(matchCount);
    blankRow(phraseRow);
    pause(500);
    std::cout << round.shownPhrase;
}

// Guess, Review or Pass. A review ends in a guess or a pass, so the answer
// is 'g', 'p', or escapeKey to leave.
char chooseTurnAction(const RoundState& round)
{
    char choice = askForKey([] { writePrompt("Guess, Review or Pass, G, R or P "); },
                            [](int key) { return key == 'g' || key == 'r' || key == 'p' || key == escapeKey; });
    if (choice == escapeKey) return choice;
    // Taking a choice erases the letter log if it was shown.
    blankRow(letterLogRow);
    if (choice != 'r') return choice;
    return static_cast<char>(foldKey(reviewSpelling(round.adjective.shown, round.noun.shown, round.verb.shown)));
}

// Every turn ends the round with a win or costs 5 points, so the points run
// out by the 20th turn.
TurnsEnd playTurns(SessionState& session, RoundState& round, char letter)
{
    for (;;) {
        playLetter(session, round, letter);
        char action = chooseTurnAction(round);
        if (action == escapeKey) return TurnsEnd::left;
        bool roundOver = action == 'p' ? chargeTurn(round) : guessPhrase(round) != GuessOutcome::wrong;
        if (roundOver) return TurnsEnd::roundOver;
        letter = readLetter(&session);
        if (letter == escapeKey) return TurnsEnd::left;
    }
}

// The loss screen if the points ran out, then the play-again prompt, where
// Escape is refused like any other key; the round counts in the totals once
// it is answered.
bool closeRound(SessionState& session, RoundState& round)
{
    // Counted from the flags, so a round lost on a pass keeps the credit of
    // its earlier guesses.
    if (round.roundPoints == 0) announceLoss(round.answerPhrase, countCreditedWords(round), round.roundPoints);
    char answer = askForKey([] { writePrompt("Play again or Quit? P or Q "); },
                            [](int key) { return key == 'p' || key == 'q'; });
    session.sessionPoints += round.roundPoints;
    ++session.gamesPlayed;
    return answer == 'p';
}

}  // namespace

bool playRound(SessionState& session)
{
    RoundState round;
    setUpRound(round);
    char letter = readLetter(nullptr);
    if (letter == escapeKey) return false;
    session.guessedLetters.clear();
    if (playTurns(session, round, letter) == TurnsEnd::left) return false;
    return closeRound(session, round);
}
