// Whole sessions on the test double, from the title on: the fuzz input is
// what the player types. At every read the watcher checks what the player
// relies on:
// - the screen never scrolls, no cursor move falls outside 80x25, no control
//   character stands on the screen, and the name keeps at most 14 bytes;
// - row 23 shows the round's three words at their answer's lengths, with
//   their first letters and otherwise only dashes or the answer's letters;
// - the points offered for a guess drop by 5 for each letter turn, a win
//   shows the points offered and its fanfare, and a loss comes with the
//   20th letter;
// - the session ends only through its closing screens with status 0, or by
//   Ctrl-C in a line read.
// Input: two bytes of random seed, then one key a byte, except that 0 and 224
// take the next byte as their scan code. Enter is "\r".
#include <algorithm>
#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/console_double.h"
#include "fuzz/property.h"
#include "lexicon/random_number.h"
#include "screen/player_name.h"
#include "session/play_session.h"
#include "tests/support/program_end.h"

void showTitle();  // where main starts the game

namespace {

// Within a family a word is known by its first letter and its length. The
// words reach the lexicon's limits: one letter, 13 + 11 + 12 letters.
const std::array<std::string, 3> families{"happy o mississippian sleepy calm", "koalas bananas ox possessions nuns",
                                          "hum assassinated d nod sizzle"};

struct Watch {
    std::size_t heard = 0;  // timeline entries followed so far
    bool inRound = false, anyRound = false, won = false, lost = false, lastWasLetterPrompt = false;
    int letters = 0;
    std::array<std::string, 3> answer;
    ReadKind lastRead = ReadKind::key;
} watch;

bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

int pointsOffered() { return 105 - 5 * watch.letters; }

void followSounds()
{
    const std::vector<HeardOrWaited>& timeline = testConsole().timeline;
    for (; watch.heard < timeline.size(); ++watch.heard) {
        const std::string& sound = timeline[watch.heard].sound;
        if (sound == "data\\plso.wav" || sound == "data\\quit.wav") {
            watch.inRound = sound == "data\\plso.wav";
            watch.anyRound |= watch.inRound;
            watch.won = watch.lost = false;
            watch.letters = 0;
            watch.answer = {};
        } else if (sound == "data\\yes.wav" || sound == "data\\nopo.wav") {
            check(!watch.won && !watch.lost, "one outcome a round");
            (sound == "data\\yes.wav" ? watch.won : watch.lost) = true;
            const bool fullPoints = watch.heard > 0 && timeline[watch.heard - 1].sound == "data\\fupo1.wav";
            check(!watch.won || fullPoints == (watch.letters == 1), "the fanfare follows the points");
            check(!watch.lost || watch.letters == 20, "a round is lost with its 20th letter");
        }
    }
}

void checkScreen()
{
    check(testConsole().scrolls == 0 && testConsole().cursorRefusals == 0, "no scroll, no cursor off the screen");
    for (int row = 1; row <= screenRows; ++row)
        for (char cell : screenRow(row))
            check(static_cast<unsigned char>(cell) >= 32 && cell != 127, "no control character on the screen");
    check(playerName.size() <= 14, "a name of at most 14 bytes");
}

// Row 23's words; on the round's first screen they tell which phrase was drawn.
void checkShownPhrase()
{
    std::string row = trimmedRow(23);
    if (startsWith(row, "The phrase is: ")) row.erase(0, 15);
    std::istringstream words(row);
    for (std::size_t index = 0; index < 3; ++index) {
        std::string shown;
        words >> shown;
        std::string& answer = watch.answer[index];
        std::istringstream family(families[index]);
        for (std::string word; answer.empty() && !shown.empty() && family >> word;)
            if (word[0] == shown[0] && word.size() == shown.size()) answer = word;
        check(!answer.empty() && answer.size() == shown.size() && shown[0] == answer[0], "row 23 shows the answer's words");
        for (std::size_t at = 1; at < shown.size(); ++at)
            check(shown[at] == '-' || shown[at] == answer[at], "only the answer's letters are shown");
    }
}

void watchRead(ReadKind kind)
{
    watch.lastRead = kind;
    followSounds();
    checkScreen();
    const std::string prompt = trimmedRow(22);
    const bool turnTaken = watch.lastWasLetterPrompt && startsWith(prompt, "Guess, Review or Pass");
    watch.lastWasLetterPrompt = startsWith(prompt, "Guess a letter");
    if (!watch.inRound) return;
    if (turnTaken) check(!watch.won && !watch.lost && ++watch.letters <= 20, "at most 20 letter turns, all before the end");
    const std::string answer = watch.answer[0] + " " + watch.answer[1] + " " + watch.answer[2];
    if (startsWith(prompt, "Play again or Quit?")) {
        check(watch.won || watch.lost, "a round ends decided");
        check(!watch.won || (trimmedRow(23) == answer && startsWith(trimmedRow(24), "You get " + std::to_string(pointsOffered()))),
               "a win shows the answer and the points offered");
        check(watch.won || trimmedRow(23) == "The correct phrase  is " + answer, "a loss shows the answer");
        return;
    }
    check(!watch.won && !watch.lost, "a round ends when it is decided");
    checkShownPhrase();
    const std::string offered = std::string(" ") + std::to_string(pointsOffered()) + " points";
    check(!startsWith(prompt, "Enter phrase") || prompt.find(offered) != std::string::npos, "the points offered drop by 5 a letter");
}

bool endsWithSounds(const std::vector<std::string>& last)
{
    const std::vector<std::string> sounds = soundsPlayed();
    return sounds.size() >= last.size() && std::equal(last.begin(), last.end(), sounds.end() - long(last.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    workInScratchDirectory();
    writeUniformLexicon(families[0], families[1], families[2]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    resetTestConsole();
    watch = Watch{};
    testConsole().beforeRead = watchRead;
    playerName.clear();
    seedRandom(static_cast<unsigned>(twoBytes(data)));
    for (std::size_t at = 2; at < size;) {
        const Key key = takeInputKey(data, size, at);
        isTwoCodeKey(key) ? typeTwoCodeKey(key.code, key.second) : typeCode(key.code);
    }
    const int status = endOf([] {
        showTitle();
        playSession();
    });
    followSounds();
    checkScreen();
    check(status != 130 || watch.lastRead == ReadKind::line, "Ctrl-C ends the game only in a line read");
    const bool closed = watch.anyRound ? endsWithSounds({"data\\quit.wav", "data\\hum.wav", "data\\exit.wav", "data\\haha.wav"})
                                       : endsWithSounds({"data\\hum.wav", "data\\exit.wav"});
    check(status == stillWaiting || status == 130 || (status == 0 && closed), "the game ends through its closing screens");
    return 0;
}
