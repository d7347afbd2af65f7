#pragma once

#include <cstddef>
#include <string>

inline constexpr std::size_t playerNameLimit = 14;

// The player's first name, as typed at the title screen; at most 14 bytes.
inline std::string playerName;
