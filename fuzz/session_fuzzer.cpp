// Whole sessions on the test double, from the title screen on: the fuzz input
// is what the player types. At every key read and line read the watcher looks
// at what the player sees and hears and checks what the player relies on:
// - the screen never scrolls, no cursor move falls outside 80x25, and no
//   control character ever stands on the screen;
// - each round's row 23 shows its three words at their answer's lengths,
//   with their first letters and otherwise only dashes or the answer's letters;
// - the points offered for a guess run from 100 down in steps of 5, one step
//   per letter turn (a letter prompt answered by the turn menu), and a round
//   is decided by its 20th letter: a win shows the points offered, a loss
//   comes exactly after the 20th letter;
// - the session ends only through its closing screens with status 0, through
//   Ctrl-C in a line read, or because the input ran out.
//
// Input: two bytes of random seed, then one key a byte, except that 0 and 224
// take the next byte as their scan code (a two-code key). Enter is "\r".
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/console_double.h"
#include "lexicon/lexicon_layout.h"
#include "lexicon/random_number.h"
#include "session/play_session.h"
#include "screen/player_name.h"
#include "session/title_screen.h"
#include "tests/support/scratch_directory.h"

namespace {

// Within each family a word is known by its first letter and its length, so
// the round screen tells which phrase was drawn. The words reach the limits
// of the lexicon: one letter, 13 + 11 + 12 letters, and "s" in 13 positions.
using Family = std::array<std::string, 5>;
const Family adjectives{"happy", "o", "mississippian", "sleepy", "calm"};
const Family nouns{"koalas", "bananas", "ox", "possessions", "nuns"};
const Family verbs{"hum", "assassinated", "d", "nod", "sizzle"};
const std::array<const Family*, 3> families{&adjectives, &nouns, &verbs};

std::string familyText(const Family& words)
{
    std::string text;
    for (int time = 0; time < 40; ++time) {
        for (const std::string& word : words) text += word + "\n";
    }
    return text;
}

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "session: %s\n--- screen ---\n%s\n", what.c_str(), wholeScreen().c_str());
    std::abort();
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// Columns 1 to 78 of a row, as blanking leaves them, without trailing spaces.
std::string rowText(int row)
{
    std::string text = screenRow(row).substr(0, 78);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::vector<std::string> splitAtSpaces(const std::string& text)
{
    std::vector<std::string> words{""};
    for (char character : text) {
        if (character == ' ') {
            words.emplace_back();
        } else {
            words.back() += character;
        }
    }
    return words;
}

const std::string phraseLabel = "The phrase is: ";
const std::string letterPrompt = "Guess a letter";
const std::string menuPrompt = "Guess, Review or Pass, G, R or P";
const std::string guessPromptStart = "Enter phrase of 3 words  for ";

struct RoundWatch {
    bool active = false;   // between the round's opening sound and its play-again answer
    bool known = false;    // the answer has been read off the round screen
    bool won = false;
    bool lost = false;
    int lettersPlayed = 0;
    std::array<std::string, 3> answer;
};

struct SessionWatch {
    std::size_t timelineSeen = 0;
    ReadKind lastRead = ReadKind::key;
    std::string lastPrompt;
    RoundWatch round;
    int roundsStarted = 0;
};

SessionWatch watch;
const bool showLastScreen = std::getenv("HKH_SHOW_SCREEN") != nullptr;

int pointsOffered(const RoundWatch& round) { return 100 - 5 * (round.lettersPlayed - 1); }

std::string answerPhrase(const RoundWatch& round)
{
    return round.answer[0] + " " + round.answer[1] + " " + round.answer[2];
}

void followTimeline()
{
    const std::vector<HeardOrWaited>& timeline = testConsole().timeline;
    for (; watch.timelineSeen < timeline.size(); ++watch.timelineSeen) {
        const std::string& sound = timeline[watch.timelineSeen].sound;
        RoundWatch& round = watch.round;
        if (sound == "data\\plso.wav") {
            round = RoundWatch{};
            round.active = true;
            ++watch.roundsStarted;
        } else if (sound == "data\\quit.wav") {
            round = RoundWatch{};  // the session summary follows
        } else if (sound == "data\\yes.wav") {  // the middle of either fanfare
            if (round.won || round.lost) fail("a second outcome in one round");
            const bool fullPoints = watch.timelineSeen > 0 && timeline[watch.timelineSeen - 1].sound == "data\\fupo1.wav";
            if (fullPoints != (round.lettersPlayed == 1)) fail("the wrong fanfare for the points");
            round.won = true;
        } else if (sound == "data\\nopo.wav") {
            if (round.won || round.lost) fail("a second outcome in one round");
            if (round.lettersPlayed != 20) fail("a round lost before its 20th letter");
            round.lost = true;
        }
    }
}

void checkScreenItself()
{
    const TestConsole& console = testConsole();
    if (console.scrolls != 0) fail("the screen scrolled");
    if (console.cursorRefusals != 0) fail("the cursor was placed outside the screen");
    for (int row = 1; row <= screenRows; ++row) {
        for (char cell : screenRow(row)) {
            unsigned char byte = static_cast<unsigned char>(cell);
            if (byte < 32 || byte == 127) fail("a control character on the screen");
        }
    }
    if (playerName.size() > 14) fail("a name past 14 characters");
}

// Reads the answer off the round's first screen: "The phrase is: " and the
// first letters with their dashes.
void learnAnswer(RoundWatch& round)
{
    std::string row = rowText(23);
    if (!startsWith(row, phraseLabel)) fail("the round screen shows no phrase");
    std::vector<std::string> shown = splitAtSpaces(row.substr(phraseLabel.size()));
    if (shown.size() != 3) fail("the round screen does not show three words");
    for (std::size_t index = 0; index < 3; ++index) {
        for (const std::string& word : *families[index]) {
            if (!shown[index].empty() && word[0] == shown[index][0] && word.size() == shown[index].size()) {
                round.answer[index] = word;
            }
        }
        if (round.answer[index].empty()) fail("a shown word that no answer word fits");
    }
    round.known = true;
}

void checkShownPhrase(const RoundWatch& round)
{
    std::string row = rowText(23);
    if (startsWith(row, phraseLabel)) row.erase(0, phraseLabel.size());
    std::vector<std::string> shown = splitAtSpaces(row);
    if (shown.size() != 3) fail("row 23 does not show three words");
    for (std::size_t index = 0; index < 3; ++index) {
        const std::string& answer = round.answer[index];
        const std::string& word = shown[index];
        if (word.size() != answer.size()) fail("a shown word of another length than its answer");
        if (word[0] != answer[0]) fail("a shown word without its first letter");
        for (std::size_t position = 1; position < word.size(); ++position) {
            if (word[position] != '-' && word[position] != answer[position]) fail("a shown letter the answer lacks");
        }
    }
}

void checkGuessPrompt(const RoundWatch& round, const std::string& prompt)
{
    const std::string points = prompt.substr(guessPromptStart.size());
    if (round.lettersPlayed < 1) fail("a guess before any letter");
    if (points != std::to_string(pointsOffered(round)) + " points:") fail("the points offered are off: " + prompt);
}

void checkRoundEnd(const RoundWatch& round)
{
    if (!round.won && !round.lost) fail("the play-again prompt before the round was decided");
    if (round.won) {
        if (rowText(23) != answerPhrase(round)) fail("the win screen does not show the answer");
        const std::string pointsLine = "You get " + std::to_string(pointsOffered(round)) + " points for this game";
        if (!startsWith(rowText(24), pointsLine)) fail("the win screen shows other points");
    } else {
        if (rowText(23) != "The correct phrase  is " + answerPhrase(round)) fail("the loss screen hides the answer");
        const std::string line = rowText(24);
        if (!startsWith(line, "You get zero points") && !startsWith(line, "But you get two points") &&
            !startsWith(line, "But you get four points") && !startsWith(line, "But you get six points")) {
            fail("the loss screen shows no consolation line");
        }
    }
}

// A letter prompt answered by the turn menu is one letter turn.
void countLetterTurn(RoundWatch& round, const std::string& prompt)
{
    const bool turnTaken = startsWith(watch.lastPrompt, letterPrompt) && startsWith(prompt, menuPrompt);
    watch.lastPrompt = prompt;
    if (!turnTaken) return;
    if (!round.active || round.won || round.lost) fail("a letter turn outside a round");
    if (++round.lettersPlayed > 20) fail("a 21st letter in one round");
}

void watchRead(ReadKind kind)
{
    watch.lastRead = kind;
    followTimeline();
    checkScreenItself();
    RoundWatch& round = watch.round;
    const std::string prompt = rowText(22);
    countLetterTurn(round, prompt);
    if (!round.active) return;
    if (!round.known) learnAnswer(round);
    if (startsWith(prompt, "Play again or Quit? P or Q")) {
        checkRoundEnd(round);
        return;
    }
    if (round.won || round.lost) fail("the round goes on after it was decided");
    checkShownPhrase(round);
    if (startsWith(prompt, guessPromptStart)) checkGuessPrompt(round, prompt);
}

void typeInput(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t at = 0; at < size; ++at) {
        int byte = data[at];
        if ((byte == 0 || byte == 224) && at + 1 < size) {
            typeTwoCodeKey(byte, data[++at]);
        } else {
            typeCode(byte);
        }
    }
}

