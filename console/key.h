// A key as the keyboard layer decodes it, before it is handed out as codes.
#pragma once

struct Key {
    int code = 0;     // the character's code, or the prefix 0 / 224 of a two-code key
    int second = -1;  // the scan code of a two-code key; -1 for a one-code key
};

inline bool isTwoCodeKey(const Key& key) { return key.second >= 0; }
