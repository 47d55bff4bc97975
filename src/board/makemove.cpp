// MakeMove and UnmakeMove: small incremental updates of every derived field, exact undo.
#include "board/makemove.h"

#include <cassert>

#include "board/geometry.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "board/position.h"

// The squares and rights of one side's castling and rook bookkeeping; White's and Black's
// values side by side.
template <bool White>
struct SideRules {
    static constexpr int sign = White ? 1 : -1;
    static constexpr int ahead = sign;
    static constexpr int lastRank = White ? 8 : 1;
    static constexpr int seventhRank = White ? 7 : 2;
    static constexpr int kingRight = White ? CastleWhiteKing : CastleBlackKing;
    static constexpr int queenRight = White ? CastleWhiteQueen : CastleBlackQueen;
    static constexpr int kingHome = White ? SqE1 : SqE8;
    static constexpr int kingRookHome = White ? SqH1 : SqH8;
    static constexpr int queenRookHome = White ? SqA1 : SqA8;
    static constexpr int kingCastleTo = White ? SqG1 : SqG8;
    static constexpr int queenCastleTo = White ? SqC1 : SqC8;
    static constexpr int kingRookTo = White ? SqF1 : SqF8;
    static constexpr int queenRookTo = White ? SqD1 : SqD8;
};

// Overwrites a square of a piece list in place; returns its slot.
static inline int ReplaceSquare(uint8_t* list, int count, int from, int to) {
    for (int i = 0; i < count; i++)
        if (list[i] == from) {
            list[i] = uint8_t(to);
            return i;
        }
    assert(!"square missing from its piece list");
    return 0;
}

// Removes a square from a piece list, the last entry taking its slot; returns the slot.
static inline int RemoveSquare(uint8_t* list, int32_t& count, int sq) {
    for (int i = 0; i < count; i++)
        if (list[i] == sq) {
            list[i] = list[--count];
            return i;
        }
    assert(!"square missing from its piece list");
    return 0;
}

// Undoes RemoveSquare: the entry now in the slot goes back to the end, sq into the slot.
static inline void RestoreSquare(uint8_t* list, int32_t& count, int slot, int sq) {
    list[count++] = list[slot];
    list[slot] = uint8_t(sq);
}

// Adds a square at the end of a piece list.
static inline void AppendSquare(uint8_t* list, int32_t& count, int sq) {
    list[count++] = uint8_t(sq);
}

// Adds delta to a side's king-and-knight counts on the squares a knight on sq reaches.
static inline void AddKnightReach(uint8_t* counts, int sq, int delta) {
    for (int step : knightSteps)
        counts[sq + step] = uint8_t(counts[sq + step] + delta);
}

// Adds delta to a side's king-and-knight counts on the squares a king on sq reaches.
static inline void AddKingReach(uint8_t* counts, int sq, int delta) {
    for (int step : kingSteps)
        counts[sq + step] = uint8_t(counts[sq + step] + delta);
}

// Removes the victim of a capture on t from the enemy's lists, counts, balances and keys.
template <bool White>
static inline void TakeVictim(Position& p, PlyRecord* r, SideState& them, int t, int victim,
                              uint64_t& hash) {
    using R = SideRules<!White>;  // the victim's side
    constexpr int sign = White ? 1 : -1;
    int kind = victim * -sign;
    hash ^= Zobrist(t, victim);
    r->reversibleCount = 0;
    switch (kind) {
    case Pawn:
        p.materialBalance += sign * PawnValue;
        r->capturedSlot = uint8_t(RemoveSquare(them.pawnSquares, them.pawnCount, t));
        p.pawnKey ^= Zobrist(t, victim);
        return;
    case Knight:
        p.knightPlacement += sign * knightSquareValue[t];
        AddKnightReach(them.kingKnightAttacks, t, -1);
        r->capturedSlot = uint8_t(RemoveSquare(them.knightSquares, them.knightCount, t));
        break;
    case Bishop:
        r->capturedSlot = uint8_t(RemoveSquare(them.bishopSquares, them.bishopCount, t));
        break;
    case Rook:
        p.rookFileBalance[fileOf[t]] = int8_t(p.rookFileBalance[fileOf[t]] + sign);
        if (t == R::queenRookHome)
            p.castleRights &= uint8_t(~R::queenRight);
        else if (t == R::kingRookHome)
            p.castleRights &= uint8_t(~R::kingRight);
        else if (rankOf[t] == R::seventhRank)
            them.rooksOnSeventh--;
        r->capturedSlot = uint8_t(RemoveSquare(them.rookSquares, them.rookCount, t));
        break;
    case Queen:
        r->capturedSlot = uint8_t(RemoveSquare(them.queenSquares, them.queenCount, t));
        break;
    default:
        assert(!"a king cannot be captured");
        return;
    }
    them.material -= pieceValue[kind];
    p.materialBalance += sign * pieceValue[kind];
    them.pieceCount--;
}

