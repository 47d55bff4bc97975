// The Position: the board and everything derived from it, with the ply stack.
#pragma once

#include <cstdint>

#include "board/types.h"

// One killer move slot of a PlyRecord.
struct KillerMove {
    uint8_t from;
    uint8_t to;
    int8_t promotion;
};

// Per-side derived state; the same layout for White and Black.
struct SideState {
    uint8_t kingKnightAttacks[120];  // this side's king and knights attacking each square
    uint16_t attacks[120];           // slider attack bits per square (valid after GenerateMoves)
    int32_t pinCount;                // entries in the two pin lists
    int8_t pinDir[120];              // direction of the enemy ray pinning our piece on a square
    uint8_t pinnedSquares[MaxPins];  // squares of pinned pieces, in discovery order
    uint8_t pinnerSquares[MaxPins];  // square of the pinning slider, same index
    int32_t pieceCount;              // pieces other than pawns, king included
    int32_t pawnCount;
    uint8_t pawnSquares[8];          // unordered
    int32_t material;                // knights, bishops, rooks and queens by pieceValue
    uint8_t rooksOnSeventh;          // rooks on rank 7 (White) or rank 2 (Black)
    uint8_t kingSquare;
    int32_t queenCount;
    uint8_t queenSquares[MaxPieceList];
    int32_t rookCount;
    uint8_t rookSquares[MaxPieceList];
    int32_t bishopCount;
    uint8_t bishopSquares[MaxPieceList];
    int32_t knightCount;
    uint8_t knightSquares[MaxPieceList];
    int32_t queenCode;  // 5 for White, -5 for Black
    int32_t rookCode;   // 4 for White, -4 for Black
};

// One record of the ply stack: the move that led to a position and what undoes it.
struct PlyRecord {
    uint8_t from;             // 0 in record 0 and after a null move
    uint8_t to;
    int8_t promotion;
    int32_t movedPiece;       // code that stood on from
    int32_t capturedPiece;    // code that stood on to (0 for en passant)
    uint8_t castleRookFrom;   // rook squares when the move castled, else 0
    uint8_t castleRookTo;
    uint8_t epCaptureSquare;  // pawn removed by en passant, else 0
    int32_t epCapturedPiece;
    KillerMove killerMove[2];
    int32_t killerHits[2];
    uint64_t hashKey;         // key of the position after the move
    MoveListEntry* moves;     // first entry of this ply's legal move list
    int32_t moveCount;
    int32_t movesLeft;
    int32_t extensionEighths;
    int32_t mateThreatExtended;
    int32_t reversibleCount;  // plies since the last capture, pawn move or castling
    int32_t checkCount;
    int32_t bestScore;
    uint8_t epSquare;         // state after the move
    uint8_t castleRights;
    uint8_t recaptureExtended;
    uint8_t squareDefenders;
    uint8_t threatMarker;
    uint8_t capturedSlot;     // list index the captured piece held, so UnmakeMove restores order
    uint8_t promotedSlot;     // pawn-list index of the pawn that promoted
};

// The chess position with its incremental state.
struct Position {
    int32_t checkCount;         // enemy pieces giving check, written by GenerateMoves
    int32_t board[120];         // PieceCode of each Square
    int32_t whiteToMove;        // 1 White, 0 Black
    uint8_t castleRights;       // bits 8 K, 16 Q, 2 k, 4 q
    uint8_t epSquare;           // square passed over by a double step, 0 when none
    int32_t gamePly;            // game moves since set-up
    PlyRecord* plyStack;        // base of the PlyStackSize records
    PlyRecord* currentPly;
    PlyRecord* rootPly;         // current game position
    MoveListEntry* genCursor;   // next free entry while a list is generated
    MoveListEntry* moveArea;    // MoveAreaSize entries shared by all plies
    PlyRecord* lastGamePly;     // furthest record of the game line (for replay)
    uint64_t hashKey;
    uint64_t pawnKey;
    int32_t searchPly;          // moves made since the search root
    int32_t effectivePly;       // searchPly less whole plies of extension
    int32_t materialBalance;    // White minus Black, pawn = 900
    int8_t rookFileBalance[10]; // White minus Black rooks per file 1..8
    int32_t mobilityBalance;    // White minus Black slider mobility, set by GenerateMoves
    int32_t knightPlacement;    // White minus Black knightSquareValue sums
    int64_t nodeCount;          // 64-bit: long analyses pass 2^31 nodes
    SideState white;
    SideState black;
    SideState* us;              // side to move
    SideState* them;
};
