#include <ctime>

#include "console/console.h"
#include "lexicon/random_number.h"
#include "session/closing_screens.h"
#include "session/title_screen.h"

int main()
{
    openConsole();
    seedRandom(static_cast<unsigned>(std::time(nullptr)));
    showTitle();
    showSessionSummary(0, 0);  // rounds are not played yet
}
