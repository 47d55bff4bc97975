// Zobrist keys of a position computed from scratch.
#pragma once

#include <cstdint>

struct Position;

uint64_t ComputeHashKey(const Position& p);
uint64_t ComputePawnKey(const Position& p);
