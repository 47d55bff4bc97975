// Legal move generation: attack maps and pins first, then only legal moves, in a fixed order.
#include "board/movegen.h"

#include "board/attacks.h"
#include "board/geometry.h"
#include "board/slideray.h"
#include "board/position.h"

// Per-side pawn geometry; White's and Black's values side by side.
template <int S>
struct PawnRules {
    static constexpr int sign = S == WhiteSide ? 1 : -1;
    static constexpr int pawn = sign * Pawn;
    static constexpr int knight = sign * Knight;
    static constexpr int ahead = sign;                              // one square forward
    static constexpr int startRank = S == WhiteSide ? 2 : 7;
    static constexpr int doubleStepRank = S == WhiteSide ? 4 : 5;   // where a double step lands
    static constexpr int lastRank = S == WhiteSide ? 8 : 1;
    // Capture steps in generation order: White -9 then +11, Black +9 then -11.
    static constexpr int captureFirst = S == WhiteSide ? -9 : 9;
    static constexpr int captureSecond = S == WhiteSide ? 11 : -11;
};

// True when a pin (0 or a pinning direction) lets the piece move along direction d.
static inline bool PinAllows(int pin, int d) { return pin == 0 || pin == d || pin == -d; }

// Appends a pawn move; a move onto the last rank becomes four promotions, queen first.
template <int S>
static inline void PushPawnMove(MoveListEntry*& cursor, int from, int to) {
    constexpr int sign = PawnRules<S>::sign;
    if (rankOf[to] != PawnRules<S>::lastRank) {
        PushMove(cursor, from, to);
        return;
    }
    PushMove(cursor, from, to, sign * Queen);
    PushMove(cursor, from, to, sign * Rook);
    PushMove(cursor, from, to, sign * Bishop);
    PushMove(cursor, from, to, sign * Knight);
}

// The sliders of side S attacking a square, from its attack map.
template <int S>
static inline SliderSet OwnSlidersAttacking(const Position& p, int square) {
    if constexpr (S == WhiteSide)
        return WhiteSlidersAttacking(p, square);
    else
        return BlackSlidersAttacking(p, square);
}

// True when taking the pawn on captured en passant opens no diagonal from an enemy bishop
// or queen to the king. Only a set-up position can fail this: in a game that diagonal was
// open before the double step, with the king of the side now to move in check.
template <int S>
static bool EpDiagonalSafe(const Position& p, int king, int captured) {
    int d = directionTable[king][captured];
    if (d != 9 && d != -9 && d != 11 && d != -11)
        return true;
    int t = king + d;
    while (p.board[t] == Empty || t == captured)
        t += d;
    int code = p.board[t];
    constexpr int sign = PawnRules<S>::sign;
    return code != -sign * Bishop && code != -sign * Queen;
}

// EpRankPinSafe for a pawn of side S.
template <int S>
static bool EpRankPinSafeFor(Position& p, int from, int king) {
    if (rankOf[king] != rankOf[from])
        return true;
    int captured = fileOf[p.epSquare] > fileOf[from] ? from + 10 : from - 10;
    constexpr int enemy = S == WhiteSide ? BlackSide : WhiteSide;
    int slider = XrayAttacker(p, enemy, from, captured);
    if (!slider)
        slider = XrayAttacker(p, enemy, captured, from);
    if (!slider)
        return true;
    int d = directionTable[slider][king];
    int t = from + d;
    while (p.board[t] == Empty || t == captured)
        t += d;
    return t != king;
}

int EpRankPinSafe(Position& p, int from, int kingSquare) {
    if (p.board[from] > 0)
        return EpRankPinSafeFor<WhiteSide>(p, from, kingSquare);
    return EpRankPinSafeFor<BlackSide>(p, from, kingSquare);
}

// Appends the en-passant capture by the pawn on from when it is legal.
template <int S>
static inline void PushEnPassant(Position& p, MoveListEntry*& cursor, int from, int d) {
    const SideState& me = S == WhiteSide ? p.white : p.black;
    int ep = p.epSquare;
    if (p.board[from] != PawnRules<S>::pawn || !PinAllows(me.pinDir[from], d))
        return;
    if (!EpRankPinSafeFor<S>(p, from, me.kingSquare)
        || !EpDiagonalSafe<S>(p, me.kingSquare, ep - PawnRules<S>::ahead))
        return;
    PushMove(cursor, from, ep);
}

