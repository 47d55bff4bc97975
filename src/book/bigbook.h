// The big book: how often each move was played in the opening positions of many games.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "book/bookdata.h"

struct Engine;

constexpr const char* BigBookImageName = "kitebigb.bin";
constexpr int BigBookPlies = 32;        // plies of each game that are counted
constexpr int BigBookProbeSlots = 9;    // slots looked at from a key's home slot
constexpr int BigBookCountLimit = 255;  // a count reaching it halves the entry's counts

// Allocates the empty big book and loads kitebigb.bin from the working folder, else from
// the installed data folder; a missing or damaged image is reported in one line.
void CreateBigBook(Engine& e);

// Replaces the big book with the image at path. On failure prints one line, leaves the
// book empty and returns false.
bool LoadBigBook(Engine& e, const char* path);

// Empties every entry of the big book.
void ClearBigBook(Engine& e);

// Counts one more game playing move m in the position with the given key.
void RecordBigBookMove(Engine& e, uint64_t key, Move m);

// Returns the slot holding key among the BigBookProbeSlots from its home slot, or -1.
int FindBigBookEntry(const Engine& e, uint64_t key);

// Returns the index of the big-book move a random draw picks, weighting the moves by
// their counts, or -1 when the entry is not used (no move played in two games or more).
int PickBigBookMove(const BigBookEntry& entry, uint32_t random);
