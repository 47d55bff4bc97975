// Resizing the transposition table on request, and saying so when the size is not granted.
#pragma once

struct Engine;

// Sizes the table as asked (capped at 256 MB; below 1 switches it off) and reports a
// smaller table, or none, when memory runs short.
void ResizeHash(Engine& e, int megabytes);