// King steps onto squares the enemy does not attack. In check, a step along a checking
// ray is skipped: the map was built with the king still shielding the square behind it.
template <int S, bool InCheck>
static inline void PushKingMoves(const Position& p, MoveListEntry*& cursor) {
    constexpr int enemy = S == WhiteSide ? BlackSide : WhiteSide;
    const SideState& them = S == WhiteSide ? p.black : p.white;
    int k = S == WhiteSide ? p.white.kingSquare : p.black.kingSquare;
    uint16_t checkRays = InCheck ? them.attacks[k] : 0;
    for (int d : kingSteps) {
        if (InCheck && (checkRays & AnySliderBits(d)))
            continue;
        int t = k + d;
        if (IsEmptyOrEnemy<S>(p.board[t]) && !Attacked<enemy>(p, t))
            PushMove(cursor, k, t);
    }
}

// Castling for side S; the king is not in check when this runs.
template <int S>
static inline void PushCastling(const Position& p, MoveListEntry*& cursor) {
    constexpr int enemy = S == WhiteSide ? BlackSide : WhiteSide;
    constexpr int kingRight = S == WhiteSide ? CastleWhiteKing : CastleBlackKing;
    constexpr int queenRight = S == WhiteSide ? CastleWhiteQueen : CastleBlackQueen;
    constexpr int e1 = S == WhiteSide ? SqE1 : SqE8;
    constexpr int f1 = S == WhiteSide ? SqF1 : SqF8;
    constexpr int g1 = S == WhiteSide ? SqG1 : SqG8;
    constexpr int d1 = S == WhiteSide ? SqD1 : SqD8;
    constexpr int c1 = S == WhiteSide ? SqC1 : SqC8;
    constexpr int b1 = S == WhiteSide ? SqB1 : SqB8;
    const int32_t* board = p.board;
    if ((p.castleRights & kingRight) && board[f1] == Empty && board[g1] == Empty
        && !Attacked<enemy>(p, f1) && !Attacked<enemy>(p, g1))
        PushMove(cursor, e1, g1);
    if ((p.castleRights & queenRight) && board[d1] == Empty && board[c1] == Empty
        && board[b1] == Empty && !Attacked<enemy>(p, d1) && !Attacked<enemy>(p, c1))
        PushMove(cursor, e1, c1);
}

