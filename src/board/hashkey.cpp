// Zobrist keys from the piece lists; MakeMove keeps them incrementally.
#include "board/hashkey.h"

#include <initializer_list>

#include "board/geometry.h"
#include "board/position.h"

// XORs the keys of every square of a piece list holding pieces of one code.
static uint64_t ListKey(const uint8_t* squares, int count, int code) {
    uint64_t key = 0;
    for (int i = 0; i < count; i++)
        key ^= Zobrist(squares[i], code);
    return key;
}

uint64_t ComputePawnKey(const Position& p) {
    return ListKey(p.black.pawnSquares, p.black.pawnCount, -Pawn)
         ^ ListKey(p.white.pawnSquares, p.white.pawnCount, Pawn);
}

uint64_t ComputeHashKey(const Position& p) {
    uint64_t key = 0;
    if (p.board[p.white.kingSquare] == King)  // the empty board of a new Engine has no kings
        key ^= Zobrist(p.white.kingSquare, King);
    if (p.board[p.black.kingSquare] == -King)
        key ^= Zobrist(p.black.kingSquare, -King);
    for (int sign : {-1, 1}) {
        const SideState& s = sign > 0 ? p.white : p.black;
        key ^= ListKey(s.queenSquares, s.queenCount, sign * Queen);
        key ^= ListKey(s.rookSquares, s.rookCount, sign * Rook);
        key ^= ListKey(s.bishopSquares, s.bishopCount, sign * Bishop);
        key ^= ListKey(s.knightSquares, s.knightCount, sign * Knight);
    }
    if (p.whiteToMove)
        key ^= sideToMoveKey;
    return key ^ ComputePawnKey(p);
}
