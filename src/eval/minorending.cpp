// Minor-piece endings: rook against minor, the lone knight against spread pawns, pawns
// against a piece, opposite bishops, lone minor against two, and bishop with rook pawns.
#include "eval/minorending.h"

#include "board/geometry.h"
#include "engine.h"
#include "eval/pawns.h"

constexpr int TwoMinorsValue = 6000;
constexpr int RookVersusMinorDivisor = 7;
constexpr int SpreadSpan = 5;             // openSpan above this: pawns on both wings
constexpr int KnightAgainstSpread = 100;
constexpr int PawnsAgainstPiece = 250;    // the pawns' side keeps chances against a piece
constexpr int LonePieceDrawBase = 20;
constexpr int OneMinorAgainstTwoDivisor = 60;
constexpr int WrongRookPawnCost = 1000;   // shared by the rook pawns: / (3 x pawns)
constexpr int MaxBishopPawns = 4;

// True for a dark square (rank + file even; a1 is dark).
static bool IsDark(int sq) {
    return (rankOf[sq] + fileOf[sq]) % 2 == 0;
}

// True when a king stands within one step of either of two corners.
static bool NearCorner(int king, int cornerA, int cornerB) {
    return KingDistance(king, cornerA) <= 1 || KingDistance(king, cornerB) <= 1;
}

// Rook against a lone minor: the bishop's defender is safe only in the corner the bishop
// does not control. Returns the scaled score.
static int RookAgainstMinor(int score, const SideState& defender) {
    if (!defender.bishopCount)
        return score / RookVersusMinorDivisor;
    bool dark = IsDark(defender.bishopSquares[0]);
    int king = defender.kingSquare;
    if (NearCorner(king, dark ? SqA1 : SqH1, dark ? SqH8 : SqA8))
        return score;
    if (NearCorner(king, dark ? SqH1 : SqA1, dark ? SqA8 : SqH8))
        return 0;
    return score / RookVersusMinorDivisor;
}

// Square of a side's first knight, else its first bishop, else 0.
static int MinorSquare(const SideState& side) {
    if (side.knightCount)
        return side.knightSquares[0];
    return side.bishopCount ? side.bishopSquares[0] : 0;
}

// True when every pawn of the side stands on the file.
static bool AllPawnsOnFile(const SideState& side, int file) {
    for (int i = 0; i < side.pawnCount; i++)
        if (fileOf[side.pawnSquares[i]] != file)
            return false;
    return true;
}

// True when a pawn of the given code stands anywhere on the file.
static bool PawnOnFile(const int32_t* b, int code, int file) {
    for (int rank = 2; rank <= 7; rank++)
        if (b[MakeSquare(rank, file)] == code)
            return true;
    return false;
}

// The rook file whose promotion square (on the given rank) the bishop cannot cover.
static int WrongRookFile(int bishop, int promotionRank) {
    return IsDark(MakeSquare(promotionRank, 1)) != IsDark(bishop) ? 1 : 8;
}

// Bishop and 1-4 pawns for White: fortresses on the knight files and the wrong rook pawn.
static void WhiteBishopAndPawns(const Position& p, int& score, bool& final) {
    const int32_t* b = p.board;
    const SideState& own = p.white;
    int bk = p.black.kingSquare;
    int wk = own.kingSquare;
    if (b[MakeSquare(6, 2)] == Pawn && b[MakeSquare(7, 2)] == -Pawn && own.pawnCount < 3
        && (bk == SqA8 || bk == SqB8 || bk == SqC8) && wk != SqA8 && wk != MakeSquare(7, 1)
        && (own.pawnCount == 1
            || (AllPawnsOnFile(own, 2) && !PawnOnFile(b, -Pawn, 1) && !PawnOnFile(b, -Pawn, 3)))) {
        score = 0;
        final = true;
        return;
    }
    if (b[MakeSquare(6, 7)] == Pawn && b[MakeSquare(7, 7)] == -Pawn && own.pawnCount < 3
        && (bk == SqH8 || bk == SqG8 || bk == SqF8) && wk != SqH8 && wk != MakeSquare(7, 8)
        && AllPawnsOnFile(own, 7) && !PawnOnFile(b, -Pawn, 6) && !PawnOnFile(b, -Pawn, 8)) {
        score = 0;
        final = true;
        return;
    }
    int file = WrongRookFile(own.bishopSquares[0], 8);
    int cost = WrongRookPawnCost / (3 * own.pawnCount);
    for (int i = 0; i < own.pawnCount; i++)
        if (fileOf[own.pawnSquares[i]] == file)
            score = score - cost < 0 ? 0 : score - cost;
    if (AllPawnsOnFile(own, file) && KingDistance(bk, MakeSquare(8, file)) <= 1) {
        score = 0;
        final = true;
    }
}

