// Ctrl-C: at the console it ends the program as "quit" does; under xboard and UCI it is
// ignored (xboard may send the signal before its commands).
#pragma once

struct Engine;

// Keeps the interrupt signal from every thread started after this call, so that it can
// only be taken by the watcher. Call first thing, before any thread starts.
void BlockInterrupt();

// Starts the thread that takes each interrupt: it ends the program while the Engine's
// interruptQuits is set and drops the signal otherwise.
void StartInterruptWatch(Engine& e);