// Puts a captured piece back into the enemy's lists, counts and balances.
template <bool White>
static inline void ReturnVictim(Position& p, const PlyRecord* r, SideState& them, int t,
                                int victim) {
    using R = SideRules<!White>;
    constexpr int sign = White ? 1 : -1;
    int kind = victim * -sign;
    switch (kind) {
    case Pawn:
        p.materialBalance -= sign * PawnValue;
        RestoreSquare(them.pawnSquares, them.pawnCount, r->capturedSlot, t);
        p.pawnKey ^= Zobrist(t, victim);
        return;
    case Knight:
        p.knightPlacement -= sign * knightSquareValue[t];
        AddKnightReach(them.kingKnightAttacks, t, 1);
        RestoreSquare(them.knightSquares, them.knightCount, r->capturedSlot, t);
        break;
    case Bishop:
        RestoreSquare(them.bishopSquares, them.bishopCount, r->capturedSlot, t);
        break;
    case Rook:
        p.rookFileBalance[fileOf[t]] = int8_t(p.rookFileBalance[fileOf[t]] - sign);
        if (rankOf[t] == R::seventhRank)
            them.rooksOnSeventh++;
        RestoreSquare(them.rookSquares, them.rookCount, r->capturedSlot, t);
        break;
    case Queen:
        RestoreSquare(them.queenSquares, them.queenCount, r->capturedSlot, t);
        break;
    default:
        return;
    }
    them.material += pieceValue[kind];
    p.materialBalance -= sign * pieceValue[kind];
    them.pieceCount++;
}

// Moves the castling rook and records it in the PlyRecord.
static inline void MoveCastleRook(Position& p, PlyRecord* r, SideState& us, int from, int to,
                                  int rook, int sign, uint64_t& hash) {
    r->castleRookFrom = uint8_t(from);
    r->castleRookTo = uint8_t(to);
    p.board[to] = rook;
    p.board[from] = Empty;
    ReplaceSquare(us.rookSquares, us.rookCount, from, to);
    hash ^= Zobrist(from, rook) ^ Zobrist(to, rook);
    r->reversibleCount = 0;
    p.rookFileBalance[fileOf[from]] = int8_t(p.rookFileBalance[fileOf[from]] - sign);
    p.rookFileBalance[fileOf[to]] = int8_t(p.rookFileBalance[fileOf[to]] + sign);
}

