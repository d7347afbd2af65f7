// The pure pieces on tables of input: what the key decoder makes of the bytes
// a terminal sends, what the line editor stores and echoes for the keys
// typed, what the screen model shows and sends a terminal, and what the
// round's rules make of letters, passes and guesses, with no screen, sound or
// session. Each line of tests/unit/pieces/NAME.txt is one case; its result
// stands beside it in NAME.golden. The fuzzers check the rest (fuzz/).
#include <gtest/gtest.h>

#include "console/key_decoder.h"
#include "console/line_editor.h"
#include "console/screen_model.h"
#include "round/round_rules.h"
#include "tests/unit/case_file.h"

namespace {

// Every case of the table with its result, compared with the golden file.
void expectGoldenResults(const std::string& name, std::string (*resultOf)(const Directive&))
{
    std::string results;
    for (const Directive& directive : readCaseFile(unitFolder / "pieces" / (name + ".txt")))
        results += directive.word + " " + directive.rest + " -> " + resultOf(directive) + "\n";
    EXPECT_EQ(results, goldenText(unitFolder / "pieces" / (name + ".golden"), results));
}

// "bytes" then the bytes, in bursts parted by " | ": a silence longer than
// the escape wait follows each burst. The result is the codes the game reads.
std::string decodedCodes(const Directive& directive)
{
    KeyDecoder decoder;
    std::string codes;
    std::string bursts = directive.rest + " | ";
    for (std::size_t end; (end = bursts.find(" | ")) != std::string::npos; bursts.erase(0, end + 3)) {
        for (const Key& key : keysOf(bursts.substr(0, end))) feedByte(decoder, static_cast<unsigned char>(key.code));
        if (awaitsMoreBytes(decoder)) endPendingSequence(decoder);
        for (Key key; takeKey(decoder, key);) {
            (codes += codes.empty() ? "" : " ") += std::to_string(key.code);
            if (isTwoCodeKey(key)) (codes += '+') += std::to_string(key.second);
        }
    }
    return codes.empty() ? "nothing" : codes;
}

// The limit, then the keys. The result is the text stored, how it ended and
// the echo, with its backspaces written \b.
std::string editedLine(const Directive& directive)
{
    const std::size_t space = directive.rest.find(' ');
    LineEditor editor = startLine(std::stoul(directive.rest.substr(0, space)));
    std::string echo;
    for (const Key& key : keysOf(directive.rest.substr(space + 1))) echo += editLine(editor, key);
    for (std::size_t at; (at = echo.find('\b')) != std::string::npos;) echo.replace(at, 1, "\\b");
    return "\"" + editor.text + "\"" + (editor.finished ? " entered" : "") + (editor.interrupted ? " interrupted" : "") +
           ", echo \"" + echo + "\"";
}

// Steps parted by " | ": "@C,R" moves the cursor, "_N" blanks N cells, "*"
// draws the whole screen again, anything else is text written byte by byte.
// The result is the rows that show anything, the cursor and the bytes sent.
std::string drawnScreen(const Directive& directive)
{
    ScreenModel screen;
    blankScreen(screen);
    std::string bytes, steps = directive.rest + " | ";
    for (std::size_t end; (end = steps.find(" | ")) != std::string::npos; steps.erase(0, end + 3)) {
        const std::string step = steps.substr(0, end);
        int column = 0, row = 0;
        if (std::sscanf(step.c_str(), "@%d,%d", &column, &row) == 2) moveCursor(screen, column, row);
        else if (step[0] == '_') blankCells(screen, std::stoi(step.substr(1)));
        else if (step == "*") bytes += takeOutput(screen) + "|" + drawAgain(screen);
        else for (const Key& key : keysOf(step)) writeByte(screen, static_cast<unsigned char>(key.code));
    }
    bytes += takeOutput(screen);
    std::string shown;
    for (int row = 1; row <= screenRows; ++row) {
        std::string text = cellText(screen, row);
        if (text.find_first_not_of(' ') != std::string::npos)
            shown += std::to_string(row) + " \"" + text.erase(text.find_last_not_of(' ') + 1) + "\", ";
    }
    for (std::size_t at; (at = bytes.find('\x1b')) != std::string::npos;) bytes.replace(at, 1, "\\e");
    for (std::size_t at; (at = bytes.find("\r\n")) != std::string::npos;) bytes.replace(at, 2, "\\r\\n");
    return shown + "cursor " + std::to_string(screen.column) + "," + std::to_string(screen.row) + ", sent \"" + bytes + "\"";
}

// "split" then a typed line in quotes: the guess's three words, or none.
// "round" then the phrase and steps parted by " | ": "letter X" reveals X,
// "turn" charges a pass, "guess A B C" judges a guess. The result is what
// each step returned with the points and the phrase shown after it, then the
// words credited and the consolation they would bring.
std::string playedRules(const Directive& directive)
{
    if (directive.word == "split") {
        const std::optional<GuessWords> words = splitGuess(directive.rest.substr(1, directive.rest.size() - 2));
        return words ? joinWords((*words)[0], (*words)[1], (*words)[2]) : "no guess";
    }
    std::istringstream phrase(directive.rest);
    std::string adjective, noun, verb;
    phrase >> adjective >> noun >> verb;
    RoundState round;
    startRound(round, adjective, noun, verb);
    std::string results = "\"" + round.shownPhrase + "\"", steps = directive.rest + " | ";
    steps.erase(0, steps.find(" | ") + 3);  // the steps after the phrase
    for (std::size_t end; (end = steps.find(" | ")) != std::string::npos; steps.erase(0, end + 3)) {
        std::istringstream words(steps.substr(0, end));
        std::string step, first, second, third;
        words >> step >> first >> second >> third;
        if (step == "letter") results += "; " + std::to_string(revealLetter(round, first[0]));
        else if (step == "turn") results += chargeTurn(round) ? "; out" : "; on";
        else results += std::string("; ") + std::array{"win", "lost", "wrong"}[int(judgeGuess(round, {first, second, third}))];
        results += " " + std::to_string(round.roundPoints) + " \"" + round.shownPhrase + "\"";
    }
    std::string credited;
    for (const std::string& word : creditedWords(round)) credited += " " + word;
    return results + "; credited" + credited + ", consolation " + std::to_string(consolationPoints(countCreditedWords(round)));
}

TEST(ConsolePieces, KeyDecoderGivesTheGoldenCodes) { expectGoldenResults("key_decoder", decodedCodes); }

TEST(ConsolePieces, LineEditorStoresAndEchoesAsTheGoldenFileShows) { expectGoldenResults("line_editor", editedLine); }

TEST(ConsolePieces, ScreenModelShowsAndSendsAsTheGoldenFileShows) { expectGoldenResults("screen_model", drawnScreen); }

TEST(RoundRules, PlayAsTheGoldenFileShows) { expectGoldenResults("round_rules", playedRules); }

}  // namespace
