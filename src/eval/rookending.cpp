// Rook endings: no pawns is a draw, one pawn against a well-placed defence is a draw
// (the defending rook on the third rank, or behind from the first), the rest shrinks.
#include "eval/rookending.h"

#include "board/geometry.h"
#include "engine.h"

constexpr int HeldDraw = 2;           // settled score of a held one-pawn ending
constexpr int OnePawnDivisor = 5;     // the defending king is in front but the defence is loose
constexpr int NarrowSpan = 5;         // pawns on few files: fewer winning chances
constexpr int NarrowerSpan = 4;

void RookEndgame(Engine& e, int& score, bool& final, const PawnHashEntry& entry) {
    const Position& p = e.pos;
    const SideState& white = p.white;
    const SideState& black = p.black;
    final = false;
    if (black.pawnCount == 0) {
        if (white.pawnCount == 0) {
            score = 0;
            final = true;
        } else if (white.pawnCount == 1) {
            int pawn = white.pawnSquares[0];
            int king = black.kingSquare;
            if (fileOf[king] == fileOf[pawn] && rankOf[king] > rankOf[pawn]) {
                int rook = black.rookSquares[0];
                bool thirdRank = rankOf[pawn] < 6 && rankOf[rook] == 6
                                 && KingDistance(rook, white.kingSquare) > 1;
                if (thirdRank || (rankOf[pawn] >= 6 && rankOf[rook] <= 2)) {
                    score = HeldDraw;
                    final = true;
                } else {
                    score /= OnePawnDivisor;
                }
            }
        }
    } else if (white.pawnCount == 0 && black.pawnCount == 1) {
        int pawn = black.pawnSquares[0];
        int king = white.kingSquare;
        if (fileOf[king] == fileOf[pawn] && rankOf[king] < rankOf[pawn]) {
            int rook = white.rookSquares[0];
            bool thirdRank = rankOf[pawn] > 3 && rankOf[rook] == 3
                             && KingDistance(rook, black.kingSquare) > 1;
            if (thirdRank || (rankOf[pawn] <= 3 && rankOf[rook] >= 7)) {
                score = -HeldDraw;
                final = true;
            } else {
                score /= OnePawnDivisor;
            }
        }
    }
    if (final)
        return;
    if (openSpan[entry.openFiles] < NarrowSpan)
        score = score * 7 / 8;
    if (openSpan[entry.openFiles] < NarrowerSpan)
        score = score * 7 / 8;
}