// MakeMove for a move of White (or Black) from f to t.
template <bool White>
static void MakeMoveFor(Position& p, int f, int t, int promotion) {
    using R = SideRules<White>;
    constexpr int sign = R::sign;
    SideState& us = White ? p.white : p.black;
    SideState& them = White ? p.black : p.white;
    int32_t* board = p.board;

    // 1-3. New record, the move's pieces, the from square out of the key.
    int oldEp = p.epSquare;
    p.nodeCount++;
    p.searchPly++;
    PlyRecord* prev = p.currentPly;
    PlyRecord* r = prev + 1;
    assert(r < p.plyStack + PlyStackSize);
    p.currentPly = r;
    int moved = board[f];
    int captured = board[t];
    r->mateThreatExtended = prev->mateThreatExtended;
    r->from = uint8_t(f);
    r->to = uint8_t(t);
    r->promotion = int8_t(promotion);
    r->movedPiece = moved;
    r->capturedPiece = captured;
    r->castleRookFrom = 0;
    r->castleRookTo = 0;
    r->epCaptureSquare = 0;
    r->threatMarker = 0;
    p.epSquare = 0;
    uint64_t hash = p.hashKey ^ Zobrist(f, moved);
    r->reversibleCount = prev->reversibleCount + 1;

    // 4. The moving piece.
    bool capture = captured != Empty;
    switch (moved * sign) {
    case Pawn: {
        int slot = ReplaceSquare(us.pawnSquares, us.pawnCount, f, t);
        p.pawnKey ^= Zobrist(f, moved);
        r->reversibleCount = 0;
        if (rankOf[t] == R::lastRank) {
            int kind = promotion * sign;
            if (kind < Knight || kind > Queen)  // a move without its piece becomes a queen
                kind = Queen;
            int piece = kind * sign;
            r->promotion = int8_t(piece);
            us.material += pieceValue[kind];
            p.materialBalance += sign * (pieceValue[kind] - PawnValue);
            us.pieceCount++;
            us.pawnSquares[slot] = us.pawnSquares[--us.pawnCount];
            r->promotedSlot = uint8_t(slot);
            board[t] = piece;
            switch (kind) {
            case Knight:
                p.knightPlacement += sign * knightSquareValue[t];
                AddKnightReach(us.kingKnightAttacks, t, 1);
                AppendSquare(us.knightSquares, us.knightCount, t);
                break;
            case Bishop:
                AppendSquare(us.bishopSquares, us.bishopCount, t);
                break;
            case Rook:
                p.rookFileBalance[fileOf[t]] = int8_t(p.rookFileBalance[fileOf[t]] + sign);
                AppendSquare(us.rookSquares, us.rookCount, t);
                break;
            default:
                AppendSquare(us.queenSquares, us.queenCount, t);
                break;
            }
            hash ^= Zobrist(t, piece);
            break;
        }
        p.pawnKey ^= Zobrist(t, moved);
        hash ^= Zobrist(t, moved);
        board[t] = moved;
        if (t - f == 2 * R::ahead) {
            // The en-passant square is kept only when an enemy pawn could use it.
            if (board[t + 10] == -moved || board[t - 10] == -moved)
                p.epSquare = uint8_t(f + R::ahead);
        } else if (t == oldEp) {
            int c = t - R::ahead;
            r->epCapturedPiece = -moved;
            r->epCaptureSquare = uint8_t(c);
            board[c] = Empty;
            r->capturedSlot = uint8_t(RemoveSquare(them.pawnSquares, them.pawnCount, c));
            p.materialBalance += sign * PawnValue;
            hash ^= Zobrist(c, -moved);
            p.pawnKey ^= Zobrist(c, -moved);
        }
        break;
    }
    case Knight:
        board[t] = moved;
        hash ^= Zobrist(t, moved);
        p.knightPlacement += sign * (knightSquareValue[t] - knightSquareValue[f]);
        AddKnightReach(us.kingKnightAttacks, f, -1);
        AddKnightReach(us.kingKnightAttacks, t, 1);
        ReplaceSquare(us.knightSquares, us.knightCount, f, t);
        break;
    case Bishop:
        board[t] = moved;
        hash ^= Zobrist(t, moved);
        ReplaceSquare(us.bishopSquares, us.bishopCount, f, t);
        break;
    case Queen:
        board[t] = moved;
        hash ^= Zobrist(t, moved);
        ReplaceSquare(us.queenSquares, us.queenCount, f, t);
        break;
    case Rook:
        p.rookFileBalance[fileOf[t]] = int8_t(p.rookFileBalance[fileOf[t]] + sign);
        p.rookFileBalance[fileOf[f]] = int8_t(p.rookFileBalance[fileOf[f]] - sign);
        if (f == R::queenRookHome)
            p.castleRights &= uint8_t(~R::queenRight);
        else if (f == R::kingRookHome)
            p.castleRights &= uint8_t(~R::kingRight);
        else if (rankOf[f] == R::seventhRank)
            us.rooksOnSeventh--;
        if (rankOf[t] == R::seventhRank)
            us.rooksOnSeventh++;
        ReplaceSquare(us.rookSquares, us.rookCount, f, t);
        board[t] = moved;
        hash ^= Zobrist(t, moved);
        break;
    case King:
        AddKingReach(us.kingKnightAttacks, f, -1);
        AddKingReach(us.kingKnightAttacks, t, 1);
        us.kingSquare = uint8_t(t);
        board[t] = moved;
        hash ^= Zobrist(t, moved);
        if (f == R::kingHome) {
            p.castleRights &= uint8_t(~(R::kingRight | R::queenRight));
            if (t == R::kingCastleTo)
                MoveCastleRook(p, r, us, R::kingRookHome, R::kingRookTo, sign * Rook, sign, hash);
            else if (t == R::queenCastleTo)
                MoveCastleRook(p, r, us, R::queenRookHome, R::queenRookTo, sign * Rook, sign, hash);
        }
        break;
    default:
        assert(!"no piece of the side to move on the from square");
        break;
    }

    // 5. The captured piece.
    if (capture)
        TakeVictim<White>(p, r, them, t, captured, hash);

    // 6. Side to move, keys into the record, the new position's moves.
    board[f] = Empty;
    p.whiteToMove ^= 1;
    p.us = &them;
    p.them = &us;
    hash ^= sideToMoveKey;
    p.hashKey = hash;
    r->hashKey = hash;
    r->epSquare = p.epSquare;
    r->castleRights = p.castleRights;
    GenerateMoves(p);
}

