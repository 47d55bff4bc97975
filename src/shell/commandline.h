// The program's command-line arguments.
#pragma once

#include "search/searchdata.h"

struct CommandLine {
    int hashMegabytes = 16;
    bool xboard = false;
    bool test = false;              // "-test SUITE RESULTS SECONDS DEPTH" was given
    const char* suite = nullptr;
    const char* results = nullptr;
    int seconds = 0;
    int depth = 0;
    SearchKind searchKind = SearchKind::Classic;  // "-search classic|modern"
    bool bench = false;             // "bench": run the benchmark and exit
    bool help = false;              // "-help" or "--help": show the usage and exit
    const char* error = nullptr;    // what is wrong with the arguments, nullptr when nothing
};

// Reads "-xboard", "-hash N", "-search KIND", "-test ...", "bench" and "-help" from the arguments after the program
// path. "-xboard" counts as the first argument only; any other word, a missing or
// malformed number and a short "-test" are errors, described in error.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text that "-help" prints.
const char* UsageText();
