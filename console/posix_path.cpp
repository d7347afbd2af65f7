// The game writes its paths the Windows way ("lex\\agrp7"); a POSIX system
// opens them with slashes.
#include "console/console.h"

std::string nativePath(const std::string& path)
{
    std::string native = path;
    for (char& character : native) {
        if (character == '\\') character = '/';
    }
    return native;
}
