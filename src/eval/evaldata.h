// Evaluation state held by the Engine: the pawn hash and the scratch fields of one Evaluate.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "eval/evalterms.h"

// One cached pawn structure, keyed by the position's pawnKey.
struct PawnHashEntry {
    uint32_t keyLow;          // low 32 bits of pawnKey
    uint32_t keyHigh;         // high 32 bits of pawnKey
    int16_t structureScore;   // passed, doubled, isolated and backward pawns, White-relative
    int16_t controlScore;     // centre squares the pawns attack, White-relative
    uint8_t valid;            // 1 once the entry holds a computed structure
    uint8_t openFiles;        // bit f-1 set when file f has no pawn at all
    uint8_t whiteHalfOpen;    // bit f-1 set when file f has no White pawn
    uint8_t blackHalfOpen;    // bit f-1 set when file f has no Black pawn
    uint8_t pawnFlags;        // PawnFlag bits below
    int8_t wingPasserUnits;   // passers on the wings while the pawns are spread; x 10 in Evaluate
};

// Bits of PawnHashEntry::pawnFlags.
enum : uint8_t { WhitePasserFlag = 1, BlackPasserFlag = 2, BlockedCentreFlag = 4 };

// The side argument of the per-side evaluations: WhiteSide or BlackSide (board/types.h).

constexpr int PawnHashSize = 32768;  // entries; a power of two, indexed by the low key bits

struct EvalData {
    PawnHashEntry pawnHash[PawnHashSize];  // two-slot probe, see eval/pawnhash.cpp
    int64_t pawnHashHits = 0;              // probes answered from the table (search statistics)
    // Scratch fields of one Evaluate, White-relative: safety grows when Black's king is unsafe.
    int32_t whiteKingSafety = 0;   // points against White's king (<= 0 normally)
    int32_t whiteKingDanger = 0;   // number of dangers counted around White's king
    int32_t blackKingSafety = 0;   // points against Black's king (>= 0 normally)
    int32_t blackKingDanger = 0;   // number of dangers counted around Black's king
    int32_t whitePasserBonus = 0;  // far-advanced White pawns, added by Evaluate
    int32_t blackPasserBonus = 0;  // far-advanced Black pawns, subtracted by Evaluate
    EvalTrace* trace = nullptr;    // set only while the "eval" command breaks a score down
};
