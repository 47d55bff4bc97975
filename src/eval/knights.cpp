// Knight outposts (safe from enemy pawns, defended by a pawn) and knights trapped on the rim.
#include "eval/knights.h"

#include "board/geometry.h"
#include "eval/attackcount.h"

constexpr int OutpostNear = 100;            // defended outpost on our half (d4/e4, d5/e5)
constexpr int OutpostFar = 150;             // defended outpost deep in the enemy camp
constexpr int OutpostBlocksPawn = 20;       // an enemy pawn stands right in front
constexpr int OutpostBlocksDoubled = 60;    // two enemy pawns in front
constexpr int UndefendedBlockade = 20;
constexpr int UndefendedBlockadeSupported = 50;
constexpr int RimKnightTrapped = 150;
constexpr int SpreadSpan = 6;               // openSpan from which the pawns count as spread
constexpr int KnightsAgainstSpread = 100;

static constexpr int sq(int rank, int file) { return MakeSquare(rank, file); }

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

// True when a White knight on the rim has both retreat squares taken or covered.
static bool WhiteRimKnightTrapped(const int32_t* b, int n) {
    auto own = [b](int s) { return b[s] > 0; };
    auto enemyPawn = [b](int s) { return b[s] == -Pawn; };
    if (n == sq(4, 1))
        return own(sq(2, 2)) && (own(sq(3, 3)) || enemyPawn(sq(4, 2)) || enemyPawn(sq(4, 4)));
    if (n == sq(5, 1))
        return (own(sq(3, 2)) || enemyPawn(sq(4, 1)) || enemyPawn(sq(4, 3)))
               && (own(sq(4, 3)) || enemyPawn(sq(5, 2)) || enemyPawn(sq(5, 4)));
    if (n == sq(4, 8))
        return own(sq(2, 7)) && (own(sq(3, 6)) || enemyPawn(sq(4, 5)) || enemyPawn(sq(4, 7)));
    if (n == sq(5, 8))
        return (own(sq(3, 7)) || enemyPawn(sq(4, 8)) || enemyPawn(sq(4, 6)))
               && (own(sq(4, 6)) || enemyPawn(sq(5, 7)) || enemyPawn(sq(5, 5)));
    return false;
}

// True when a Black knight on the rim has both retreat squares taken or covered.
static bool BlackRimKnightTrapped(const int32_t* b, int n) {
    auto own = [b](int s) { return b[s] < 0; };
    auto enemyPawn = [b](int s) { return b[s] == Pawn; };
    if (n == sq(5, 1))
        return own(sq(7, 2)) && (own(sq(6, 3)) || enemyPawn(sq(5, 2)) || enemyPawn(sq(5, 4)));
    if (n == sq(4, 1))
        return (own(sq(6, 2)) || enemyPawn(sq(5, 1)) || enemyPawn(sq(5, 3)))
               && (own(sq(5, 3)) || enemyPawn(sq(4, 2)) || enemyPawn(sq(4, 4)));
    if (n == sq(5, 8))
        return own(sq(7, 7)) && (own(sq(6, 6)) || enemyPawn(sq(5, 5)) || enemyPawn(sq(5, 7)));
    if (n == sq(4, 8))
        return (own(sq(6, 7)) || enemyPawn(sq(5, 8)) || enemyPawn(sq(5, 6)))
               && (own(sq(5, 6)) || enemyPawn(sq(4, 7)) || enemyPawn(sq(4, 5)));
    return false;
}

int WhiteKnights(const Position& p) {
    const int32_t* b = p.board;
    int s = 0;
    for (int i = 0; i < p.white.knightCount; i++) {
        int n = p.white.knightSquares[i];
        if (!WhiteOutpost(n)) {
            if (WhiteRimKnightTrapped(b, n))
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
            if (BlackRimKnightTrapped(b, n))
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
