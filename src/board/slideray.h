// The slider ray walk shared by the attack-map builder and the move generator, so that
// sliders mark their attacks, add mobility, find pins and append moves in one pass.
// Internal to src/board: include it only from attacks.cpp and movegen.cpp.
#pragma once

#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "board/attacks.h"
#include "board/geometry.h"
#include "board/position.h"

// The side's own SideState and its opponent's.
template <int S>
inline SideState& OwnSide(Position& p) {
    if constexpr (S == WhiteSide)
        return p.white;
    else
        return p.black;
}
template <int S>
inline SideState& OtherSide(Position& p) {
    if constexpr (S == WhiteSide)
        return p.black;
    else
        return p.white;
}

// A code known not to be the border's: true when it is side S's piece.
template <int S>
constexpr bool IsOwnNonBorder(int code) {
    if constexpr (S == WhiteSide)
        return code > 0;
    else
        return code < 0;
}

// Piece-code tests from the side's point of view; the border code 7 is neither side's.
// White's codes 1..6 and "empty or White" 0..6 are tested as one unsigned range each.
template <int S>
constexpr bool IsOwnPiece(int code) {
    if constexpr (S == WhiteSide)
        return unsigned(code - 1) < unsigned(King);
    else
        return code < 0;
}
template <int S>
constexpr bool IsEnemyPiece(int code) {
    if constexpr (S == WhiteSide)
        return code < 0;
    else
        return unsigned(code - 1) < unsigned(King);
}
template <int S>
constexpr bool IsEmptyOrEnemy(int code) {
    if constexpr (S == WhiteSide)
        return code <= 0;
    else
        return unsigned(code) < unsigned(Border);
}

// Appends one move to a list: from, to and promotion (0 for other moves) in one store, which
// also clears the excluded mark.
inline void PushMove(MoveListEntry*& cursor, int from, int to, int promotion = 0) {
    static_assert(offsetof(MoveListEntry, key) == 4, "the move takes the first four bytes");
    uint32_t bytes = uint32_t(from) | uint32_t(to) << 8 | uint32_t(uint8_t(promotion)) << 16;
    std::memcpy(static_cast<void*>(cursor), &bytes, sizeof bytes);
    cursor++;
}

// The span of cells whose attack maps a generation pass clears (a1 - 1 to h8 + 1).
constexpr int FirstMapCell = 20;
constexpr int MapCells = 80;

// Clears both sides' attack maps and pin lists and mobilityBalance. The maps are cleared with
// 16-byte stores: a library memset would start a string instruction for these short spans.
inline void ClearMapsAndPins(Position& p) {
    typedef uint16_t Cells8 __attribute__((vector_size(16), aligned(2), may_alias));
    uint16_t* white = &p.white.attacks[FirstMapCell];
    uint16_t* black = &p.black.attacks[FirstMapCell];
#pragma GCC unroll 10
    for (int i = 0; i < MapCells / 8; i++) {
        *reinterpret_cast<Cells8*>(white + 8 * i) = Cells8{};
        *reinterpret_cast<Cells8*>(black + 8 * i) = Cells8{};
    }
    for (SideState* s : {&p.white, &p.black}) {
        for (int i = 0; i < s->pinCount; i++)
            s->pinDir[s->pinnedSquares[i]] = 0;
        s->pinCount = 0;
    }
    p.mobilityBalance = 0;
}

// State of one side's ray walks during one generation pass; kept in locals by the caller.
// A walk with Mark unset only appends moves: the maps, mobility and pins already stand.
template <int S, bool Mark = true>
struct SliderWalk {
    const int32_t* board;
    uint16_t* attacks;        // the walking side's attack map
    SideState* enemy;         // receives the pins of its pieces
    int enemyKing;
    int mobility;             // weights from the walking side's view
    MoveListEntry* cursor;    // where generating walks append moves

    // Records a pin when the enemy piece on t shields its king from the slider on from.
    void PinTest(int from, int t, int d) {
        int king = enemyKing;
        if (directionTable[t][king] != d)
            return;
        int u = t + d;
        while (board[u] == Empty)
            u += d;
        if (u != king || enemy->pinCount >= MaxPins)
            return;
        int n = enemy->pinCount++;
        enemy->pinDir[t] = int8_t(d);
        enemy->pinnedSquares[n] = uint8_t(t);
        enemy->pinnerSquares[n] = uint8_t(from);
    }

    // One ray of a slider: marks every square up to and including the first piece,
    // adds the weights, appends the moves when Generate is set, and tests for a pin.
    template <bool Generate>
    void Ray(int from, int d, uint16_t bit, const int32_t* weight) {
        int t = from + d;
        int code;
        while ((code = board[t]) == Empty) {
            if constexpr (Mark) {
                attacks[t] |= bit;
                mobility += weight[t];
            }
            if constexpr (Generate)
                PushMove(cursor, from, t);
            t += d;
        }
        if (code == Border)
            return;
        if constexpr (Mark) {
            attacks[t] |= bit;
            mobility += weight[t];
        }
        if (IsOwnNonBorder<S>(code))
            return;
        if constexpr (Generate)
            PushMove(cursor, from, t);
        if constexpr (Mark)
            PinTest(from, t, d);
    }

