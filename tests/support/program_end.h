// How a run of the game on the test double ended: the status the program
// ended with, or stillWaiting when the game asked for more than was typed.
#pragma once

#include "console/console_double.h"

inline constexpr int stillWaiting = -1;

template <typename Run>
int endOf(Run run)
{
    try {
        run();
    } catch (const ProgramEnded& ended) {
        return ended.status;
    } catch (const ScriptExhausted&) {
    }
    return stillWaiting;
}
