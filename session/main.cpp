#include <ctime>

#include "console/console.h"
#include "lexicon/random_number.h"
#include "session/play_session.h"
#include "session/title_screen.h"

int main()
{
    openConsole();
    seedRandom(static_cast<unsigned>(std::time(nullptr)));
    showTitle();
    playSession();
}
