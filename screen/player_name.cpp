#include "screen/player_name.h"

std::string playerName;
