// Pawn structure: centre control, passed, doubled, isolated and backward pawns, file maps.
#include "eval/pawns.h"

#include <algorithm>

#include "board/geometry.h"
#include "engine.h"

// Structure tunables, in pawn = 900 units.
constexpr int DefendedPasserBonus = 100;     // a passer with a pawn beside or behind it
constexpr int LoneRank5Penalty = 75;         // a non-passer on the fifth rank with no neighbour
constexpr int DoubledPenaltyAFile = 50;
constexpr int DoubledPenalty = 100;
constexpr int TripledPenalty = 200;
constexpr int IsolatedPenaltyAFile = 50;     // per pawn
constexpr int IsolatedPenalty = 100;         // per pawn
constexpr int IsolatedRank3Penalty = 40;     // isolated and eyed by an enemy pawn from the side
constexpr int BackwardPenalty = 50;
constexpr int WingUnits[4] = {0, 4, 7, 10};  // by wing passer level 1..3
constexpr int SpreadOpenSpan = 4;            // openSpan above this: the pawns are spread

// Extra penalty by the number of isolated pawns of one side (4 and more alike).
static int IsolatedTotalPenalty(int total) {
    return total >= 4 ? 350 : total == 3 ? 225 : total == 2 ? 100 : 0;
}

// Working sums of one structure evaluation.
struct PawnScan {
    int32_t structure = 0;   // S, White-relative
    int16_t control = 0;     // C, kept in 16 bits like the stored score
    int white[10] = {};      // White pawns per file 1..8 (0 and 9 stay 0)
    int black[10] = {};
    int whiteWingA = 0;      // best passer level on files a-b
    int whiteWingH = 0;      // best passer level on files g-h
    int blackWingA = 0;
    int blackWingH = 0;
    uint8_t flags = 0;
};

// True when a Black pawn stands on the pawn's file or a neighbour, above it up to rank 7.
static bool BlackPawnAhead(const int32_t* board, int p) {
    for (int sq = p + 1; rankOf[sq] != 0 && rankOf[sq] <= 7; sq++)
        if (board[sq] == -Pawn || board[sq - 10] == -Pawn || board[sq + 10] == -Pawn)
            return true;
    return false;
}

// True when a White pawn stands on the pawn's file or a neighbour, below it down to rank 2.
static bool WhitePawnAhead(const int32_t* board, int p) {
    for (int sq = p - 1; rankOf[sq] >= 2; sq--)
        if (board[sq] == Pawn || board[sq - 10] == Pawn || board[sq + 10] == Pawn)
            return true;
    return false;
}

// Raises a wing tracker of the passer's side when the passer stands on files a-b or g-h.
static void NoteWingPasser(int file, int level, int& wingA, int& wingH) {
    if (file <= 2)
        wingA = std::max(wingA, level);
    else if (file >= 7)
        wingH = std::max(wingH, level);
}

// Centre control, file count and passed-pawn terms of one White pawn.
static void ScanWhitePawn(const int32_t* b, int p, PawnScan& ps) {
    int rank = rankOf[p];
    int attacked = centreTable[p - 9] + centreTable[p + 11];
    ps.control = int16_t(ps.control + attackerWeight[Pawn] * attacked);
    if (rank > 3 && b[p + 10] == Pawn)
        ps.control = int16_t(ps.control + 2 * centreTable[p] + 2 * centreTable[p + 10]);
    ps.white[fileOf[p]]++;
    bool passed = !BlackPawnAhead(b, p);
    if (!passed && rank == 6 && b[p + 1] != -Pawn) {
        int c = (b[p - 11] == Pawn) + (b[p + 9] == Pawn)
              - (b[p + 11] == -Pawn) - (b[p - 9] == -Pawn);
        passed = c >= 0;
    }
    if (!passed && rank == 5 && b[p + 1] != -Pawn && b[p + 2] != -Pawn) {
        int c = (b[p + 10] == Pawn) + (b[p - 10] == Pawn)
              - (b[p + 12] == -Pawn) - (b[p - 8] == -Pawn);
        passed = c >= 0;
    }
    if (passed) {
        ps.structure += passedPawnValue[rank];
        ps.flags |= WhitePasserFlag;
        if (b[p - 11] == Pawn || b[p + 9] == Pawn || b[p + 10] == Pawn || b[p - 10] == Pawn)
            ps.structure += DefendedPasserBonus;
        int level = rank < 4 ? 1 : rank == 4 ? 2 : 3;
        NoteWingPasser(fileOf[p], level, ps.whiteWingA, ps.whiteWingH);
    } else if (rank == 5 && b[p + 10] != Pawn && b[p - 10] != Pawn && b[p - 11] != Pawn
               && b[p + 9] != Pawn && b[p - 9] != Pawn && b[p + 11] != Pawn) {
        ps.structure -= LoneRank5Penalty;
    }
}

