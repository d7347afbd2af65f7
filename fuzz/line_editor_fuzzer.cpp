// The line editor over arbitrary keys and limits. After every key the text
// keeps within its limit, and its echo, drawn on the game's own screen model
// as a terminal shows it, leaves exactly that text before the cursor and
// blanks after it: every character of the text was drawn and prints. The
// echo holds no control byte but its backspaces (no C0 or C1 control, no
// DEL). Enter and Ctrl-C end the line, and after that nothing changes.
// Input: the first byte is the limit (0 to 63); then one key a byte, except
// that 0 and 224 take the next byte as their scan code, and 254 takes the
// next two bytes as any code, in or out of range.
#include <cstdint>
#include <string>

#include "console/console.h"
#include "console/line_editor.h"
#include "console/screen_model.h"
#include "fuzz/property.h"

namespace {

void drawEcho(ScreenModel& screen, const std::string& echo)
{
    for (std::size_t at = 0; at < echo.size(); ++at) {
        const auto byte = static_cast<unsigned char>(echo[at]);
        const bool c1 = byte == 0xC2 && at + 1 < echo.size() && static_cast<unsigned char>(echo[at + 1]) < 0xA0;
        check(byte == '\b' || (byte >= 0x20 && byte != 0x7F && !c1), "echo of a control character");
        check(byte != '\b' || screen.column > 1, "backspace past the start of the line");
        writeByte(screen, byte);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    LineEditor editor = startLine(data[0] % 64);
    ScreenModel screen;
    blankScreen(screen);
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
        drawEcho(screen, echo);
        check(editor.text.size() <= editor.limit, "text past its limit");
        check(screen.row == 1 && cellText(screen, 1, 1, screen.column - 1) == editor.text &&
                  cellText(screen, 1, screen.column) == std::string(std::size_t(screenColumns + 1 - screen.column), ' '),
              "the screen and the stored text differ");
        if (wasOver || isTwoCodeKey(key)) continue;
        check(key.code != enterKey || editor.finished, "Enter did not end the line");
        check(key.code != ctrlCKey || editor.interrupted, "Ctrl-C did not end the line");
    }
    return 0;
}
