// The line editor over arbitrary keys and limits. After every key the text
// keeps within its limit and holds only whole UTF-8 characters that print
// (no C0 or C1 control, no DEL, nothing the screen refuses); the echo, drawn
// on a row of cells as a terminal draws it, shows exactly that text; Enter
// and Ctrl-C end the line, and after that nothing changes.
// Every character of the text was drawn and checked on its way to the row.
// Input: the first byte is the limit (0 to 63); then one key a byte, except
// that 0 and 224 take the next byte as their scan code, and 254 takes the
// next two bytes as any code, in or out of range.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/line_editor.h"
#include "console/text_width.h"
#include "fuzz/property.h"

namespace {

// Each cell holds its character and the marks joined to it; the right half
// of a wide character is an empty cell.
struct EchoRow {
    std::vector<std::string> cells;
    std::size_t cursor = 0;
};

void draw(EchoRow& row, const std::string& echo)
{
    for (std::size_t at = 0; at < echo.size();) {
        if (echo[at] == '\b') {
            check(row.cursor > 0, "backspace past the start of the line");
            --row.cursor;
            ++at;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(utf8Length(static_cast<unsigned char>(echo[at])));
        check(length > 0 && at + length <= echo.size(), "echo with a broken character");
        const std::string character = echo.substr(at, length);
        const int width = cellsOf(decodeUtf8(character));
        at += length;
        check(width != notPrinted && (width > 0 || row.cursor > 0), "echo of a character that prints nothing");
        // no control byte whatever the screen's table says: none below 0x20, no DEL, no C1 (0xC2 0x80-0x9F)
        const auto lead = static_cast<unsigned char>(character[0]);
        check(lead >= 0x20 && lead != 0x7F && !(lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0),
              "echo of a control character");
        if (width == 0) {
            std::size_t base = row.cursor - 1;
            while (base > 0 && row.cells[base].empty()) --base;
            row.cells[base] += character;
            continue;
        }
        row.cells.resize(std::max(row.cells.size(), row.cursor + width));
        row.cells[row.cursor++] = character;
        if (width == 2) row.cells[row.cursor++].clear();
    }
}

// The row up to the cursor; only blanks may stand after it.
std::string shownText(const EchoRow& row)
{
    std::string text;
    for (std::size_t cell = 0; cell < row.cells.size(); ++cell) {
        if (cell < row.cursor) text += row.cells[cell];
        else check(row.cells[cell] == " ", "the echo left a character past the cursor");
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    LineEditor editor = startLine(data[0] % 64);
    EchoRow row;
    for (std::size_t at = 1; at < size;) {
        Key key = takeInputKey(data, size, at);
        if (key.code == 254 && at + 1 < size) {
            key.code = static_cast<std::int16_t>(twoBytes(data + at));
            at += 2;
        }
        const bool wasOver = editor.finished || editor.interrupted;
        const std::string before = editor.text;
        const std::string echo = editLine(editor, key);
        check(!wasOver || (echo.empty() && editor.text == before), "a finished line changed");
        draw(row, echo);
        check(editor.text.size() <= editor.limit, "text past its limit");
        check(shownText(row) == editor.text, "the screen and the stored text differ");
        if (wasOver || isTwoCodeKey(key)) continue;
        check(key.code != enterKey || editor.finished, "Enter did not end the line");
        check(key.code != ctrlCKey || editor.interrupted, "Ctrl-C did not end the line");
    }
    return 0;
}
