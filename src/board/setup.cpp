// Setting up positions and deriving every Position field from the board.
#include "board/setup.h"

#include <cstring>
#include <initializer_list>

#include "board/geometry.h"
#include "board/hashkey.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "board/validate.h"
#include "board/position.h"

// Appends a square to a fixed piece list, refusing to run past its end.
static void AppendSquare(uint8_t* list, int32_t& count, int capacity, int sq) {
    if (count < capacity)
        list[count] = uint8_t(sq);
    count++;
}

void RebuildPosition(Position& p) {
    p.knightPlacement = 0;
    for (SideState* s : {&p.white, &p.black}) {
        s->pieceCount = s->pawnCount = s->material = 0;
        s->rooksOnSeventh = 0;
        s->queenCount = s->rookCount = s->bishopCount = s->knightCount = 0;
    }
    for (int sq = SqA1; sq <= SqH8; sq++) {
        p.white.kingKnightAttacks[sq] = p.black.kingKnightAttacks[sq] = 0;
        p.white.attacks[sq] = p.black.attacks[sq] = 0;
        int code = p.board[sq];
        if (code == 0 || code == Border)
            continue;
        SideState& s = code > 0 ? p.white : p.black;
        switch (code > 0 ? code : -code) {
        case King:
            s.pieceCount++;
            s.kingSquare = uint8_t(sq);
            break;
        case Pawn:
            AppendSquare(s.pawnSquares, s.pawnCount, 8, sq);
            break;
        case Knight:
            AppendSquare(s.knightSquares, s.knightCount, MaxPieceList, sq);
            break;
        case Bishop:
            AppendSquare(s.bishopSquares, s.bishopCount, MaxPieceList, sq);
            break;
        case Rook:
            AppendSquare(s.rookSquares, s.rookCount, MaxPieceList, sq);
            if (rankOf[sq] == (code > 0 ? 7 : 2))
                s.rooksOnSeventh++;
            break;
        case Queen:
            AppendSquare(s.queenSquares, s.queenCount, MaxPieceList, sq);
            break;
        }
        if (code != King && code != -King && code != Pawn && code != -Pawn) {
            s.pieceCount++;
            s.material += PieceValueOf(code);
        }
    }
    for (int sq = SqA1; sq <= SqH8; sq++) {
        if (IsBorder(sq))
            continue;
        for (SideState* s : {&p.white, &p.black}) {
            int count = 0;
            int k = s->kingSquare;
            if (k && k != sq && KingDistance(k, sq) < 2)
                count = 1;
            int knightCode = s == &p.white ? Knight : -Knight;
            for (int step : knightSteps) {
                int from = sq + step;
                if (from >= 0 && from < 120 && p.board[from] == knightCode)
                    count++;
            }
            s->kingKnightAttacks[sq] = uint8_t(count);
        }
    }
}

void ResetPlyStack(Position& p) {
    p.us = p.whiteToMove ? &p.white : &p.black;
    p.them = p.whiteToMove ? &p.black : &p.white;
    p.materialBalance = (p.white.material - p.black.material)
                      + PawnValue * (p.white.pawnCount - p.black.pawnCount);
    std::memset(p.rookFileBalance, 0, sizeof p.rookFileBalance);
    p.knightPlacement = 0;
    for (int sq = SqA1; sq <= SqH8; sq++) {
        int code = p.board[sq];
        if (code == Rook)
            p.rookFileBalance[fileOf[sq]]++;
        else if (code == -Rook)
            p.rookFileBalance[fileOf[sq]]--;
        else if (code == Knight)
            p.knightPlacement += knightSquareValue[sq];
        else if (code == -Knight)
            p.knightPlacement -= knightSquareValue[sq];
    }
    p.gamePly = 0;
    p.currentPly = p.rootPly = p.lastGamePly = p.plyStack;
    PlyRecord& r = *p.plyStack;
    r.reversibleCount = 0;
    r.from = r.to = 0;
    r.promotion = 0;
    p.hashKey = ComputeHashKey(p);
    r.hashKey = p.hashKey;
    p.pawnKey = ComputePawnKey(p);
    r.epSquare = p.epSquare;
    r.castleRights = p.castleRights;
    p.searchPly = 0;
    p.effectivePly = 0;
}

void SetInitialPosition(Position& p) {
    static constexpr int backRank[8] = {Rook, Knight, Bishop, Queen, King, Bishop, Knight, Rook};
    p.whiteToMove = 1;
    p.epSquare = 0;
    p.castleRights = CastleAll;
    for (int sq = SqA1; sq <= SqH8; sq++)
        if (!IsBorder(sq))
            p.board[sq] = 0;
    for (int file = 1; file <= 8; file++) {
        p.board[MakeSquare(1, file)] = backRank[file - 1];
        p.board[MakeSquare(2, file)] = Pawn;
        p.board[MakeSquare(7, file)] = -Pawn;
        p.board[MakeSquare(8, file)] = -backRank[file - 1];
    }
    RebuildPosition(p);
    ResetPlyStack(p);
    GenerateMoves(p);
    MOSSKITE_CHECK_POSITION(p);
}

BoardFields SaveBoardFields(const Position& p) {
    BoardFields f;
    std::memcpy(f.board, p.board, sizeof f.board);
    f.whiteToMove = p.whiteToMove;
    f.castleRights = p.castleRights;
    f.epSquare = p.epSquare;
    return f;
}

SetupResult EnterPosition(Position& p, const BoardFields& previous) {
    SetupResult result;
    if ((result.defect = PositionDefect(p))) {
        std::memcpy(p.board, previous.board, sizeof previous.board);
        p.whiteToMove = previous.whiteToMove;
        p.castleRights = previous.castleRights;
        p.epSquare = previous.epSquare;
        return result;
    }
    if (p.epSquare && !EnPassantSquareConsistent(p)) {
        result.epIgnored = true;
        p.epSquare = 0;
    }
    RebuildPosition(p);
    ResetPlyStack(p);
    GenerateMoves(p);
    MOSSKITE_CHECK_POSITION(p);
    return result;
}