// Every legal move of side S when it is not in check, in generation order. With Mark
// unset the sliders only append their moves: their maps, mobility and pins stand already.
template <int S, bool Mark = true>
static MoveListEntry* GenerateAllFor(Position& p, MoveListEntry* cursor) {
    using R = PawnRules<S>;
    SideState& me = OwnSide<S>(p);
    const int32_t* board = p.board;
    const int8_t* pin = me.pinDir;

    // 1. En passant (White from e + 9 then e - 11, Black from e + 11 then e - 9).
    if (int ep = p.epSquare) {
        if constexpr (S == WhiteSide) {
            PushEnPassant<S>(p, cursor, ep + 9, 9);
            PushEnPassant<S>(p, cursor, ep - 11, 11);
        } else {
            PushEnPassant<S>(p, cursor, ep + 11, 11);
            PushEnPassant<S>(p, cursor, ep - 9, 9);
        }
    }

    // 2. Pawns: two captures, the push, the double step.
    for (int i = 0; i < me.pawnCount; i++) {
        int s = me.pawnSquares[i];
        int pd = pin[s];
        bool free = pd == 0;
        if (IsEnemyPiece<S>(board[s + R::captureFirst]) && (free || PinAllows(pd, R::captureFirst)))
            PushPawnMove<S>(cursor, s, s + R::captureFirst);
        if (IsEnemyPiece<S>(board[s + R::captureSecond]) && (free || PinAllows(pd, R::captureSecond)))
            PushPawnMove<S>(cursor, s, s + R::captureSecond);
        if (board[s + R::ahead] == Empty && (free || PinAllows(pd, 1))) {
            PushPawnMove<S>(cursor, s, s + R::ahead);
            if (rankOf[s] == R::startRank && board[s + 2 * R::ahead] == Empty)
                PushMove(cursor, s, s + 2 * R::ahead);
        }
    }

    // 3. Knights that are not pinned.
    for (int i = 0; i < me.knightCount; i++) {
        int s = me.knightSquares[i];
        if (pin[s])
            continue;
        for (int step : knightSteps)
            if (IsEmptyOrEnemy<S>(board[s + step]))
                PushMove(cursor, s, s + step);
    }

    // 4-6. Sliders: each ray generates when the pin allows its line, else only attacks.
    SliderWalk<S, Mark> w = StartWalk<S, Mark>(p, cursor);
    for (int i = 0; i < me.rookCount; i++) {
        int s = me.rookSquares[i];
        if (PinAllows(pin[s], 1)) {
            w.template Ray<true>(s, 1, 0x0080, rookMobilityWeight);
            w.template Ray<true>(s, -1, 0x0040, rookMobilityWeight);
        } else {
            w.template Ray<false>(s, 1, 0x0080, rookMobilityWeight);
            w.template Ray<false>(s, -1, 0x0040, rookMobilityWeight);
        }
        if (PinAllows(pin[s], 10)) {
            w.template Ray<true>(s, 10, 0x0010, rookMobilityWeight);
            w.template Ray<true>(s, -10, 0x0020, rookMobilityWeight);
        } else {
            w.template Ray<false>(s, 10, 0x0010, rookMobilityWeight);
            w.template Ray<false>(s, -10, 0x0020, rookMobilityWeight);
        }
    }
    for (int i = 0; i < me.bishopCount; i++) {
        int s = me.bishopSquares[i];
        // White's forward rays are -9 and +11, Black's +9 and -11.
        if constexpr (S == WhiteSide) {
            if (PinAllows(pin[s], 9)) {
                w.template Ray<true>(s, 9, 0x0001, bishopMobilityWeight);
                w.template ForwardRay<true>(s, -9, 0x0008);
            } else {
                w.template Ray<false>(s, 9, 0x0001, bishopMobilityWeight);
                w.template ForwardRay<false>(s, -9, 0x0008);
            }
            if (PinAllows(pin[s], 11)) {
                w.template ForwardRay<true>(s, 11, 0x0004);
                w.template Ray<true>(s, -11, 0x0002, bishopMobilityWeight);
            } else {
                w.template ForwardRay<false>(s, 11, 0x0004);
                w.template Ray<false>(s, -11, 0x0002, bishopMobilityWeight);
            }
        } else {
            if (PinAllows(pin[s], 9)) {
                w.template ForwardRay<true>(s, 9, 0x0001);
                w.template Ray<true>(s, -9, 0x0008, bishopMobilityWeight);
            } else {
                w.template ForwardRay<false>(s, 9, 0x0001);
                w.template Ray<false>(s, -9, 0x0008, bishopMobilityWeight);
            }
            if (PinAllows(pin[s], 11)) {
                w.template Ray<true>(s, 11, 0x0004, bishopMobilityWeight);
                w.template ForwardRay<true>(s, -11, 0x0002);
            } else {
                w.template Ray<false>(s, 11, 0x0004, bishopMobilityWeight);
                w.template ForwardRay<false>(s, -11, 0x0002);
            }
        }
    }
    struct QueenRay { int d; uint16_t bit; };
    static constexpr QueenRay queenRays[8] = {
        {1, 0x8000}, {-1, 0x4000}, {10, 0x1000}, {-10, 0x2000},
        {9, 0x0100}, {-9, 0x0800}, {11, 0x0400}, {-11, 0x0200},
    };
    for (int i = 0; i < me.queenCount; i++) {
        int s = me.queenSquares[i];
        for (int r = 0; r < 8; r += 2) {
            const QueenRay& a = queenRays[r];
            const QueenRay& b = queenRays[r + 1];
            if (PinAllows(pin[s], a.d)) {
                w.template Ray<true>(s, a.d, a.bit, centreTable);
                w.template Ray<true>(s, b.d, b.bit, centreTable);
            } else {
                w.template Ray<false>(s, a.d, a.bit, centreTable);
                w.template Ray<false>(s, b.d, b.bit, centreTable);
            }
        }
    }
    FinishWalk<S>(p, w);
    cursor = w.cursor;

    // 7. King steps, 8-9. castling.
    PushKingMoves<S, false>(p, cursor);
    PushCastling<S>(p, cursor);
    return cursor;
}

