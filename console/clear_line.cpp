// The Windows console blanks a row with spaces; the screen model erases it.
#include <iostream>
#include <string>

#include "console/console.h"

void clearLine() { std::cout << std::string(clearedColumns, ' '); }
