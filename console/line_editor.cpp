#include "console/line_editor.h"

#include "console/console.h"

namespace {

// How many bytes a UTF-8 character starting with this byte has; 0 for a byte
// that cannot start one.
int utf8Length(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool isContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Removes the last character, all its bytes; returns whether one was removed.
bool eraseLastCharacter(std::string& text)
{
    if (text.empty()) return false;
    std::size_t end = text.size() - 1;
    while (end > 0 && isContinuationByte(static_cast<unsigned char>(text[end]))) --end;
    text.erase(end);
    return true;
}

// Stores a whole character if it fits, so a line is never cut inside one.
std::string storeCharacter(LineEditor& editor, const std::string& character)
{
    if (editor.text.size() + character.size() > editor.limit) return {};
    editor.text += character;
    return character;
}

std::string takeByte(LineEditor& editor, unsigned char byte)
{
    if (editor.continuationLeft > 0) {
        if (isContinuationByte(byte)) {
            editor.partial.push_back(static_cast<char>(byte));
            if (--editor.continuationLeft > 0) return {};
            std::string character;
            character.swap(editor.partial);
            return storeCharacter(editor, character);
        }
        // A broken character is dropped whole; this byte is judged afresh.
        editor.partial.clear();
        editor.continuationLeft = 0;
    }
    int length = utf8Length(byte);
    if (length == 0) return {};
    if (length == 1) {
        if (byte < 32 || byte == 127) return {};
        return storeCharacter(editor, std::string(1, static_cast<char>(byte)));
    }
    editor.partial.assign(1, static_cast<char>(byte));
    editor.continuationLeft = length - 1;
    return {};
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
    case backspaceKey:
        editor.partial.clear();
        editor.continuationLeft = 0;
        return eraseLastCharacter(editor.text) ? "\b \b" : "";
    default:
        if (key.code < 0 || key.code > 255) return {};
        return takeByte(editor, static_cast<unsigned char>(key.code));
    }
}