    // A bishop ray toward the opponent: as Ray with the bishop weights, and at the
    // blocker the pawn-blocking terms: a knight standing in front of the bishop's path,
    // and an own pawn whose advance an enemy piece blocks.
    template <bool Generate>
    void ForwardRay(int from, int d, uint16_t bit) {
        constexpr int ahead = S == WhiteSide ? 1 : -1;
        constexpr int ownKnight = S == WhiteSide ? Knight : -Knight;
        constexpr int ownPawn = S == WhiteSide ? Pawn : -Pawn;
        int t = from + d;
        int code;
        while ((code = board[t]) == Empty) {
            if constexpr (Mark) {
                attacks[t] |= bit;
                mobility += bishopMobilityWeight[t];
            }
            if constexpr (Generate)
                PushMove(cursor, from, t);
            t += d;
        }
        if (code == Border)
            return;
        if constexpr (Mark) {
            attacks[t] |= bit;
            mobility += bishopMobilityWeight[t];
        }
        if (IsOwnNonBorder<S>(code)) {
            if constexpr (Mark) {
                if (code == ownKnight)
                    mobility += pawnBlockingWeight[t + d];
                else if (code == ownPawn && IsEnemyPiece<S>(board[t + ahead]))
                    mobility -= pawnBlockingWeight[t];
            }
            return;
        }
        if constexpr (Generate)
            PushMove(cursor, from, t);
        if constexpr (Mark) {
            if (code == -ownKnight)
                mobility += pawnBlockingWeight[t + d];
            PinTest(from, t, d);
        }
    }
};

// Starts a walk for side S on the position.
template <int S, bool Mark = true>
inline SliderWalk<S, Mark> StartWalk(Position& p, MoveListEntry* cursor) {
    SideState& other = OtherSide<S>(p);
    return SliderWalk<S, Mark>{p.board, OwnSide<S>(p).attacks, &other, other.kingSquare, 0,
                               cursor};
}

// Adds a finished walk's mobility to mobilityBalance (White adds, Black subtracts).
template <int S, bool Mark>
inline void FinishWalk(Position& p, const SliderWalk<S, Mark>& w) {
    if constexpr (Mark)
        p.mobilityBalance += S == WhiteSide ? w.mobility : -w.mobility;
}

// Attack-only walk of every slider of side S, in the order rooks, bishops, queens.
template <int S>
inline void BuildSliderAttacksFor(Position& p) {
    SideState& me = OwnSide<S>(p);
    SliderWalk<S> w = StartWalk<S>(p, nullptr);
    for (int i = 0; i < me.rookCount; i++) {
        int s = me.rookSquares[i];
        w.template Ray<false>(s, 1, 0x0080, rookMobilityWeight);
        w.template Ray<false>(s, -1, 0x0040, rookMobilityWeight);
        w.template Ray<false>(s, 10, 0x0010, rookMobilityWeight);
        w.template Ray<false>(s, -10, 0x0020, rookMobilityWeight);
    }
    for (int i = 0; i < me.bishopCount; i++) {
        int s = me.bishopSquares[i];
        if constexpr (S == WhiteSide) {
            w.template Ray<false>(s, 9, 0x0001, bishopMobilityWeight);
            w.template Ray<false>(s, -11, 0x0002, bishopMobilityWeight);
            w.template ForwardRay<false>(s, -9, 0x0008);
            w.template ForwardRay<false>(s, 11, 0x0004);
        } else {
            w.template Ray<false>(s, -9, 0x0008, bishopMobilityWeight);
            w.template Ray<false>(s, 11, 0x0004, bishopMobilityWeight);
            w.template ForwardRay<false>(s, -11, 0x0002);
            w.template ForwardRay<false>(s, 9, 0x0001);
        }
    }
    for (int i = 0; i < me.queenCount; i++) {
        int s = me.queenSquares[i];
        w.template Ray<false>(s, 1, 0x8000, centreTable);
        w.template Ray<false>(s, -1, 0x4000, centreTable);
        w.template Ray<false>(s, 10, 0x1000, centreTable);
        w.template Ray<false>(s, -10, 0x2000, centreTable);
        w.template Ray<false>(s, 9, 0x0100, centreTable);
        w.template Ray<false>(s, -9, 0x0800, centreTable);
        w.template Ray<false>(s, 11, 0x0400, centreTable);
        w.template Ray<false>(s, -11, 0x0200, centreTable);
    }
    FinishWalk<S>(p, w);
}

// Number of enemy pieces giving check to side S's king (the enemy map must be built).
template <int S>
inline int CheckersOf(const Position& p) {
    const SideState& me = S == WhiteSide ? p.white : p.black;
    const SideState& them = S == WhiteSide ? p.black : p.white;
    int k = me.kingSquare;
    uint16_t m = them.attacks[k];
    int pawns;
    if constexpr (S == WhiteSide)
        pawns = (p.board[k - 9] == -Pawn) + (p.board[k + 11] == -Pawn);
    else
        pawns = (p.board[k - 11] == Pawn) + (p.board[k + 9] == Pawn);
    return bitCount[m & 0xFF] + bitCount[m >> 8] + them.kingKnightAttacks[k] + pawns;
}

// True when a pawn of side S attacks the square.
template <int S>
inline bool PawnAttacks(const Position& p, int square) {
    if constexpr (S == WhiteSide)
        return p.board[square - 11] == Pawn || p.board[square + 9] == Pawn;
    else
        return p.board[square - 9] == -Pawn || p.board[square + 11] == -Pawn;
}

// True when side S attacks the square (map, king and knights, pawns).
template <int S>
inline bool Attacked(const Position& p, int square) {
    const SideState& s = S == WhiteSide ? p.white : p.black;
    return s.attacks[square] || s.kingKnightAttacks[square] || PawnAttacks<S>(p, square);
}