// UnmakeMove of a move White (or Black) made.
template <bool White>
static void UnmakeMoveFor(Position& p) {
    using R = SideRules<White>;
    constexpr int sign = R::sign;
    SideState& us = White ? p.white : p.black;
    SideState& them = White ? p.black : p.white;
    int32_t* board = p.board;
    PlyRecord* r = p.currentPly;
    int f = r->from;
    int t = r->to;
    int moved = r->movedPiece;

    // 1-2. Side back, the piece back on its square.
    p.whiteToMove ^= 1;
    p.us = &us;
    p.them = &them;
    board[f] = moved;

    // 3. The moving piece's bookkeeping.
    bool restoreTarget = true;
    switch (moved * sign) {
    case King:
        AddKingReach(us.kingKnightAttacks, f, 1);
        AddKingReach(us.kingKnightAttacks, t, -1);
        us.kingSquare = uint8_t(f);
        if (int rookFrom = r->castleRookFrom) {
            int rookTo = r->castleRookTo;
            board[rookFrom] = sign * Rook;
            board[rookTo] = Empty;
            ReplaceSquare(us.rookSquares, us.rookCount, rookTo, rookFrom);
            board[t] = Empty;
            p.rookFileBalance[fileOf[rookFrom]] = int8_t(p.rookFileBalance[fileOf[rookFrom]] + sign);
            p.rookFileBalance[fileOf[rookTo]] = int8_t(p.rookFileBalance[fileOf[rookTo]] - sign);
            restoreTarget = false;
        }
        break;
    case Knight:
        p.knightPlacement += sign * (knightSquareValue[f] - knightSquareValue[t]);
        AddKnightReach(us.kingKnightAttacks, t, -1);
        AddKnightReach(us.kingKnightAttacks, f, 1);
        ReplaceSquare(us.knightSquares, us.knightCount, t, f);
        break;
    case Bishop:
        ReplaceSquare(us.bishopSquares, us.bishopCount, t, f);
        break;
    case Queen:
        ReplaceSquare(us.queenSquares, us.queenCount, t, f);
        break;
    case Rook:
        if (rankOf[t] == R::seventhRank)
            us.rooksOnSeventh--;
        if (rankOf[f] == R::seventhRank)
            us.rooksOnSeventh++;
        p.rookFileBalance[fileOf[f]] = int8_t(p.rookFileBalance[fileOf[f]] + sign);
        p.rookFileBalance[fileOf[t]] = int8_t(p.rookFileBalance[fileOf[t]] - sign);
        ReplaceSquare(us.rookSquares, us.rookCount, t, f);
        break;
    case Pawn: {
        p.pawnKey ^= Zobrist(f, moved);
        int piece = board[t];
        if (piece == moved) {
            ReplaceSquare(us.pawnSquares, us.pawnCount, t, f);
            p.pawnKey ^= Zobrist(t, moved);
            if (int c = r->epCaptureSquare) {
                int victim = r->epCapturedPiece;
                board[c] = victim;
                RestoreSquare(them.pawnSquares, them.pawnCount, r->capturedSlot, c);
                p.materialBalance += SignedPieceValueOf(victim);
                p.pawnKey ^= Zobrist(c, victim);
                board[t] = Empty;
                restoreTarget = false;
            }
            break;
        }
        // A promotion: the new piece is the last entry of its list.
        int kind = piece * sign;
        switch (kind) {
        case Knight:
            p.knightPlacement -= sign * knightSquareValue[t];
            AddKnightReach(us.kingKnightAttacks, t, -1);
            us.knightCount--;
            break;
        case Bishop:
            us.bishopCount--;
            break;
        case Rook:
            p.rookFileBalance[fileOf[t]] = int8_t(p.rookFileBalance[fileOf[t]] - sign);
            us.rookCount--;
            break;
        default:
            us.queenCount--;
            break;
        }
        us.pieceCount--;
        RestoreSquare(us.pawnSquares, us.pawnCount, r->promotedSlot, f);
        p.materialBalance += SignedPieceValueOf(moved) - SignedPieceValueOf(piece);
        us.material -= pieceValue[kind];
        break;
    }
    default:
        break;
    }

    // 4. The captured piece.
    if (restoreTarget) {
        int captured = r->capturedPiece;
        board[t] = captured;
        if (captured != Empty)
            ReturnVictim<White>(p, r, them, t, captured);
    }

    // 5. The previous record's ply, key and state.
    p.searchPly--;
    PlyRecord* prev = r - 1;
    p.currentPly = prev;
    p.effectivePly = p.searchPly - prev->extensionEighths / 8;
    p.hashKey = prev->hashKey;
    p.epSquare = prev->epSquare;
    p.castleRights = prev->castleRights;
}

void MakeMove(Position& p, Move m) {
    int from = MoveFrom(m);
    int to = MoveTo(m);
    int promotion = MovePromotion(m);
    if (p.whiteToMove)
        MakeMoveFor<true>(p, from, to, promotion);
    else
        MakeMoveFor<false>(p, from, to, promotion);
    MOSSKITE_CHECK_POSITION(p);
}

void UnmakeMove(Position& p) {
    assert(p.currentPly > p.plyStack);
    if (p.whiteToMove)
        UnmakeMoveFor<false>(p);
    else
        UnmakeMoveFor<true>(p);
    MOSSKITE_CHECK_POSITION(p);
}
