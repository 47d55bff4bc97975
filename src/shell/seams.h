// The seams of the shell: the search it runs for a move, the sizing of the transposition
// table and the end of the process. A harness that runs the shell inside its own process
// (the command fuzzer) replaces them; left as they are, they are the real ones.
#pragma once

#include <cstdlib>

#include "search/driver.h"
#include "search/transtable.h"

// Ends the process at once with the status: no destructor runs, as the search thread may
// still be using the Engine.
[[noreturn]] inline void EndProcess(int status) {
    std::_Exit(status);
}

struct ShellSeams {
    // The searches for a move that the search thread, the benchmark and the test suite run.
    SearchFunction search = IterativeDeepening;
    // Sizes the transposition table as SetHashSize does; returns the megabytes granted.
    int (*setHashSize)(Engine& e, int megabytes) = SetHashSize;
    // Ends the process once ExitProgram has flushed its output; one that returns is
    // followed by EndProcess.
    void (*endProcess)(int status) = EndProcess;
};
