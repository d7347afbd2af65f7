// The game proper: rounds one after another until the player quits.
#pragma once

// Never returns: the session ends through the summary and farewell screens,
// with the totals of the rounds closed so far.
[[noreturn]] void playSession();
