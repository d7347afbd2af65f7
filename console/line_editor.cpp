#include "console/line_editor.h"

#include "console/console.h"
#include "console/text_width.h"

namespace {

// Where the last UTF-8 character of the text starts.
std::size_t lastCharacterStart(const std::string& text)
{
    std::size_t start = text.size() - 1;
    while (start > 0 && isUtf8Continuation(static_cast<unsigned char>(text[start]))) --start;
    return start;
}

// Removes the last character with the combining marks after it; returns the
// cells it took on screen (0 on an empty line).
int eraseLastCharacter(std::string& text)
{
    while (!text.empty()) {
        std::size_t start = lastCharacterStart(text);
        int cells = cellsOf(decodeUtf8(text.substr(start)));
        text.erase(start);
        if (cells > 0) return cells;
    }
    return 0;
}

std::string eraseEcho(int cells)
{
    const auto count = static_cast<std::size_t>(cells);
    return std::string(count, '\b') + std::string(count, ' ') + std::string(count, '\b');
}

// Stores a whole printable character if it fits, so a line is never cut
// inside one; a combining mark needs a character before it to join.
std::string storeCharacter(LineEditor& editor, const std::string& character)
{
    int cells = cellsOf(decodeUtf8(character));
    if (cells == notPrinted || (cells == 0 && editor.text.empty())) return {};
    if (editor.text.size() + character.size() > editor.limit) return {};
    editor.text += character;
    return character;
}

}  // namespace

LineEditor startLine(std::size_t limit)
{
    LineEditor editor;
    editor.limit = limit;
    return editor;
}

std::string editLine(LineEditor& editor, const Key& key)
{
    if (editor.finished || editor.interrupted) return {};
    if (isTwoCodeKey(key)) return {};  // arrows and function keys do not edit
    switch (key.code) {
    case enterKey:
        editor.finished = true;
        return {};
    case ctrlCKey:
        editor.interrupted = true;
        return {};
    case backspaceKey: {
        editor.utf8 = {};
        int cells = eraseLastCharacter(editor.text);
        return cells > 0 ? eraseEcho(cells) : "";
    }
    default: {
        std::string character;
        if (key.code < 0 || key.code > 255) return {};
        if (!assembleUtf8(editor.utf8, static_cast<unsigned char>(key.code), character)) return {};
        return storeCharacter(editor, character);
    }
    }
}