// The non-king answers to a single check of side S's king: blocks, then captures.
template <int S>
static MoveListEntry* GenerateEvasionsFor(Position& p, MoveListEntry* cursor) {
    using R = PawnRules<S>;
    const SideState& me = S == WhiteSide ? p.white : p.black;
    const SideState& them = S == WhiteSide ? p.black : p.white;
    const int32_t* board = p.board;
    const int8_t* pin = me.pinDir;
    int k = me.kingSquare;
    uint16_t m = them.attacks[k];
    int x;  // the checker's square

    if (m) {
        // 1. Slider check: block on each square between king and checker, nearest first.
        int d = bitDirection[m & 0xFF];
        if (!d)
            d = bitDirection[m >> 8];
        int t = k - d;
        while (board[t] == Empty) {
            for (int i = 0; i < me.knightCount; i++) {
                int n = me.knightSquares[i];
                if (!pin[n] && KnightOffset(t - n))
                    PushMove(cursor, n, t);
            }
            int behind = t - R::ahead;
            if (board[behind] == R::pawn) {
                if (!pin[behind])
                    PushPawnMove<S>(cursor, behind, t);
            } else if (rankOf[t] == R::doubleStepRank && board[behind] == Empty
                       && board[t - 2 * R::ahead] == R::pawn && !pin[t - 2 * R::ahead]) {
                PushMove(cursor, t - 2 * R::ahead, t);
            }
            if (me.attacks[t]) {
                SliderSet s = OwnSlidersAttacking<S>(p, t);
                for (int i = 0; i < s.count; i++)
                    if (!pin[s.squares[i]])
                        PushMove(cursor, s.squares[i], t);
            }
            t -= d;
        }
        x = t;
    } else {
        // 2. Pawn or knight check.
        constexpr int enemyPawn = -R::pawn;
        constexpr int enemyKnight = -R::knight;
        // Enemy pawns attack the king from White's k - 9, k + 11 or Black's k - 11, k + 9.
        constexpr int pawnFirst = S == WhiteSide ? -9 : -11;
        constexpr int pawnSecond = S == WhiteSide ? 11 : 9;
        x = 0;
        if (board[k + pawnFirst] == enemyPawn)
            x = k + pawnFirst;
        else if (board[k + pawnSecond] == enemyPawn)
            x = k + pawnSecond;
        if (x) {
            // A pawn that just stepped two squares may be taken en passant.
            int ep = p.epSquare;
            if (ep && ep == x + R::ahead && EpDiagonalSafe<S>(p, k, x)) {
                if (board[x - 10] == R::pawn && !pin[x - 10])
                    PushMove(cursor, x - 10, ep);
                if (board[x + 10] == R::pawn && !pin[x + 10])
                    PushMove(cursor, x + 10, ep);
            }
        } else {
            static constexpr int knightChecks[8] = {12, -8, 21, 19, -19, -21, 8, -12};
            x = k - 12;
            for (int step : knightChecks)
                if (board[k + step] == enemyKnight) {
                    x = k + step;
                    break;
                }
        }
    }

    // 3. Captures of the checker: pawns, knights, then sliders not pinned off the line.
    constexpr int pawnFromFirst = S == WhiteSide ? -11 : -9;
    constexpr int pawnFromSecond = S == WhiteSide ? 9 : 11;
    if (board[x + pawnFromFirst] == R::pawn && !pin[x + pawnFromFirst])
        PushPawnMove<S>(cursor, x + pawnFromFirst, x);
    if (board[x + pawnFromSecond] == R::pawn && !pin[x + pawnFromSecond])
        PushPawnMove<S>(cursor, x + pawnFromSecond, x);
    for (int i = 0; i < me.knightCount; i++) {
        int n = me.knightSquares[i];
        if (!pin[n] && KnightOffset(x - n))
            PushMove(cursor, n, x);
    }
    if (me.attacks[x]) {
        SliderSet s = OwnSlidersAttacking<S>(p, x);
        for (int i = 0; i < s.count; i++) {
            int sq = s.squares[i];
            if (!pin[sq] || pin[sq] == directionTable[x][sq])
                PushMove(cursor, sq, x);
        }
    }
    return cursor;
}

// Maps, checkers and the legal moves of side S to move; returns the checker count.
template <int S>
static int GenerateFor(Position& p, MoveListEntry*& cursor, bool room) {
    constexpr int enemy = S == WhiteSide ? BlackSide : WhiteSide;
    BuildSliderAttacksFor<enemy>(p);
    int checkers = CheckersOf<S>(p);
    if (!room)
        return checkers;
    if (checkers) {
        BuildSliderAttacksFor<S>(p);
        if (checkers == 1)
            cursor = GenerateEvasionsFor<S>(p, cursor);
        PushKingMoves<S, true>(p, cursor);
    } else {
        cursor = GenerateAllFor<S>(p, cursor);
    }
    return checkers;
}

// Where the current record's list starts: after the list of the record below.
static inline MoveListEntry* ListStart(const Position& p) {
    const PlyRecord* r = p.currentPly;
    return r == p.plyStack ? p.moveArea : (r - 1)->moves + (r - 1)->moveCount;
}

