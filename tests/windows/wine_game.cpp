#include "tests/windows/wine_game.h"

#include <stdlib.h>

#include <cstdlib>

namespace {

WineRun theRun;

std::string quoted(const std::filesystem::path& path) { return std::string("'").append(path.string()).append("'"); }

::testing::AssertionResult runs(const std::string& command)
{
    if (std::system(command.c_str()) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "failed: " << command;
}

// Unpacks the zip and boots the prefix. Wine that cannot run fails the whole
// tier: the Windows build is never let off as skipped.
class WineEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(runs("wine --version >/dev/null 2>&1")) << "wine does not run; ./test.sh installs wine and wine64";
        ASSERT_TRUE(runs("tmux -V >/dev/null")) << "./test.sh installs tmux";
        std::string pattern = (std::filesystem::temp_directory_path() / "hkh-wine-XXXXXX").string();
        theRun.folder = mkdtemp(pattern.data());
        ASSERT_TRUE(std::filesystem::exists(HKH_WINDOWS_ZIP)) << "scripts/package-windows.sh builds " HKH_WINDOWS_ZIP;
        ASSERT_TRUE(runs("cd " + quoted(theRun.folder) + " && cmake -E tar xf '" HKH_WINDOWS_ZIP "'"));
        theRun.unpacked = theRun.folder / "happy-koalas-hum-1.0";

        // Every wine started from here on, in a pane or not, uses this prefix;
        // wine also wants a home, which a bare CI environment may not name.
        theRun.prefix = theRun.folder / "prefix";
        setenv("HOME", theRun.folder.c_str(), 0);
        setenv("WINEPREFIX", theRun.prefix.c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        // No .NET or HTML engine to offer; sound through PulseAudio alone, and
        // only where a test names a server (see WineGame::environment).
        ASSERT_TRUE(runs("WINEDLLOVERRIDES='mscoree,mshtml=' wineboot -i >/dev/null 2>&1"));
        ASSERT_TRUE(runs("wine reg add 'HKCU\\Software\\Wine\\Drivers' /v Audio /t REG_SZ /d pulse /f >/dev/null 2>&1"));
    }

    void TearDown() override
    {
        // Ends this prefix's server and whatever still runs in it.
        if (!theRun.prefix.empty()) runs("wineserver -k >/dev/null 2>&1");
        std::error_code ignored;
        if (!theRun.folder.empty()) std::filesystem::remove_all(theRun.folder, ignored);
    }
};

[[maybe_unused]] auto* const registered = ::testing::AddGlobalTestEnvironment(new WineEnvironment);

}  // namespace

const WineRun& wineRun() { return theRun; }

void WineGame::SetUp()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    game = theRun.folder / (std::string(test->test_suite_name()) + "." + test->name());
    std::filesystem::copy(theRun.unpacked, game, std::filesystem::copy_options::recursive);
}

void WineGame::TearDown()
{
    if (started) {
        // A game left running would go on in the prefix after its pane.
        bool ended = waitForExit(pane, std::chrono::milliseconds(0)).has_value();
        stopPane(pane);
        if (!ended) runs("wineserver -k >/dev/null 2>&1");
    }
    std::error_code ignored;
    std::filesystem::remove_all(game, ignored);
}

void WineGame::startGame(int columns, int rows)
{
    PaneLaunch launch;
    launch.command = "stty -isig; wine happy-koalas-hum.exe 2>>wine.log";
    launch.directory = game;
    launch.columns = columns;
    launch.rows = rows;
    launch.environment = environment;
    pane = startPane(launch);
    // Wine needs the processor more than the screen needs reading often.
    pane.pollInterval = std::chrono::milliseconds(60);
    started = true;
}

::testing::AssertionResult WineGame::shows(int column, int row, const std::string& text)
{
    if (waitForTextAt(pane, column, row, text)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" is not at (" << column << ", " << row
                                         << "); the screen was:\n"
                                         << screenText(captureScreen(pane));
}

void WineGame::pressEscape() { typeText(pane, "\x1b\x1b"); }

void WineGame::enterName(const std::string& name)
{
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    typeText(pane, "n");
    ASSERT_TRUE(shows(1, 22, "What is your first name?  "));
    typeText(pane, name + "\r");
}
