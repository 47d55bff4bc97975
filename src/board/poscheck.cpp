// Consistency check: every incremental field against a recomputation from the board.
#include "board/poscheck.h"

#include <algorithm>
#include <cstdio>

#include "board/geometry.h"
#include "board/hashkey.h"
#include "board/validate.h"
#include "board/position.h"

// True when a piece list holds exactly the squares of the board that carry the code.
static bool ListMatchesBoard(const Position& p, const uint8_t* list, int count, int capacity,
                             int code) {
    if (count < 0 || count > capacity)
        return false;
    int onBoard = 0;
    for (int sq = SqA1; sq <= SqH8; sq++)
        if (p.board[sq] == code)
            onBoard++;
    if (onBoard != count)
        return false;
    for (int i = 0; i < count; i++) {
        if (p.board[list[i]] != code)
            return false;
        if (std::count(list, list + count, list[i]) != 1)
            return false;
    }
    return true;
}

static std::string CheckSide(const Position& p, const SideState& s, int sign, const char* name) {
    auto fail = [name](const char* what) { return std::string(name) + " " + what; };
    if (!ListMatchesBoard(p, s.pawnSquares, s.pawnCount, 8, sign * Pawn))
        return fail("pawn list");
    if (!ListMatchesBoard(p, s.knightSquares, s.knightCount, MaxPieceList, sign * Knight))
        return fail("knight list");
    if (!ListMatchesBoard(p, s.bishopSquares, s.bishopCount, MaxPieceList, sign * Bishop))
        return fail("bishop list");
    if (!ListMatchesBoard(p, s.rookSquares, s.rookCount, MaxPieceList, sign * Rook))
        return fail("rook list");
    if (!ListMatchesBoard(p, s.queenSquares, s.queenCount, MaxPieceList, sign * Queen))
        return fail("queen list");
    if (p.board[s.kingSquare] != sign * King)
        return fail("kingSquare");
    int pieces = 1 + s.knightCount + s.bishopCount + s.rookCount + s.queenCount;
    if (s.pieceCount != pieces)
        return fail("pieceCount");
    int material = KnightValue * s.knightCount + BishopValue * s.bishopCount
                 + RookValue * s.rookCount + QueenValue * s.queenCount;
    if (s.material != material)
        return fail("material");
    int seventh = 0;
    for (int i = 0; i < s.rookCount; i++)
        if (rankOf[s.rookSquares[i]] == (sign > 0 ? 7 : 2))
            seventh++;
    if (s.rooksOnSeventh != seventh)
        return fail("rooksOnSeventh");
    for (int sq = SqA1; sq <= SqH8; sq++) {
        if (IsBorder(sq))
            continue;
        int count = s.kingSquare != sq && KingDistance(s.kingSquare, sq) < 2 ? 1 : 0;
        for (int step : knightSteps)
            if (p.board[sq + step] == sign * Knight)
                count++;
        if (s.kingKnightAttacks[sq] != count) {
            char what[64];
            std::snprintf(what, sizeof what, "kingKnightAttacks of square %d", sq);
            return fail(what);
        }
    }
    return "";
}

std::string CheckPosition(const Position& p) {
    for (int sq = 0; sq < 120; sq++) {
        int code = p.board[sq];
        if (IsBorder(sq) ? code != Border : (code < -King || code > King))
            return "board cell " + std::to_string(sq);
    }
    if (p.whiteToMove != 0 && p.whiteToMove != 1)
        return "whiteToMove";
    if (p.us != (p.whiteToMove ? &p.white : &p.black) || p.them == p.us)
        return "side pointers";
    std::string side = CheckSide(p, p.white, 1, "White");
    if (side.empty())
        side = CheckSide(p, p.black, -1, "Black");
    if (!side.empty())
        return side;
    int balance = p.white.material - p.black.material
                + PawnValue * (p.white.pawnCount - p.black.pawnCount);
    if (p.materialBalance != balance)
        return "materialBalance";
    int files[10] = {};
    int knights = 0;
    for (int sq = SqA1; sq <= SqH8; sq++) {
        int code = p.board[sq];
        if (code == Rook) files[fileOf[sq]]++;
        if (code == -Rook) files[fileOf[sq]]--;
        if (code == Knight) knights += knightSquareValue[sq];
        if (code == -Knight) knights -= knightSquareValue[sq];
    }
    for (int f = 0; f < 10; f++)
        if (p.rookFileBalance[f] != files[f])
            return "rookFileBalance of file " + std::to_string(f);
    if (p.knightPlacement != knights)
        return "knightPlacement";
    if (p.hashKey != ComputeHashKey(p))
        return "hashKey";
    if (p.pawnKey != ComputePawnKey(p))
        return "pawnKey";
    if (p.castleRights & 1 || p.castleRights > CastleAll)
        return "castleRights bits";
    // A castling right needs its king and rook on their home squares.
    struct HomeSquares { int right, kingSq, king, rookSq, rook; };
    static constexpr HomeSquares homes[4] = {
        {CastleWhiteKing, SqE1, King, SqH1, Rook}, {CastleWhiteQueen, SqE1, King, SqA1, Rook},
        {CastleBlackKing, SqE8, -King, SqH8, -Rook}, {CastleBlackQueen, SqE8, -King, SqA8, -Rook},
    };
    for (const HomeSquares& h : homes)
        if ((p.castleRights & h.right) && (p.board[h.kingSq] != h.king || p.board[h.rookSq] != h.rook))
            return "castleRights without king or rook at home";
    if (p.epSquare && !EnPassantSquareConsistent(p))
        return "epSquare";
    const PlyRecord* r = p.currentPly;
    if (r < p.plyStack || r >= p.plyStack + PlyStackSize)
        return "currentPly outside the ply stack";
    if (r->hashKey != p.hashKey)
        return "record hashKey";
    if (r->epSquare != p.epSquare || r->castleRights != p.castleRights)
        return "record epSquare or castleRights";
    if (p.lastGamePly < p.rootPly || p.rootPly > r)
        return "rootPly and lastGamePly";
    if (r->moves < p.moveArea || r->moves + r->moveCount > p.moveArea + MoveAreaSize)
        return "move list outside the move area";
    return "";
}
