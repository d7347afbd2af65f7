// Asking the player for one key out of a few.
#pragma once

#include <functional>

// Writes the prompt and reads a key, folded to lower case; a key the question
// does not accept writes the prompt again and reads another. Returns the
// accepted key.
char askForKey(const std::function<void()>& writePrompt, const std::function<bool(int)>& accepts);
