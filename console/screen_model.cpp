// VT100 cursor moves and erases, the same on every terminal, so nothing
// depends on TERM.
#include "console/screen_model.h"

#include <algorithm>

namespace {

constexpr char blankCell[] = " ";

std::string cursorMove(int column, int row)
{
    return "\x1b[" + std::to_string(row) + ';' + std::to_string(column) + 'H';
}

ScreenRow& cursorRow(ScreenModel& screen) { return screen.cells[static_cast<std::size_t>(screen.row - 1)]; }

// Puts the terminal's cursor where the game left it; at the end of a row, by
// writing that row's last character again, so the next one still wraps.
std::string cursorRestore(const ScreenModel& screen)
{
    if (screen.column <= screenColumns) return cursorMove(screen.column, screen.row);
    const ScreenRow& row = screen.cells[static_cast<std::size_t>(screen.row - 1)];
    const int last = row[screenColumns - 1].empty() ? screenColumns - 1 : screenColumns;
    return cursorMove(last, screen.row) + row[static_cast<std::size_t>(last - 1)];
}

void syncCursor(ScreenModel& screen)
{
    if (!screen.cursorDue) return;
    screen.output += cursorRestore(screen);
    screen.cursorDue = false;
}

void newLine(ScreenModel& screen)
{
    if (screen.row < screenRows) {
        screen.column = 1;
        ++screen.row;
        screen.cursorDue = true;
        return;
    }
    syncCursor(screen);
    screen.output += "\r\n";
    screen.column = 1;
    for (std::size_t row = 1; row < screenRows; ++row) screen.cells[row - 1] = screen.cells[row];
    screen.cells[screenRows - 1].fill(blankCell);
    ++screen.scrolls;
}

// Overwriting either half of a wide character blanks the other half, as a
// terminal does.
void breakWideCharacter(ScreenModel& screen, int column)
{
    ScreenRow& row = cursorRow(screen);
    const auto at = static_cast<std::size_t>(column - 1);
    if (row[at].empty() && at > 0) row[at - 1].assign(1, ' ');
    if (at + 1 < row.size() && row[at + 1].empty()) row[at + 1].assign(1, ' ');
}

// A combining mark joins the character before the cursor.
void joinPreviousCell(ScreenModel& screen, const std::string& mark)
{
    ScreenRow& row = cursorRow(screen);
    auto at = static_cast<std::size_t>(screen.column - 1);
    while (at > 0 && row[at - 1].empty()) --at;
    if (at == 0) return;
    row[at - 1] += mark;
    syncCursor(screen);
    screen.output += mark;
}

// One whole character: it goes to the next row first when it does not fit,
// explicitly, so no terminal's own wrapping rules matter.
void putCharacter(ScreenModel& screen, const std::string& character)
{
    const int cells = cellsOf(decodeUtf8(character));
    if (cells == notPrinted) return;
    if (cells == 0) return joinPreviousCell(screen, character);
    if (screen.column + cells - 1 > screenColumns) newLine(screen);
    syncCursor(screen);
    for (int cell = 0; cell < cells; ++cell) breakWideCharacter(screen, screen.column + cell);
    ScreenRow& row = cursorRow(screen);
    row[static_cast<std::size_t>(screen.column - 1)] = character;
    if (cells == 2) row[static_cast<std::size_t>(screen.column)].clear();
    screen.column += cells;
    screen.output += character;
}

struct ScreenStream : std::streambuf {
    ScreenModel* screen = nullptr;
    void (*flush)() = nullptr;
    int overflow(int character) override
    {
        if (character != traits_type::eof()) writeByte(*screen, static_cast<unsigned char>(character));
        return character;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        for (std::streamsize i = 0; i < count; ++i) writeByte(*screen, static_cast<unsigned char>(text[i]));
        return count;
    }
    int sync() override
    {
        flush();
        return 0;
    }
};

bool blankFrom(const ScreenRow& row, int column)
{
    for (int at = column; at <= screenColumns; ++at) {
        if (row[static_cast<std::size_t>(at - 1)] != blankCell) return false;
    }
    return true;
}

}  // namespace

void blankScreen(ScreenModel& screen)
{
    for (ScreenRow& row : screen.cells) row.fill(blankCell);
    screen.column = 1;
    screen.row = 1;
    screen.output += "\x1b[2J";
    screen.cursorDue = true;
}

bool moveCursor(ScreenModel& screen, int column, int row)
{
    if (column < 1 || column > screenColumns || row < 1 || row > screenRows) return false;
    screen.column = column;
    screen.row = row;
    screen.cursorDue = true;
    return true;
}

void writeByte(ScreenModel& screen, unsigned char byte)
{
    std::string character;
    if (!assembleUtf8(screen.utf8, byte, character)) return;
    switch (character[0]) {
    case '\n':
        return newLine(screen);
    case '\r':
        screen.column = 1;
        break;
    case '\b':
        screen.column = std::max(1, screen.column - 1);
        break;
    default:
        return putCharacter(screen, character);  // other controls print nothing
    }
    screen.cursorDue = true;
}

void blankCells(ScreenModel& screen, int count)
{
    const int last = screen.column + count - 1;
    ScreenRow& row = cursorRow(screen);
    const bool erasable = screen.column <= screenColumns && last <= screenColumns &&
                          !row[static_cast<std::size_t>(screen.column - 1)].empty() && blankFrom(row, last + 1);
    if (!erasable) {
        for (int cell = 0; cell < count; ++cell) writeByte(screen, ' ');
        return;
    }
    for (int at = screen.column; at <= last; ++at) row[static_cast<std::size_t>(at - 1)].assign(1, ' ');
    syncCursor(screen);
    screen.output += "\x1b[K";
    screen.column = last + 1;
    screen.cursorDue = true;
}

std::string takeOutput(ScreenModel& screen, bool withCursor)
{
    if (withCursor) syncCursor(screen);
    std::string bytes;
    bytes.swap(screen.output);
    return bytes;
}

std::string drawAgain(const ScreenModel& screen)
{
    std::string drawing = "\x1b[0m\x1b[2J";
    for (int row = 1; row <= screenRows; ++row) {
        std::string text = cellText(screen, row);
        text.erase(text.find_last_not_of(' ') + 1);
        if (!text.empty()) drawing += cursorMove(1, row) + text;
    }
    return drawing + cursorRestore(screen);
}

std::string cellText(const ScreenModel& screen, int row, int column, int count)
{
    std::string text;
    const ScreenRow& cells = screen.cells.at(static_cast<std::size_t>(row - 1));
    for (int at = column; at < column + count && at <= screenColumns; ++at) {
        text += cells.at(static_cast<std::size_t>(at - 1));
    }
    return text;
}

int rowBelowText(const ScreenModel& screen)
{
    for (int row = screenRows; row >= 1; --row) {
        if (!blankFrom(screen.cells[static_cast<std::size_t>(row - 1)], 1)) return row + 1;
    }
    return 1;
}

std::streambuf& screenStream(ScreenModel& screen, void (*flush)())
{
    static ScreenStream* stream = new ScreenStream;
    stream->screen = &screen;
    stream->flush = flush;
    return *stream;
}
