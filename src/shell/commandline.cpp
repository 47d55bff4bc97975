// Command-line arguments: "-xboard", "-hash N", "-search classic|modern",
// "-test SUITE RESULTS SECONDS DEPTH", "bench", "-help".
#include "shell/commandline.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/searchoption.h"

static constexpr int TestArguments = 4;     // SUITE RESULTS SECONDS DEPTH
static constexpr int ErrorTextSize = 160;
static constexpr int QuotedLength = 40;     // a quoted argument is cut after so many characters

static char errorText[ErrorTextSize];

// Reads a number of decimal digits, clamped to the 32-bit range; false for anything else
// (a sign, a letter, nothing at all).
static bool ReadCount(const char* text, int& value) {
    if (!*text)
        return false;
    for (const char* c = text; *c; c++)
        if (*c < '0' || *c > '9')
            return false;
    value = int(std::min<long long>(std::strtoll(text, nullptr, 10), INT32_MAX));
    return true;
}

// Sets the error text from a format with one quoted argument.
static const char* Describe(const char* format, const char* argument) {
    std::snprintf(errorText, sizeof errorText, format, QuotedLength, argument);
    return errorText;
}

const char* UsageText() {
    return "Usage: mosskite [-xboard] [-hash MB] [-search classic|modern]\n"
           "                [-test SUITE RESULTS SECONDS DEPTH | bench]\n"
           "  -xboard        start in xboard mode (as the first argument)\n"
           "  -hash MB       a hash table of MB megabytes, 0 to 256 (default 16)\n"
           "  -search KIND   the tree search: classic (the default) or modern\n"
           "  -test SUITE RESULTS SECONDS DEPTH\n"
           "                 run the test suite SUITE with SECONDS and at most DEPTH plies\n"
           "                 a position, append the report to RESULTS, then exit\n"
           "  bench          run the speed benchmark, print its node count, then exit\n"
           "  -help, --help  show this text and exit\n"
           "Without -test the engine reads its input: an interface starts with \"uci\" or\n"
           "\"xboard\"; at the console \"help\" lists the commands.\n";
}

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine c;
    int searchArguments = 0;  // "-search KIND" words before the current argument
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        int remaining = argc - 1 - i;  // arguments after this one
        if (std::strcmp(arg, "-search") == 0) {
            // The search may be chosen before or after the other arguments.
            if (remaining < 1 || !ReadSearchKind(argv[i + 1], c.searchKind)) {
                c.error = remaining < 1 ? "-search needs classic or modern"
                                        : Describe("-search needs classic or modern, not \"%.*s\"", argv[i + 1]);
                return c;
            }
            i++;
            searchArguments += 2;
            continue;
        }
        if (std::strcmp(arg, "-help") == 0 || std::strcmp(arg, "--help") == 0) {
            c.help = true;
            return c;
        }
        if (std::strncmp(arg, "-xboard", 3) == 0) {
            // Recognised as the first argument only (a search choice aside); elsewhere it
            // changes nothing.
            if (i == 1 + searchArguments)
                c.xboard = true;
        } else if (std::strcmp(arg, "bench") == 0) {
            c.bench = true;
        } else if (std::strcmp(arg, "-test") == 0) {
            if (remaining < TestArguments) {
                c.error = "-test needs four arguments: SUITE RESULTS SECONDS DEPTH";
                return c;
            }
            c.suite = argv[i + 1];
            c.results = argv[i + 2];
            if (!ReadCount(argv[i + 3], c.seconds)) {
                c.error = Describe("-test needs a number of seconds, not \"%.*s\"", argv[i + 3]);
                return c;
            }
            if (!ReadCount(argv[i + 4], c.depth)) {
                c.error = Describe("-test needs a depth in plies, not \"%.*s\"", argv[i + 4]);
                return c;
            }
            c.test = true;
            i += TestArguments;
        } else if (std::strncmp(arg, "-hash", 2) == 0) {
            // "-hash" is recognised by its first two characters.
            if (remaining < 1) {
                c.error = "-hash needs a number of megabytes";
                return c;
            }
            if (!ReadCount(argv[i + 1], c.hashMegabytes)) {
                c.error = Describe("-hash needs a number of megabytes, not \"%.*s\"", argv[i + 1]);
                return c;
            }
            i++;
        } else {
            c.error = Describe("unknown option \"%.*s\"", arg);
            return c;
        }
    }
    return c;
}
