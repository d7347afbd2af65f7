// Line clearing is plain text, the same on every console.
#include <iostream>
#include <string>

#include "console/console.h"

void clearLine() { std::cout << std::string(clearedColumns, ' '); }