// Centre control, file count and passed-pawn terms of one Black pawn.
static void ScanBlackPawn(const int32_t* b, int p, PawnScan& ps) {
    int rank = rankOf[p];
    int attacked = centreTable[p - 11] + centreTable[p + 9];
    ps.control = int16_t(ps.control - attackerWeight[Pawn] * attacked);
    if (rank < 6 && b[p + 10] == -Pawn)
        ps.control = int16_t(ps.control - 2 * (centreTable[p] + centreTable[p + 10]));
    ps.black[fileOf[p]]++;
    bool passed = !WhitePawnAhead(b, p);
    if (!passed && rank == 3 && b[p - 1] != Pawn) {
        int c = (b[p + 11] == -Pawn) + (b[p - 9] == -Pawn)
              - (b[p + 9] == Pawn) - (b[p - 11] == Pawn);
        passed = c >= 0;
    }
    if (!passed && rank == 4 && b[p - 1] != Pawn && b[p - 2] != Pawn) {
        int c = (b[p + 10] == -Pawn) + (b[p - 10] == -Pawn)
              - (b[p + 8] == Pawn) - (b[p - 12] == Pawn);
        passed = c >= 0;
    }
    if (passed) {
        ps.structure -= passedPawnValue[9 - rank];
        ps.flags |= BlackPasserFlag;
        if (b[p - 9] == -Pawn || b[p + 11] == -Pawn || b[p + 10] == -Pawn || b[p - 10] == -Pawn)
            ps.structure -= DefendedPasserBonus;
        int level = rank > 5 ? 1 : rank == 5 ? 2 : 3;
        NoteWingPasser(fileOf[p], level, ps.blackWingA, ps.blackWingH);
    } else if (rank == 4 && b[p + 10] != -Pawn && b[p - 10] != -Pawn && b[p - 9] != -Pawn
               && b[p + 11] != -Pawn && b[p - 11] != -Pawn && b[p + 9] != -Pawn) {
        ps.structure += LoneRank5Penalty;
    }
}

// Doubled and isolated pawns of one side from its per-file counts, as a penalty (>= 0).
static int DoubledAndIsolated(const int* count) {
    int penalty = 0;
    int isolated = 0;
    for (int f = 1; f <= 8; f++) {
        int n = count[f];
        if (n == 2)
            penalty += f == 1 ? DoubledPenaltyAFile : DoubledPenalty;
        else if (n >= 3)
            penalty += TripledPenalty;
        if (n > 0 && count[f - 1] == 0 && count[f + 1] == 0) {
            penalty += (f == 1 ? IsolatedPenaltyAFile : IsolatedPenalty) * n;
            isolated += n;
        }
    }
    return penalty + IsolatedTotalPenalty(isolated);
}

// True when a White pawn stands on a file next to p at p's rank or below (down to rank 2).
static bool WhiteNeighbourBehind(const int32_t* b, int p) {
    for (int sq = p; rankOf[sq] >= 2; sq--)
        if (b[sq - 10] == Pawn || b[sq + 10] == Pawn)
            return true;
    return false;
}

// True when a Black pawn stands on a file next to p at p's rank or above (up to rank 7).
static bool BlackNeighbourBehind(const int32_t* b, int p) {
    for (int sq = p; rankOf[sq] != 0 && rankOf[sq] <= 7; sq++)
        if (b[sq - 10] == -Pawn || b[sq + 10] == -Pawn)
            return true;
    return false;
}

// Penalty (>= 0) of one White pawn for being isolated under pressure or backward.
static int WhiteWeakPawn(const int32_t* b, int p, const PawnScan& ps) {
    int f = fileOf[p];
    int rank = rankOf[p];
    if (ps.white[f - 1] == 0 && ps.white[f + 1] == 0) {
        if (rank == 3 && ps.black[f] == 0 && (b[p + 12] == -Pawn || b[p - 8] == -Pawn))
            return IsolatedRank3Penalty;
        return 0;
    }
    if (WhiteNeighbourBehind(b, p) || b[p + 1] == -Pawn)
        return 0;
    if (b[p + 12] == -Pawn || b[p - 8] == -Pawn)
        return BackwardPenalty;
    if (rank <= 3 && b[p + 11] != Pawn && b[p - 9] != Pawn && b[p + 2] != -Pawn
        && (b[p + 13] == -Pawn || b[p - 7] == -Pawn))
        return BackwardPenalty;
    return 0;
}

