// Knight outposts (safe from enemy pawns, defended by a pawn) and knights trapped on the rim.
#include "eval/knights.h"

#include "board/attackcount.h"
#include "board/geometry.h"

constexpr int OutpostNear = 100;            // defended outpost on our half (d4/e4, d5/e5)
constexpr int OutpostFar = 150;             // defended outpost deep in the enemy camp
constexpr int OutpostBlocksPawn = 20;       // an enemy pawn stands right in front
constexpr int OutpostBlocksDoubled = 60;    // two enemy pawns in front
constexpr int UndefendedBlockade = 20;
constexpr int UndefendedBlockadeSupported = 50;
constexpr int RimKnightTrapped = 150;
constexpr int SpreadSpan = 6;               // openSpan from which the pawns count as spread
constexpr int KnightsAgainstSpread = 100;

// True on c5-f5, c6-f6, d4 and e4.
static bool WhiteOutpost(int s) {
    int rank = rankOf[s];
    int file = fileOf[s];
    if (rank == 5 || rank == 6)
        return file >= 3 && file <= 6;
    return rank == 4 && (file == 4 || file == 5);
}

// True on c4-f4, c3-f3, d5 and e5.
static bool BlackOutpost(int s) {
    int rank = rankOf[s];
    int file = fileOf[s];
    if (rank == 4 || rank == 3)
        return file >= 3 && file <= 6;
    return rank == 5 && (file == 4 || file == 5);
}

// True when a pawn of the code stands on a file next to s within three ranks in direction.
static bool PawnOnNeighbourFiles(const int32_t* b, int s, int code, int direction) {
    for (int step = 1; step <= 3; step++) {
        int t = s + step * direction;
        if (b[t - 10] == code || b[t + 10] == code)
            return true;
    }
    return false;
}

// True when a White piece stands on a retreat square or a Black pawn guards it.
static bool WhiteRetreatShut(const Position& p, int s) {
    return p.board[s] > 0 || BlackPawnAttackers(p, s);
}

// True when a Black piece stands on a retreat square or a White pawn guards it.
static bool BlackRetreatShut(const Position& p, int s) {
    return p.board[s] < 0 || WhitePawnAttackers(p, s);
}

// True when a White knight on a4, a5, h4 or h5 has both retreats (b2/c3 from a4, b3/c4 from
// a5, mirrored on the h-file) shut; the square two ranks back from a4/h4 counts only when
// an own piece stands on it.
static bool WhiteRimKnightTrapped(const Position& p, int n) {
    int file = fileOf[n];
    int rank = rankOf[n];
    if ((file != 1 && file != 8) || (rank != 4 && rank != 5))
        return false;
    int inward = file == 1 ? 10 : -10;
    int steep = n + inward - 2;       // one file in, two ranks back
    int flat = n + 2 * inward - 1;    // two files in, one rank back
    bool steepShut = rank == 4 ? p.board[steep] > 0 : WhiteRetreatShut(p, steep);
    return steepShut && WhiteRetreatShut(p, flat);
}

// True when a Black knight on a5, a4, h5 or h4 has both retreats (b7/c6 from a5, b6/c5 from
// a4, mirrored on the h-file) shut; the square two ranks back from a5/h5 counts only when
// an own piece stands on it.
static bool BlackRimKnightTrapped(const Position& p, int n) {
    int file = fileOf[n];
    int rank = rankOf[n];
    if ((file != 1 && file != 8) || (rank != 5 && rank != 4))
        return false;
    int inward = file == 1 ? 10 : -10;
    int steep = n + inward + 2;       // one file in, two ranks back
    int flat = n + 2 * inward + 1;    // two files in, one rank back
    bool steepShut = rank == 5 ? p.board[steep] < 0 : BlackRetreatShut(p, steep);
    return steepShut && BlackRetreatShut(p, flat);
}

int WhiteKnights(const Position& p) {
    const int32_t* b = p.board;
    int s = 0;
    for (int i = 0; i < p.white.knightCount; i++) {
        int n = p.white.knightSquares[i];
        if (!WhiteOutpost(n)) {
            if (WhiteRimKnightTrapped(p, n))
                s -= RimKnightTrapped;
            continue;
        }
        if (PawnOnNeighbourFiles(b, n, -Pawn, 1))
            continue;
        if (WhitePawnAttackers(p, n)) {
            s += rankOf[n] < 5 ? OutpostNear : OutpostFar;
            if (b[n + 1] == -Pawn)
                s += b[n + 2] == -Pawn ? OutpostBlocksDoubled : OutpostBlocksPawn;
        } else if (b[n + 1] == -Pawn) {
            s += WhiteAttacks(p, n) ? UndefendedBlockadeSupported : UndefendedBlockade;
        }
    }
    return s;
}

int BlackKnights(const Position& p) {
    const int32_t* b = p.board;
    int s = 0;
    for (int i = 0; i < p.black.knightCount; i++) {
        int n = p.black.knightSquares[i];
        if (!BlackOutpost(n)) {
            if (BlackRimKnightTrapped(p, n))
                s += RimKnightTrapped;
            continue;
        }
        if (PawnOnNeighbourFiles(b, n, Pawn, -1))
            continue;
        if (BlackPawnAttackers(p, n)) {
            s -= rankOf[n] < 5 ? OutpostFar : OutpostNear;
            if (b[n - 1] == Pawn)
                s -= b[n - 2] == Pawn ? OutpostBlocksDoubled : OutpostBlocksPawn;
        } else if (b[n - 1] == Pawn) {
            s -= BlackAttacks(p, n) ? UndefendedBlockadeSupported : UndefendedBlockade;
        }
    }
    return s;
}

int KnightsAndSpread(const Position& p, const PawnHashEntry& entry) {
    if (openSpan[entry.openFiles] < SpreadSpan)
        return 0;
    if (p.white.knightCount > p.black.knightCount)
        return -KnightsAgainstSpread;
    if (p.black.knightCount > p.white.knightCount)
        return KnightsAgainstSpread;
    return 0;
}
