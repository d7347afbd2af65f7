#include <iostream>

#include "console/console.h"
#include "lexicon/phrase_source.h"
#include "screen/closing_sequence.h"
#include "screen/rows.h"

// Only this row is cleared: the rest of the screen keeps what it showed.
constexpr int missingMessageRow = 1;

void lexiconMissing()
{
    blankRow(missingMessageRow);
    pause(1000);
    std::cout << "Sorry, the lexicon files could not be located";
    closeGame("Press ESCAPE to exit ", {"data\\hum.wav", "data\\exit.wav"});
}
