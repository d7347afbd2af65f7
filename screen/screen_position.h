// A place on the screen, so each screen can name where it writes.
#pragma once

#include "console/console.h"

struct ScreenPosition {
    int column;  // counted from 1, as setCursor counts
    int row;
};

inline void setCursor(ScreenPosition position) { setCursor(position.column, position.row); }
