// The line editor over arbitrary keys and limits. After every key: the text
// stays within its limit, holds only whole UTF-8 characters and nothing that
// prints nothing (no byte below 0x20, no 0x7F, no C1 control), and the echo
// drawn on a row of cells shows exactly that text, each character in as many
// cells as the screen gives it; once Enter or Ctrl-C has ended the line,
// nothing changes any more.
//
// Input: the first byte is the limit (0 to 63); then one key a byte, except
// that 0 and 224 take the next byte as their scan code (a two-code key) and
// 254 takes the next two bytes as an arbitrary code, in or out of range.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/key.h"
#include "console/line_editor.h"
#include "console/text_width.h"

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "line editor: %s\n", what);
    std::abort();
}

bool isC1(unsigned char lead, unsigned char next) { return lead == 0xC2 && next >= 0x80 && next <= 0x9F; }

// Whole UTF-8 characters, with no C0 or C1 control and no DEL among them.
bool isWholeUtf8WithoutControls(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        if (lead < 0x80) length = 1;
        else if (lead >= 0xC2 && lead <= 0xDF) length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
        if (length == 0 || at + length > text.size()) return false;
        if (length == 1 && (lead < 32 || lead == 127)) return false;
        if (length == 2 && isC1(lead, static_cast<unsigned char>(text[at + 1]))) return false;
        for (std::size_t next = 1; next < length; ++next) {
            if ((static_cast<unsigned char>(text[at + next]) & 0xC0) != 0x80) return false;
        }
        at += length;
    }
    return true;
}

// One row of cells as a terminal draws the echo: a character fills as many
// cells as it takes (a wide one leaves an empty second cell), a combining
// mark joins the cell before, a backspace moves left one cell.
struct EchoRow {
    std::vector<std::string> cells;
    std::size_t cursor = 0;

    void draw(const std::string& echo)
    {
        for (std::size_t at = 0; at < echo.size();) {
            if (echo[at] == '\b') {
                if (cursor == 0) fail("backspace past the start of the line");
                --cursor;
                ++at;
                continue;
            }
            std::size_t length = static_cast<std::size_t>(utf8Length(static_cast<unsigned char>(echo[at])));
            if (length == 0 || at + length > echo.size()) fail("echo with a broken character");
            std::string character = echo.substr(at, length);
            at += length;
            put(character, cellsOf(decodeUtf8(character)));
        }
    }

    void put(const std::string& character, int width)
    {
        if (width == notPrinted) fail("echo of a character that prints nothing");
        if (width == 0) {
            if (cursor == 0) fail("a combining mark with nothing to join");
            std::size_t base = cursor - 1;
            while (base > 0 && cells[base].empty()) --base;
            cells[base] += character;
            return;
        }
        if (cells.size() < cursor + static_cast<std::size_t>(width)) cells.resize(cursor + static_cast<std::size_t>(width));
        cells[cursor++] = character;
        if (width == 2) cells[cursor++].clear();
    }

    // The row's text up to the cursor, and nothing but blanks after it.
    std::string shown() const
    {
        std::string text;
        for (std::size_t cell = 0; cell < cells.size(); ++cell) {
            if (cell < cursor) text += cells[cell];
            else if (cells[cell] != " ") fail("the echo left a character past the cursor");
        }
        return text;
    }
};

std::vector<Key> keysOf(const std::uint8_t* data, std::size_t size)
{
    std::vector<Key> keys;
    for (std::size_t at = 0; at < size; ++at) {
        int byte = data[at];
        if ((byte == 0 || byte == 224) && at + 1 < size) {
            keys.push_back(Key{byte, data[++at]});
        } else if (byte == 254 && at + 2 < size) {
            keys.push_back(Key{static_cast<std::int16_t>(data[at + 1] | data[at + 2] << 8), -1});
            at += 2;
        } else {
            keys.push_back(Key{byte, -1});
        }
    }
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    LineEditor editor = startLine(data[0] % 64);
    EchoRow row;
    for (const Key& key : keysOf(data + 1, size - 1)) {
        const bool wasOver = editor.finished || editor.interrupted;
        const std::string before = editor.text;
        const std::string echo = editLine(editor, key);

        if (wasOver && (!echo.empty() || editor.text != before)) fail("a finished line changed");
        row.draw(echo);
        if (editor.text.size() > editor.limit) fail("text past its limit");
        if (!isWholeUtf8WithoutControls(editor.text)) fail("text with a broken character or a control");
        if (row.shown() != editor.text) fail("the screen and the stored text differ");
        if (!isTwoCodeKey(key) && !wasOver) {
            if (key.code == enterKey && !editor.finished) fail("Enter did not end the line");
            if (key.code == ctrlCKey && !editor.interrupted) fail("Ctrl-C did not end the line");
        }
    }
    return 0;
}
