// The real game in a real terminal: a private tmux server with one 80x25
// pane, started in a scratch working directory that holds its own lex/ and
// data/. Keys go in with send-keys; the screen comes back with capture-pane.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct GameInTmux {
    std::filesystem::path scratch;  // the game's working directory
    std::filesystem::path socket;   // the private tmux server
    std::filesystem::path statusFile;
};

struct GameLaunch {
    int columns = 80;
    int rows = 25;
    std::vector<std::string> environment{"SDL_AUDIODRIVER=dummy"};
    std::string stdinRedirect;  // e.g. "</dev/null"; empty keeps the terminal
    bool wrapForStatus = true;  // false runs the game as the pane's own process
};

// A scratch folder with a copy of the shipped data/ and an empty lex/.
GameInTmux prepareGame();
// Fills lex/ so that every draw gives this phrase.
void writeUniformLexicon(const GameInTmux& game, const std::string& adjective, const std::string& noun,
                         const std::string& verb);
void startGame(GameInTmux& game, const GameLaunch& launch = {});
// Kills the tmux server and removes the scratch folder.
void closeGame(GameInTmux& game);

// Literal text, typed as it stands ("\r" is Enter).
void typeText(const GameInTmux& game, const std::string& text);
// A key by its tmux name: Escape, Enter, C-c.
void pressKey(const GameInTmux& game, const std::string& keyName);
void resizeWindow(const GameInTmux& game, int columns, int rows);
void killPane(const GameInTmux& game);
int paneProcessId(const GameInTmux& game);

// The pane's rows, each padded with blanks to the pane's width.
std::vector<std::string> captureScreen(const GameInTmux& game);
std::string screenText(const GameInTmux& game);
// The text found at (column, row), both counted from 1.
std::string textAt(const std::vector<std::string>& screen, int column, int row, std::size_t length);
std::string rowText(const std::vector<std::string>& screen, int row);

// Waits until the text stands at (column, row); false after the limit.
bool waitForTextAt(const GameInTmux& game, int column, int row, const std::string& text,
                   std::chrono::milliseconds limit = std::chrono::seconds(30));
// Waits until the text stands anywhere on the screen.
bool waitForText(const GameInTmux& game, const std::string& text,
                 std::chrono::milliseconds limit = std::chrono::seconds(30));
// The game's exit status once it has ended (128 + N for signal N).
std::optional<int> waitForExit(const GameInTmux& game, std::chrono::milliseconds limit = std::chrono::seconds(30));
bool processAlive(int processId);