// Penalty (>= 0) of one Black pawn for being isolated under pressure or backward.
static int BlackWeakPawn(const int32_t* b, int p, const PawnScan& ps) {
    int f = fileOf[p];
    int rank = rankOf[p];
    if (ps.black[f - 1] == 0 && ps.black[f + 1] == 0) {
        if (rank == 6 && ps.white[f] == 0 && (b[p + 8] == Pawn || b[p - 12] == Pawn))
            return IsolatedRank3Penalty;
        return 0;
    }
    if (BlackNeighbourBehind(b, p) || b[p - 1] == Pawn)
        return 0;
    if (b[p + 8] == Pawn || b[p - 12] == Pawn)
        return BackwardPenalty;
    if (rank >= 6 && b[p + 9] != -Pawn && b[p - 11] != -Pawn && b[p - 2] != Pawn
        && (b[p + 7] == Pawn || b[p - 13] == Pawn))
        return BackwardPenalty;
    return 0;
}

// Bitmap of the files (bit f - 1) that hold no pawn of the counted side.
static uint8_t HalfOpenFiles(const int* count) {
    uint8_t bits = 0;
    for (int f = 1; f <= 8; f++)
        if (count[f] == 0)
            bits |= uint8_t(1 << (f - 1));
    return bits;
}

// Sum of the wing units of a side's two trackers.
static int WingUnitsOf(int wingA, int wingH) {
    return WingUnits[wingA] + WingUnits[wingH];
}

// How many of three squares hold a pawn of the given code.
static int PawnsOn(const int32_t* b, int code, int s1, int s2, int s3) {
    return (b[s1] == code) + (b[s2] == code) + (b[s3] == code);
}

// True when the two rams of one of the four closed centre formations stand.
static bool CentreBlocked(const int32_t* b) {
    if (b[MakeSquare(5, 3)] == -Pawn && b[MakeSquare(5, 5)] == -Pawn)
        return PawnsOn(b, Pawn, MakeSquare(4, 3), MakeSquare(5, 4), MakeSquare(4, 5)) >= 2;
    if (b[MakeSquare(5, 4)] == -Pawn && b[MakeSquare(5, 6)] == -Pawn)
        return PawnsOn(b, Pawn, MakeSquare(4, 4), MakeSquare(5, 5), MakeSquare(4, 6)) >= 2;
    if (b[MakeSquare(4, 3)] == Pawn && b[MakeSquare(4, 5)] == Pawn)
        return PawnsOn(b, -Pawn, MakeSquare(5, 3), MakeSquare(4, 4), MakeSquare(5, 5)) >= 2;
    if (b[MakeSquare(4, 4)] == Pawn && b[MakeSquare(4, 6)] == Pawn)
        return PawnsOn(b, -Pawn, MakeSquare(5, 4), MakeSquare(4, 5), MakeSquare(5, 6)) >= 2;
    return false;
}

void EvaluatePawns(const Engine& e, PawnHashEntry& entry) {
    const Position& pos = e.pos;
    const int32_t* b = pos.board;
    const SideState& white = pos.white;
    const SideState& black = pos.black;
    PawnScan ps;

    for (int i = 0; i < white.pawnCount; i++)
        ScanWhitePawn(b, white.pawnSquares[i], ps);
    for (int i = 0; i < black.pawnCount; i++)
        ScanBlackPawn(b, black.pawnSquares[i], ps);

    ps.structure -= DoubledAndIsolated(ps.white);
    for (int i = 0; i < white.pawnCount; i++)
        ps.structure -= WhiteWeakPawn(b, white.pawnSquares[i], ps);
    ps.structure += DoubledAndIsolated(ps.black);
    for (int i = 0; i < black.pawnCount; i++)
        ps.structure += BlackWeakPawn(b, black.pawnSquares[i], ps);

    entry.structureScore = int16_t(ps.structure);
    entry.controlScore = ps.control;
    entry.whiteHalfOpen = HalfOpenFiles(ps.white);
    entry.blackHalfOpen = HalfOpenFiles(ps.black);
    entry.openFiles = entry.whiteHalfOpen & entry.blackHalfOpen;

    int units = 0;
    if (openSpan[entry.whiteHalfOpen] > SpreadOpenSpan)
        units += WingUnitsOf(ps.whiteWingA, ps.whiteWingH);
    if (openSpan[entry.blackHalfOpen] > SpreadOpenSpan)
        units -= WingUnitsOf(ps.blackWingA, ps.blackWingH);
    entry.wingPasserUnits = int8_t(units);

    if (CentreBlocked(b))
        ps.flags |= BlockedCentreFlag;
    entry.pawnFlags = ps.flags;
}
