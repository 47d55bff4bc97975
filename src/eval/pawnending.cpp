// King and pawn endings. Each side's fastest pawn is counted in moves to promotion when the
// defending king cannot catch it or its own king escorts it; the counts decide the race.
#include "eval/pawnending.h"

#include <cstdlib>

#include "board/attackcount.h"
#include "board/geometry.h"
#include "engine.h"

constexpr int WonPawn = 3000;        // the rammed pawn pair is won for one side
constexpr int Opposition = 300;
constexpr int NoCount = 99;          // no unstoppable pawn
constexpr int LoneRacerBase = 4000;  // only one side has an unstoppable pawn
constexpr int RaceStep = 500;        // per move of difference, and for the move in hand
constexpr int CloseRace = 333;       // the side to move wins the race by a single tempo
constexpr int OpenRace = 3000;

// The square of a rank and a file, both 1..8.
static constexpr int SquareOf(int rank, int file) { return MakeSquare(rank, file); }

// True when two squares touch (king distance 1).
static bool Adjacent(int a, int b) {
    return KingDistance(a, b) == 1;
}

// True when a Black pawn stands on the square or beside it on the same rank.
static bool BlackPawnAcross(const int32_t* b, int s) {
    return b[s] == -Pawn || b[s - 10] == -Pawn || b[s + 10] == -Pawn;
}

// True when a White pawn stands on the square or beside it on the same rank.
static bool WhitePawnAcross(const int32_t* b, int s) {
    return b[s] == Pawn || b[s - 10] == Pawn || b[s + 10] == Pawn;
}

// Moves the White pawn needs to promote by force, or NoCount.
static int WhitePawnCount(const Position& p, int pawn) {
    const int32_t* b = p.board;
    int k = p.white.kingSquare;         // attacker
    int d = p.black.kingSquare;         // defender
    bool attackerToMove = p.whiteToMove;
    bool defenderToMove = !p.whiteToMove;
    int rank = rankOf[pawn];
    int n = 8 - rank;
    int q = SquareOf(8, fileOf[pawn]);
    int f = pawn + 1;
    int dq = KingDistance(d, q);
    bool caught = dq < n + 1 || (dq == n + 1 && defenderToMove);
    bool defenderTouches = Adjacent(d, pawn);

    if (rank == 7) {
        if (k == q) {
            bool cornered = (q == SqA8 && (d == SquareOf(7, 3) || d == SqC8))
                            || (q == SqH8 && (d == SquareOf(7, 6) || d == SqF8));
            return cornered ? NoCount : 2;
        }
        return !caught || Adjacent(k, q) ? 1 : NoCount;
    }
    if (rank == 6) {
        if (b[f] == -Pawn || BlackPawnAttackers(p, pawn) > WhitePawnAttackers(p, pawn))
            return NoCount;
        if (d == q || d == f)
            return NoCount;
        if (q == SqA8 && (rankOf[d] >= 7 && fileOf[d] <= 3))
            return NoCount;
        if (q == SqH8 && (rankOf[d] >= 7 && fileOf[d] >= 6))
            return NoCount;
        if (k == f)
            return 3;
        if (k == q && !(defenderToMove && defenderTouches))
            return 3;
        if (!caught)
            return 2;
        if (k == f - 10 || k == f + 10)
            return 2;
        if ((k == q - 10 || k == q + 10) && !defenderTouches)
            return 2;
        if (!attackerToMove && (d == q - 10 || d == q + 10))
            return NoCount;
        if (k == f - 20 || k == f + 20) {
            if (defenderToMove && defenderTouches)
                return NoCount;
            return d == pawn - 10 || d == pawn + 10 ? 3 : 2;
        }
        if (k == pawn + 20) {
            bool held = d == q + 10
                        || (!attackerToMove && (d == k + 2 || d == pawn - 10 || d == pawn - 1
                                                || d == pawn - 11 || d == pawn - 9));
            if (!held)
                return d == pawn - 10 ? 3 : 2;
        }
        if (k == pawn - 20) {
            bool held = d == q - 10
                        || (!attackerToMove && (d == k + 2 || d == pawn + 10 || d == pawn - 1
                                                || d == pawn + 9 || d == pawn + 11));
            if (!held)
                return d == pawn + 10 ? 3 : 2;
        }
        return NoCount;
    }
    if (rank == 5) {
        for (int step = 1; step <= 2; step++)
            if (BlackPawnAcross(b, pawn + step))
                return NoCount;
        if (caught) {
            bool escort = rankOf[k] == 7 && (k == pawn + 2 - 10 || k == pawn + 2 + 10);
            return escort && !(defenderToMove && defenderTouches) ? 3 : NoCount;
        }
        return k == q || k == pawn + 1 || k == pawn + 2 ? 4 : 3;
    }
    if (rank == 4) {
        for (int step = 1; step <= 3; step++)
            if (BlackPawnAcross(b, pawn + step))
                return NoCount;
        if (caught)
            return NoCount;
        return k == q || k == pawn + 1 || k == pawn + 2 || k == pawn + 3 ? 5 : 4;
    }
    return NoCount;
}