bool endsWithSounds(const std::vector<std::string>& expected)
{
    std::vector<std::string> sounds = soundsPlayed();
    if (sounds.size() < expected.size()) return false;
    return std::equal(expected.begin(), expected.end(), sounds.end() - static_cast<std::ptrdiff_t>(expected.size()));
}

void checkProgramEnd(int status)
{
    followTimeline();
    checkScreenItself();
    if (status == 130) {
        if (watch.lastRead != ReadKind::line) fail("ended by Ctrl-C outside a line read");
        return;
    }
    if (status != 0) fail("ended with status " + std::to_string(status));
    const bool earlyQuit = endsWithSounds({"data\\hum.wav", "data\\exit.wav"}) && watch.roundsStarted == 0;
    const bool summary = endsWithSounds({"data\\quit.wav", "data\\hum.wav", "data\\exit.wav", "data\\haha.wav"});
    if (!earlyQuit && !summary) fail("ended without its closing screens");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static ScratchDirectory scratch = enterScratchDirectory();
    std::atexit([] { leaveScratchDirectory(scratch); });
    writeFamily(adjectiveFamily, [](int) { return familyText(adjectives); });
    writeFamily(nounFamily, [](int) { return familyText(nouns); });
    writeFamily(verbFamily, [](int) { return familyText(verbs); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    resetTestConsole();
    watch = SessionWatch{};
    testConsole().beforeRead = watchRead;
    playerName.clear();
    seedRandom(static_cast<unsigned>(data[0] | data[1] << 8));
    typeInput(data + 2, size - 2);
    try {
        showTitle();
        playSession();
    } catch (const ScriptExhausted&) {
        followTimeline();
        checkScreenItself();
    } catch (const ProgramEnded& ended) {
        checkProgramEnd(ended.status);
        if (showLastScreen) std::fprintf(stderr, "ended with status %d\n", ended.status);
    }
    // HKH_SHOW_SCREEN=1 prints how each input left the screen: a way to read a seed.
    if (showLastScreen) std::fprintf(stderr, "%d rounds\n%s\n", watch.roundsStarted, wholeScreen().c_str());
    return 0;
}