// Bishop and 1-4 pawns for Black, the mirror of WhiteBishopAndPawns.
static void BlackBishopAndPawns(const Position& p, int& score, bool& final) {
    const int32_t* b = p.board;
    const SideState& own = p.black;
    int wk = p.white.kingSquare;
    int bk = own.kingSquare;
    if (b[MakeSquare(3, 2)] == -Pawn && b[MakeSquare(2, 2)] == Pawn && own.pawnCount < 3
        && (wk == SqA1 || wk == SqB1 || wk == SqC1) && bk != SqA1 && bk != MakeSquare(2, 1)
        && (own.pawnCount == 1
            || (AllPawnsOnFile(own, 2) && !PawnOnFile(b, Pawn, 1) && !PawnOnFile(b, Pawn, 3)))) {
        score = 0;
        final = true;
        return;
    }
    if (b[MakeSquare(3, 7)] == -Pawn && b[MakeSquare(2, 7)] == Pawn && own.pawnCount < 3
        && (wk == SqH1 || wk == SqG1 || wk == SqF1) && bk != SqH1 && bk != MakeSquare(2, 8)
        && AllPawnsOnFile(own, 7) && !PawnOnFile(b, Pawn, 6) && !PawnOnFile(b, Pawn, 8)) {
        score = 0;
        final = true;
        return;
    }
    int file = WrongRookFile(own.bishopSquares[0], 1);
    int cost = WrongRookPawnCost / (3 * own.pawnCount);
    for (int i = 0; i < own.pawnCount; i++)
        if (fileOf[own.pawnSquares[i]] == file)
            score = score + cost > 0 ? 0 : score + cost;
    if (AllPawnsOnFile(own, file) && KingDistance(wk, MakeSquare(1, file)) <= 1) {
        score = 0;
        final = true;
    }
}

// Sum of the passed-pawn values of a side's pawns, tenths, by rank from its own side.
static int PawnRankValue(const SideState& side, bool white) {
    int sum = 0;
    for (int i = 0; i < side.pawnCount; i++) {
        int rank = rankOf[side.pawnSquares[i]];
        sum += passedPawnValue[white ? rank : 9 - rank] / 10;
    }
    return sum;
}

void MinorEndgame(Engine& e, int& score, bool& final, const PawnHashEntry& entry) {
    const Position& p = e.pos;
    const SideState& white = p.white;
    const SideState& black = p.black;
    final = false;

    // 1. Rook against a minor piece, the rook's side without pawns.
    if (white.material == RookValue && white.pawnCount == 0 && score > 0) {
        score = RookAgainstMinor(score, black);
        return;
    }
    if (black.material == RookValue && black.pawnCount == 0 && score < 0) {
        score = RookAgainstMinor(score, white);
        return;
    }

    // 2. A lone knight struggles against pawns on both wings.
    if (white.pieceCount == 2 && white.knightCount && openSpan[entry.openFiles] > SpreadSpan)
        score -= KnightAgainstSpread;
    if (black.pieceCount == 2 && black.knightCount && openSpan[entry.openFiles] > SpreadSpan)
        score += KnightAgainstSpread;

    // 3. Pawns alone against a minor piece: the piece cannot win by itself.
    if (black.pawnCount == 0 && white.material == 0) {
        if (score >= 0) {
            score += PawnsAgainstPiece;
            return;
        }
        score = LonePieceDrawBase + centreTable[white.kingSquare] - centreTable[black.kingSquare]
                - centreTable[MinorSquare(black)] + PawnRankValue(white, true);
        final = true;
        return;
    }
    if (white.pawnCount == 0 && black.material == 0) {
        if (score <= 0) {
            score -= PawnsAgainstPiece;
            return;
        }
        score = -(LonePieceDrawBase + centreTable[black.kingSquare] - centreTable[white.kingSquare]
                  - centreTable[MinorSquare(white)] + PawnRankValue(black, false));
        final = true;
        return;
    }

    // 4. Opposite bishops; one minor against two without pawns.
    if (white.material == MinorValue && black.material == MinorValue) {
        if (white.bishopCount && black.bishopCount
            && IsDark(white.bishopSquares[0]) != IsDark(black.bishopSquares[0]))
            score /= 2;
    } else if (white.pawnCount == 0 && black.pawnCount == 0) {
        if (white.material == MinorValue && black.pieceCount == 3
            && black.material == TwoMinorsValue) {
            if (!(white.knightCount && black.bishopCount == 2))
                score /= OneMinorAgainstTwoDivisor;
        } else if (black.material == MinorValue && white.pieceCount == 3
                   && white.material == TwoMinorsValue) {
            if (!(black.knightCount && white.bishopCount == 2))
                score /= OneMinorAgainstTwoDivisor;
        }
        return;
    }

    // 5. Bishop and pawns: blocked knight pawns and the wrong rook pawn.
    if (white.pieceCount == 2 && white.bishopCount && score > 0 && white.pawnCount >= 1
        && white.pawnCount <= MaxBishopPawns)
        WhiteBishopAndPawns(p, score, final);
    else if (black.pieceCount == 2 && black.bishopCount && score < 0 && black.pawnCount >= 1
             && black.pawnCount <= MaxBishopPawns)
        BlackBishopAndPawns(p, score, final);
}
