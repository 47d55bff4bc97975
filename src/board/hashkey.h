// Zobrist keys of a position computed from scratch.
#pragma once

#include <cstdint>

struct Engine;

uint64_t ComputeHashKey(const Engine& e);
uint64_t ComputePawnKey(const Engine& e);
