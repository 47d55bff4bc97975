// Draw detection from the ply stack and the material counts.
#include "search/draw.h"

#include "board/geometry.h"
#include "engine.h"

// Plies without capture, pawn move or castling after which the game is drawn; the count
// includes the two plies of the move that completes the fifty.
constexpr int FiftyMoveDrawPlies = 102;

// 0 or 1: the colour of the square a bishop stands on.
static int SquareColour(int sq) { return (rankOf[sq] + fileOf[sq]) & 1; }

// True when neither side can mate: no pawns and at most a minor piece each, in the
// combinations that cannot force or even help a mate.
static bool InsufficientMaterial(const Position& p) {
    const SideState& w = p.white;
    const SideState& b = p.black;
    if (w.pawnCount || b.pawnCount || w.pieceCount >= 3 || b.pieceCount >= 3)
        return false;
    auto bareOrMinor = [](const SideState& s) {
        return s.pieceCount == 1 || s.knightCount == 1 || s.bishopCount == 1;
    };
    if ((w.pieceCount == 1 && bareOrMinor(b)) || (b.pieceCount == 1 && bareOrMinor(w)))
        return true;
    return w.bishopCount == 1 && b.bishopCount == 1
        && SquareColour(w.bishopSquares[0]) == SquareColour(b.bishopSquares[0]);
}

bool IsDraw(const Engine& e, int repetitionsNeeded) {
    const Position& p = e.pos;
    const PlyRecord* r = p.currentPly;
    if (r->moveCount == 0 && r->checkCount == 0)
        return true;
    if (InsufficientMaterial(p))
        return true;
    if (r->reversibleCount >= FiftyMoveDrawPlies)
        return true;
    // Repetitions: the same side to move every second ply, never past the last
    // irreversible move nor below the bottom of the ply stack.
    int reach = r->reversibleCount;
    int below = int(r - p.plyStack);
    if (reach > below)
        reach = below;
    int matches = 0;
    for (int k = 4; k <= reach; k += 2) {
        const PlyRecord* old = r - k;
        if (old->hashKey == r->hashKey && old->castleRights == r->castleRights
            && old->epSquare == r->epSquare && ++matches >= repetitionsNeeded)
            return true;
    }
    return false;
}
