// The line editor over arbitrary keys and limits. After every key: the text
// stays within its limit, holds only whole UTF-8 characters and no control
// byte, and is exactly what the echo has put on the screen; once Enter or
// Ctrl-C has ended the line, nothing changes any more.
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

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "line editor: %s\n", what);
    std::abort();
}

std::size_t utf8Length(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool isWholeUtf8WithoutControls(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[at]);
        std::size_t length = utf8Length(lead);
        if (length == 0 || at + length > text.size()) return false;
        if (length == 1 && (lead < 32 || lead == 127)) return false;
        for (std::size_t next = 1; next < length; ++next) {
            if ((static_cast<unsigned char>(text[at + next]) & 0xC0) != 0x80) return false;
        }
        at += length;
    }
    return true;
}

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
    std::vector<std::string> echoedCharacters;  // what the screen shows, a character each
    for (const Key& key : keysOf(data + 1, size - 1)) {
        const bool wasOver = editor.finished || editor.interrupted;
        const std::string before = editor.text;
        const std::string echo = editLine(editor, key);

        if (wasOver && (!echo.empty() || editor.text != before)) fail("a finished line changed");
        if (echo == "\b \b") {
            if (echoedCharacters.empty()) fail("backspace echoed on an empty line");
            echoedCharacters.pop_back();
        } else if (!echo.empty()) {
            if (!isWholeUtf8WithoutControls(echo)) fail("echo is not one whole printable character");
            echoedCharacters.push_back(echo);
            if (echoedCharacters.back().size() > 4) fail("echo holds more than one character");
        }
        if (editor.text.size() > editor.limit) fail("text past its limit");
        if (!isWholeUtf8WithoutControls(editor.text)) fail("text with a broken character or a control byte");
        std::string shown;
        for (const std::string& character : echoedCharacters) shown += character;
        if (shown != editor.text) fail("the screen and the stored text differ");
        if (!isTwoCodeKey(key) && !wasOver) {
            if (key.code == enterKey && !editor.finished) fail("Enter did not end the line");
            if (key.code == ctrlCKey && !editor.interrupted) fail("Ctrl-C did not end the line");
        }
    }
    return 0;
}
