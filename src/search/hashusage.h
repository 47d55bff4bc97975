// How full the transposition table is, as UCI interfaces show it.
#pragma once

struct Engine;

// Permille of the transposition table's entries in use, counted over a sample of its first
// entries; 0 when the table is switched off.
int HashPermille(const Engine& e);
