// Far-advanced pawns: the enemy king's distance from the promotion square, free promotion
// squares, connected pawns on the seventh, and pawns that promote by force.
#include "eval/passers.h"

#include "board/attackcount.h"
#include "engine.h"

constexpr int DistanceWeight = 70;     // per square the enemy king stands from promotion
constexpr int DistanceOffset = 110;
constexpr int MinDistance = 3;         // closer kings earn nothing
constexpr int BlockadedByKing = 83;    // the enemy king sits right in front of a sixth-rank pawn
constexpr int FreeSquare = 100;        // nobody stands on the promotion square
constexpr int Promotes = 4000;         // the pawn queens by force
constexpr int ConnectedSeventh = 4000; // a neighbour pawn on the seventh as well
constexpr int WeakDefence = 5000;      // below this enemy material the bonus doubles
constexpr int QueenEnding = 500;       // king and queen each
constexpr int QueenEndingKingAway = 1000;

// Distance term of a passer whose promotion square is the given king distance away.
static int DistanceBonus(int d) {
    return d >= MinDistance ? DistanceWeight * d - DistanceOffset : 0;
}

// True when the king stands on the line between a piece and a square.
static bool KingBetween(int piece, int king, int target) {
    int d = directionTable[piece][king];
    return d != 0 && d == directionTable[king][target];
}

// The rook of a side with a single piece, else its queen, else 0.
static int LonePieceSquare(const SideState& side) {
    if (side.pieceCount != 2)
        return 0;
    if (side.rookCount)
        return side.rookSquares[0];
    if (side.queenCount)
        return side.queenSquares[0];
    return 0;
}

// True when both sides have king and queen and nothing else but pawns.
static bool QueenEndingOnBoard(const Position& p) {
    return p.white.pieceCount == 2 && p.white.queenCount == 1 && p.black.pieceCount == 2
           && p.black.queenCount == 1;
}

// Bonus of White's pawns on the sixth and seventh rank.
static int WhitePassers(const Position& p) {
    const int32_t* b = p.board;
    const SideState& own = p.white;
    const SideState& enemy = p.black;
    int bonus = 0;
    for (int i = 0; i < own.pawnCount; i++) {
        int pawn = own.pawnSquares[i];
        if (rankOf[pawn] == 6) {
            if (b[pawn + 1] == -King)
                bonus -= BlockadedByKing;
            else if (b[pawn + 1] == Empty && !BlackPawnAttackers(p, pawn))
                bonus += DistanceBonus(KingDistance(pawn + 2, enemy.kingSquare));
        } else if (rankOf[pawn] == 7) {
            int queening = pawn + 1;
            int v = DistanceBonus(KingDistance(queening, enemy.kingSquare));
            if (b[queening] == Empty) {
                int piece = LonePieceSquare(own);
                if (piece && fileOf[piece] == fileOf[pawn] && !BlackAttacks(p, queening)
                    && !KingBetween(piece, own.kingSquare, queening)) {
                    bonus += Promotes;
                    continue;
                }
                v += FreeSquare;
            }
            if (enemy.material < WeakDefence)
                v *= 2;
            if (b[pawn + 10] == Pawn)
                v += ConnectedSeventh;
            bonus += v;
            if (QueenEndingOnBoard(p)) {
                bonus += QueenEnding;
                if (KingDistance(enemy.kingSquare, pawn) > 1)
                    bonus += QueenEndingKingAway;
            }
        }
    }
    return bonus;
}

// Bonus of Black's pawns on the third and second rank.
static int BlackPassers(const Position& p) {
    const int32_t* b = p.board;
    const SideState& own = p.black;
    const SideState& enemy = p.white;
    int bonus = 0;
    for (int i = 0; i < own.pawnCount; i++) {
        int pawn = own.pawnSquares[i];
        if (rankOf[pawn] == 3) {
            if (b[pawn - 1] == King)
                bonus -= BlockadedByKing;
            else if (b[pawn - 1] == Empty && !WhitePawnAttackers(p, pawn))
                bonus += DistanceBonus(KingDistance(pawn - 2, enemy.kingSquare));
        } else if (rankOf[pawn] == 2) {
            int queening = pawn - 1;
            int v = DistanceBonus(KingDistance(queening, enemy.kingSquare));
            if (b[queening] == Empty) {
                int piece = LonePieceSquare(own);
                if (piece && fileOf[piece] == fileOf[pawn] && !WhiteAttacks(p, queening)
                    && !KingBetween(piece, own.kingSquare, queening)) {
                    bonus += Promotes;
                    continue;
                }
                v += FreeSquare;
            }
            if (enemy.material < WeakDefence)
                v *= 2;
            if (b[pawn + 10] == -Pawn)
                v += ConnectedSeventh;
            bonus += v;
            if (QueenEndingOnBoard(p)) {
                bonus += QueenEnding;
                if (KingDistance(enemy.kingSquare, pawn) > 1)
                    bonus += QueenEndingKingAway;
            }
        }
    }
    return bonus;
}

void EvaluatePassers(Engine& e, int side) {
    if (side == WhiteSide)
        e.eval.whitePasserBonus = WhitePassers(e.pos);
    else
        e.eval.blackPasserBonus = BlackPassers(e.pos);
}