// Moves the Black pawn needs to promote by force, or NoCount.
static int BlackPawnCount(const Position& p, int pawn) {
    const int32_t* b = p.board;
    int k = p.black.kingSquare;         // attacker
    int d = p.white.kingSquare;         // defender
    bool attackerToMove = !p.whiteToMove;
    bool defenderToMove = p.whiteToMove;
    int rank = rankOf[pawn];
    int n = rank - 1;
    int q = SquareOf(1, fileOf[pawn]);
    int f = pawn - 1;
    int dq = KingDistance(d, q);
    bool caught = dq < n + 1 || (dq == n + 1 && defenderToMove);
    bool defenderTouches = Adjacent(d, pawn);

    if (rank == 2) {
        if (k == q) {
            bool cornered = (q == SqA1 && (d == SquareOf(2, 3) || d == SqC1))
                            || (q == SqH1 && (d == SquareOf(2, 6) || d == SqF1));
            return cornered ? NoCount : 2;
        }
        return !caught || Adjacent(k, q) ? 1 : NoCount;
    }
    if (rank == 3) {
        if (b[f] == Pawn || WhitePawnAttackers(p, pawn) > BlackPawnAttackers(p, pawn))
            return NoCount;
        if (d == q || d == f)
            return NoCount;
        if (q == SqA1 && (rankOf[d] <= 2 && fileOf[d] <= 3))
            return NoCount;
        if (q == SqH1 && (rankOf[d] <= 2 && fileOf[d] >= 6))
            return NoCount;
        if (k == f)
            return 3;
        if (k == q && !(defenderToMove && defenderTouches))
            return 3;
        if (!caught)
            return 2;
        if (k == f - 10 || k == f + 10)
            return 2;
        if ((k == q - 10 || k == q + 10) && !defenderTouches)
            return 2;
        if (!attackerToMove && (d == q - 10 || d == q + 10))
            return NoCount;
        if (k == f - 20 || k == f + 20) {
            if (defenderToMove && defenderTouches)
                return NoCount;
            return d == pawn - 10 || d == pawn + 10 ? 3 : 2;
        }
        if (k == pawn + 20) {
            bool held = d == q + 10
                        || (!attackerToMove && (d == k - 2 || d == pawn - 10 || d == pawn + 1
                                                || d == pawn - 9 || d == pawn - 11));
            if (!held)
                return d == pawn - 10 ? 3 : 2;
        }
        if (k == pawn - 20) {
            bool held = d == q - 10
                        || (!attackerToMove && (d == k - 2 || d == pawn + 10 || d == pawn + 1
                                                || d == pawn + 11 || d == pawn + 9));
            if (!held)
                return d == pawn + 10 ? 3 : 2;
        }
        return NoCount;
    }
    if (rank == 4) {
        for (int step = 1; step <= 2; step++)
            if (WhitePawnAcross(b, pawn - step))
                return NoCount;
        if (caught) {
            bool escort = rankOf[k] == 2 && (k == pawn - 2 - 10 || k == pawn - 2 + 10);
            return escort && !(defenderToMove && defenderTouches) ? 3 : NoCount;
        }
        return k == q || k == pawn - 1 || k == pawn - 2 ? 4 : 3;
    }
    if (rank == 5) {
        for (int step = 1; step <= 3; step++)
            if (WhitePawnAcross(b, pawn - step))
                return NoCount;
        if (caught)
            return NoCount;
        return k == q || k == pawn - 1 || k == pawn - 2 || k == pawn - 3 ? 5 : 4;
    }
    return NoCount;
}

// Fastest count of a side and whether all its pawns looked at are stuck.
struct Racer {
    int count = NoCount;
    bool immobile = true;
};

