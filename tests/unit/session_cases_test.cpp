// Whole sessions on the test double, from the title on, as main plays them
// with the random seed 1. Each tests/unit/sessions/NAME.txt gives the lexicon
// and what the player types; at every "show" the session is played afresh up
// to that point, and what the player sees, hears and (with "show pauses")
// waits is compared with NAME.golden.
//   lexicon ADJECTIVE NOUN VERB   every file holds these words ("lexicon missing": none)
//   keys KEYS / line TEXT         keys typed / a line typed and Enter
//   repeat N KEYS                 the keys typed N times over
//   show [pauses]                 the screen, and the sounds since the last show
#include <gtest/gtest.h>

#include <algorithm>

#include "console/console_double.h"
#include "lexicon/phrase_source.h"
#include "lexicon/random_number.h"
#include "session/play_session.h"
#include "tests/support/program_end.h"
#include "tests/support/scratch_directory.h"
#include "tests/unit/case_file.h"

void showTitle();  // where main starts the game

namespace {

struct Show {
    std::size_t keysBefore;
    bool pauses;
    std::string after;  // the directives that led here
};

std::string heardSince(std::size_t from, bool pauses)
{
    std::string text = pauses ? "heard and waited:" : "heard:";
    const std::vector<HeardOrWaited>& timeline = testConsole().timeline;
    for (std::size_t at = from; at < timeline.size(); ++at) {
        if (!timeline[at].sound.empty()) (text += ' ') += timeline[at].sound;
        else if (pauses) (text += ' ') += std::to_string(timeline[at].milliseconds);
    }
    return text + "\n";
}

std::string playCase(const std::string& name)
{
    ScratchDirectory scratch = enterScratchDirectory();
    std::vector<Key> keys;
    std::vector<Show> shows;
    std::string after;
    for (const Directive& directive : readCaseFile(unitFolder / "sessions" / (name + ".txt"))) {
        std::istringstream words(directive.rest);
        if (directive.word == "lexicon") {
            std::string adjective, noun, verb;
            if (words >> adjective >> noun >> verb) writeUniformLexicon(adjective, noun, verb);
        } else if (directive.word == "show") {
            shows.push_back({keys.size(), directive.rest == "pauses", after});
            after.clear();
        } else if (directive.word != "keys" && directive.word != "line" && directive.word != "repeat") {
            ADD_FAILURE() << name << ": no such directive: " << directive.word;
        } else {
            int times = 1;
            std::string typed = directive.rest;
            if (directive.word == "repeat") {
                words >> times;
                typed = typed.substr(typed.find(' ') + 1);
            }
            if (directive.word == "line") typed += "\\r";
            for (int time = 0; time < times; ++time) for (const Key& key : keysOf(typed)) keys.push_back(key);
            after += " " + directive.word + " " + directive.rest + ";";
        }
    }
    std::string seen;
    std::size_t heardBefore = 0;
    for (const Show& show : shows) {
        resetTestConsole();
        seedRandom(1);
        for (std::size_t at = 0; at < show.keysBefore; ++at) {
            if (isTwoCodeKey(keys[at])) typeTwoCodeKey(keys[at].code, keys[at].second);
            else typeCode(keys[at].code);
        }
        const int status = endOf([] {
            showTitle();
            playSession();
        });
        seen += "== after" + show.after + "\n";
        for (int row = 1; row <= screenRows; ++row) ((seen += '|') += trimmedRow(row)) += '\n';
        seen += heardSince(heardBefore, show.pauses);
        seen += status == stillWaiting ? "waits for the player\n" : "ended with status " + std::to_string(status) + "\n";
        heardBefore = testConsole().timeline.size();
    }
    leaveScratchDirectory(scratch);
    return seen;
}

struct SessionCase : ::testing::TestWithParam<std::string> {};

TEST_P(SessionCase, PlaysAsItsGoldenFileShows)
{
    const std::string seen = playCase(GetParam());
    EXPECT_EQ(seen, goldenText(unitFolder / "sessions" / (GetParam() + ".golden"), seen));
}

INSTANTIATE_TEST_SUITE_P(Sessions, SessionCase, ::testing::ValuesIn(caseNames("sessions")),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// Words that name where they stand: the family's letter, then the file and
// the position, each in two letters, so each drawn phrase tells where its
// six draws went; the draw after the phrase tells that there were six.
TEST(PhraseDraws, DrawAsTheGoldenFileShows)
{
    ScratchDirectory scratch = enterScratchDirectory();
    auto twoLetters = [](int number) { return std::string{char('a' + number / 26), char('a' + number % 26)}; };
    for (const LexiconFamily& family : {adjectiveFamily, nounFamily, verbFamily}) {
        writeFamily(family, [&](int file) {
            std::string words;
            for (int position = 1; position <= fullFileReach; ++position)
                words += family.basePath[4] + twoLetters(file) + twoLetters(position) + "\n";
            return words;
        });
    }
    std::string drawn;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        seedRandom(seed);
        std::string adjective, noun, verb;
        pickAdjective(adjective);
        pickNoun(noun);
        pickVerb(verb);
        drawn += std::to_string(seed) + ": " + adjective + " " + noun + " " + verb + ", then " +
                 std::to_string(nextRandom()) + "\n";
    }
    leaveScratchDirectory(scratch);
    EXPECT_EQ(drawn, goldenText(unitFolder / "phrase_draws.golden", drawn));
}

}  // namespace
