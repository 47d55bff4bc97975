// The program's command-line arguments.
#pragma once

struct CommandLine {
    int hashMegabytes = 16;
    bool xboard = false;
    bool test = false;              // "-test SUITE RESULTS SECONDS DEPTH" was given
    const char* suite = nullptr;
    const char* results = nullptr;
    int seconds = 0;
    int depth = 0;
};

// Reads "-xboard", "-hash N" and "-test ..." from the arguments after the program path.
CommandLine ParseCommandLine(int argc, const char* const* argv);
