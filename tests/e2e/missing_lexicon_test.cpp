// A game started without its word lists says so and leaves on Escape.
#include "tests/e2e/e2e_fixture.h"

using MissingLexicon = GameInTerminal;

TEST_F(MissingLexicon, AnEmptyLexFolderGivesTheSorryScreenAndStatus0)
{
    startGame(game);
    enterName("Ann");
    ASSERT_TRUE(shows(1, 1, "Sorry, the lexicon files could not be located"));
    ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
    typeText(game, "q\r");
    EXPECT_FALSE(waitForExit(game, std::chrono::milliseconds(400)).has_value());
    pressKey(game, "Escape");
    EXPECT_EQ(waitForExit(game), 0);
}