int GenerateMoves(Position& p) {
    PlyRecord* r = p.currentPly;
    MoveListEntry* start = ListStart(p);
    bool room = start - p.moveArea <= MoveAreaSize - MaxLegalMoves;
    r->moves = start;
    MoveListEntry* cursor = start;
    ClearMapsAndPins(p);
    int checkers = p.whiteToMove ? GenerateFor<WhiteSide>(p, cursor, room)
                                 : GenerateFor<BlackSide>(p, cursor, room);
    p.genCursor = cursor;
    r->moveCount = int32_t(cursor - start);
    r->checkCount = checkers;
    p.checkCount = checkers;
    return checkers;
}

// GenerateMovesOnMaps for side S to move.
template <int S>
static int GenerateOnMapsFor(Position& p) {
    PlyRecord* r = p.currentPly;
    MoveListEntry* start = ListStart(p);
    int checkers = CheckersOf<S>(p);
    if (checkers || start - p.moveArea > MoveAreaSize - MaxLegalMoves)
        return GenerateMoves(p);
    r->moves = start;
    p.genCursor = GenerateAllFor<S, false>(p, start);
    r->moveCount = int32_t(p.genCursor - start);
    r->checkCount = 0;
    p.checkCount = 0;
    return 0;
}

int GenerateMovesOnMaps(Position& p) {
    return p.whiteToMove ? GenerateOnMapsFor<WhiteSide>(p) : GenerateOnMapsFor<BlackSide>(p);
}

// RebuildMaps for side S to move: the enemy's walk, the checkers, then side S's walk.
template <int S>
static int RebuildMapsFor(Position& p) {
    constexpr int enemy = S == WhiteSide ? BlackSide : WhiteSide;
    BuildSliderAttacksFor<enemy>(p);
    int checkers = CheckersOf<S>(p);
    BuildSliderAttacksFor<S>(p);
    return checkers;
}

int RebuildMaps(Position& p) {
    PlyRecord* r = p.currentPly;
    ClearMapsAndPins(p);
    int checkers = p.whiteToMove ? RebuildMapsFor<WhiteSide>(p) : RebuildMapsFor<BlackSide>(p);
    p.genCursor = r->moves + r->moveCount;
    r->checkCount = checkers;
    p.checkCount = checkers;
    return checkers;
}

void GenerateAll(Position& p) {
    p.genCursor = p.whiteToMove ? GenerateAllFor<WhiteSide>(p, p.genCursor)
                                : GenerateAllFor<BlackSide>(p, p.genCursor);
}

void GenerateEvasions(Position& p) {
    p.genCursor = p.whiteToMove ? GenerateEvasionsFor<WhiteSide>(p, p.genCursor)
                                : GenerateEvasionsFor<BlackSide>(p, p.genCursor);
}

void NormalizePromotions(Position& p) {
    PlyRecord* r = p.currentPly;
    for (int i = 0; i < r->moveCount; i++) {
        MoveListEntry& m = r->moves[i];
        int piece = p.board[m.from];
        bool pawn = piece == Pawn || piece == -Pawn;
        if (!pawn || (rankOf[m.to] != 1 && rankOf[m.to] != 8))
            m.promotion = 0;
    }
}

int FindMoveIndex(const int32_t* board, const MoveListEntry* moves, int count, Move m) {
    int f = MoveFrom(m), t = MoveTo(m);
    if (IsBorder(f) || IsBorder(t))
        return -1;
    bool promotion = IsPromotionMove(board, f, t);
    for (int i = 0; i < count; i++) {
        const MoveListEntry& entry = moves[i];
        if (entry.from == f && entry.to == t && (!promotion || entry.promotion == MovePromotion(m)))
            return i;
    }
    return -1;
}

Move LegalMoveOf(const Position& p, Move m) {
    const PlyRecord* r = p.currentPly;
    int i = FindMoveIndex(p.board, r->moves, r->moveCount, m);
    if (i < 0)
        return 0;
    const MoveListEntry& entry = r->moves[i];
    int promotion = IsPromotionMove(p.board, entry.from, entry.to) ? entry.promotion : 0;
    return MakeMoveValue(entry.from, entry.to, promotion);
}

bool HasRoomForPly(const Position& p) {
    const PlyRecord* r = p.currentPly;
    if (r + 1 >= p.plyStack + PlyStackSize)
        return false;
    const MoveListEntry* next = r->moves + r->moveCount;
    return next - p.moveArea <= MoveAreaSize - MaxLegalMoves;
}
