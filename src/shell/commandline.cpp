// Command-line arguments: "-xboard", "-hash N", "-test SUITE RESULTS SECONDS DEPTH".
#include "shell/commandline.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// Reads a decimal integer, clamped to the 32-bit range.
static int ReadInt(const char* text) {
    return int(std::clamp<long long>(std::strtoll(text, nullptr, 10), INT32_MIN, INT32_MAX));
}

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine c;
    int args = argc - 1;  // arguments after the program path
    if (args >= 1 && std::strncmp(argv[1], "-xboard", 3) == 0)
        c.xboard = true;
    // "-hash" is recognised by its first two characters, first or second.
    if (args >= 2 && std::strncmp(argv[1], "-hash", 2) == 0)
        c.hashMegabytes = ReadInt(argv[2]);
    else if (args >= 3 && std::strncmp(argv[2], "-hash", 2) == 0)
        c.hashMegabytes = ReadInt(argv[3]);
    for (int i = 1; i <= 3 && i + 4 <= args; i++)
        if (std::strcmp(argv[i], "-test") == 0) {
            c.test = true;
            c.suite = argv[i + 1];
            c.results = argv[i + 2];
            c.seconds = ReadInt(argv[i + 3]);
            c.depth = ReadInt(argv[i + 4]);
            break;
        }
    return c;
}
