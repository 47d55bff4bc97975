// Wakes the main thread from its pauses as soon as there is something for it to do.
#pragma once

// Ends the main thread's current or next MainThreadPause at once: a token has come in,
// or the search has changed its state (a finished search waits to be reported).
void WakeMainThread();

// Sleeps up to milliseconds, less when WakeMainThread is called during the pause or was
// called since the last pause ended.
void MainThreadPause(int milliseconds);