// White's fastest unstoppable pawn; a one-move pawn ends the search at once.
static Racer WhiteRacer(const Position& p) {
    const int32_t* b = p.board;
    Racer r;
    for (int i = 0; i < p.white.pawnCount && r.count > 1; i++) {
        int pawn = p.white.pawnSquares[i];
        if (b[pawn + 1] == Empty || b[pawn + 11] == -Pawn || b[pawn - 9] == -Pawn)
            r.immobile = false;
        if (8 - rankOf[pawn] >= r.count)
            continue;  // cannot beat the count already found
        int count = WhitePawnCount(p, pawn);
        if (count < r.count)
            r.count = count;
    }
    return r;
}

// Black's fastest unstoppable pawn; a one-move pawn ends the search at once.
static Racer BlackRacer(const Position& p) {
    const int32_t* b = p.board;
    Racer r;
    for (int i = 0; i < p.black.pawnCount && r.count > 1; i++) {
        int pawn = p.black.pawnSquares[i];
        if (b[pawn - 1] == Empty || b[pawn - 11] == Pawn || b[pawn + 9] == Pawn)
            r.immobile = false;
        if (rankOf[pawn] - 1 >= r.count)
            continue;  // cannot beat the count already found
        int count = BlackPawnCount(p, pawn);
        if (count < r.count)
            r.count = count;
    }
    return r;
}

// One pawn each, rammed on files b-g: a king that wins the enemy pawn, or holds the
// opposition in front of its own pawn, decides. Returns the change of the score.
static int RammedPair(const Position& p) {
    int wp = p.white.pawnSquares[0];
    int bp = p.black.pawnSquares[0];
    int wk = p.white.kingSquare;
    int bk = p.black.kingSquare;
    int file = fileOf[wp];
    if (bp != wp + 1 || file < 2 || file > 7)
        return 0;
    bool centre = file >= 3 && file <= 6;
    if (std::abs(rankOf[wk] - rankOf[bp]) <= 1
        && KingDistance(bk, bp) - KingDistance(wk, bp) + (p.whiteToMove ? 1 : 0) > 1)
        return WonPawn;
    if (std::abs(rankOf[bk] - rankOf[wp]) <= 1
        && KingDistance(wk, wp) - KingDistance(bk, wp) + (p.whiteToMove ? 0 : 1) > 1)
        return -WonPawn;
    if (!p.whiteToMove && rankOf[wk] >= rankOf[wp] && bk == wk + 2
        && (rankOf[wp] == 5 || (rankOf[wp] == 6 && centre)))
        return WonPawn;
    if (p.whiteToMove && rankOf[bk] <= rankOf[bp] && wk == bk - 2
        && (rankOf[bp] == 4 || (rankOf[bp] == 3 && centre)))
        return -WonPawn;
    return 0;
}

void PawnEndgame(Engine& e, int& score) {
    const Position& p = e.pos;

    // 1. One pawn each, rammed.
    if (p.white.pawnCount == 1 && p.black.pawnCount == 1) {
        int won = RammedPair(p);
        if (won) {
            score += won;
            return;
        }
    }

    // 2. Each side's fastest unstoppable pawn.
    Racer white = WhiteRacer(p);
    Racer black = BlackRacer(p);

    // 3. Opposition against a side whose pawns cannot move; a side without pawns has no
    // stuck pawns, so bare kings and the pawnless side of king and pawns are left alone.
    if (p.black.kingSquare == p.white.kingSquare + 2) {
        if (p.white.pawnCount && white.immobile)
            score -= Opposition;
        else if (p.black.pawnCount && black.immobile)
            score += Opposition;
    }

    // 4. The race.
    int tempo = p.whiteToMove ? RaceStep : 0;
    if (white.count != NoCount && black.count == NoCount) {
        score += (6 - white.count) * RaceStep + LoneRacerBase + tempo;
    } else if (black.count != NoCount && white.count == NoCount) {
        score -= (6 - black.count) * RaceStep + LoneRacerBase + (p.whiteToMove ? 0 : RaceStep);
    } else if (white.count != NoCount) {
        int t = 2 * (black.count - white.count) + (p.whiteToMove ? 1 : -1);
        if (t == 1)
            score += CloseRace;
        else if (t == -1)
            score -= CloseRace;
        else if (t > 1)
            score += RaceStep * t + OpenRace;
        else
            score += RaceStep * t - OpenRace;
    }
}
