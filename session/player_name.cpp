#include "session/player_name.h"

std::string playerName;
