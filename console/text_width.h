// What a character does on a terminal: how many cells it takes, or that it
// must never be written at all. The line editor and the POSIX screen agree on
// it, so what a line shows is what it stores, cell for cell.
#pragma once

#include <cstddef>
#include <string>

inline constexpr int notPrinted = -1;

// Cells a code point takes: 1, 2 for a wide one (most emoji, CJK), 0 for a
// combining mark that joins the character before it, notPrinted for a
// control, a format character or anything else that has no place on screen.
int cellsOf(char32_t codePoint);

// The code point of a whole UTF-8 character; a broken one gives notPrinted's
// stand-in, U+FFFFFFFF, which cellsOf refuses.
char32_t decodeUtf8(const std::string& character);

// How many bytes a UTF-8 character starting with this byte has; 0 for a byte
// that cannot start one.
int utf8Length(unsigned char lead);

inline bool isUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Puts UTF-8 characters together byte by byte, the same way on every console:
// a character broken off by a byte that does not continue it is dropped
// whole and that byte is judged afresh; a byte that cannot start a character
// is dropped.
struct Utf8Assembler {
    std::string partial;  // the bytes so far of a character
    int bytesLeft = 0;    // bytes still due of it
};

// Takes one byte; true when it ends a character (a single byte below 0x80
// included), which is then in `character`.
bool assembleUtf8(Utf8Assembler& assembler, unsigned char byte, std::string& character);
