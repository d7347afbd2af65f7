// The console's pure pieces on tables of input: what the key decoder makes of
// the bytes a terminal sends, and what the line editor stores and echoes for
// the keys typed. Each line of tests/unit/pieces/NAME.txt is one case; its
// result stands beside it in NAME.golden. The fuzzers check the rest (fuzz/).
#include <gtest/gtest.h>

#include "console/key_decoder.h"
#include "console/line_editor.h"
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

TEST(ConsolePieces, KeyDecoderGivesTheGoldenCodes) { expectGoldenResults("key_decoder", decodedCodes); }

TEST(ConsolePieces, LineEditorStoresAndEchoesAsTheGoldenFileShows) { expectGoldenResults("line_editor", editedLine); }

}  // namespace
