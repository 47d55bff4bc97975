// King and pawn against king, and doubled pawns against a bare king.
#include "search/pawnending.h"

#include <algorithm>
#include <cstdlib>

#include "board/geometry.h"
#include "engine.h"

static constexpr int WinBase = 4000;         // a recognized win scores above this
static constexpr int WinPerPawnRank = 500;
static constexpr int WinPerKingRank = 8;
static constexpr int DrawScore = 1;          // a recognized draw, from the pawn side's view

// True when both file and rank differ by at most one.
static bool Adjacent(int fileA, int rankA, int fileB, int rankB) {
    return std::abs(fileA - fileB) <= 1 && std::abs(rankA - rankB) <= 1;
}

bool KingPawnVersusKing(int akFile, int akRank, int pFile, int pRank, int dkFile, int dkRank,
                        bool attackerToMove, int& score) {
    // Rule 1: mirror so the pawn stands on files 1..4.
    if (pFile > 4) {
        akFile = 9 - akFile;
        pFile = 9 - pFile;
        dkFile = 9 - dkFile;
    }
    bool defenderToMove = !attackerToMove;
    const int win = WinBase + WinPerPawnRank * pRank + WinPerKingRank * akRank + (akFile == 1);
    auto Win = [&] { score = win; return true; };
    auto Draw = [&] { score = DrawScore; return true; };

    // Rule 2: the pawn falls.
    if (defenderToMove && Adjacent(dkFile, dkRank, pFile, pRank)
        && !Adjacent(akFile, akRank, pFile, pRank))
        return Draw();

    // Rule 3: the defending king is outside the pawn's square.
    if (!(akFile == pFile && akRank >= pRank)) {
        int p = 8 - pRank;
        int d = std::max(std::abs(dkFile - pFile), 8 - dkRank);
        if (d > p && attackerToMove)
            return Win();
        if (p < d - 1)
            return Win();
        if (pRank == 2 && attackerToMove && d >= 6)
            return Win();
        if (pRank == 2 && defenderToMove && d == 7 && std::abs(dkFile - pFile) > 1)
            return Win();
    }

    // Rule 4: the attacking king escorts the pawn from the seventh rank.
    if (akRank == 7 && std::abs(akFile - pFile) == 1 && (pRank == 6 || pRank == 7))
        return Win();

    if (pFile != 1) {
        // Rule 5.1: pawn on the seventh, attacking king on the sixth.
        if (pRank == 7 && akRank == 6) {
            if (akFile == pFile)
                return Win();
            if (std::abs(akFile - pFile) == 1) {
                if (dkRank == 8 && dkFile == pFile)
                    return attackerToMove ? Draw() : Win();
                if (dkRank == 8 && std::abs(dkFile - pFile) == 1 && defenderToMove)
                    return Draw();
                return Win();
            }
        }
        // Rule 5.2: pawn and attacking king side by side on the sixth.
        if (pRank == 6 && akRank == 6 && std::abs(akFile - pFile) == 1) {
            if (attackerToMove && dkRank == 8
                && (dkFile == akFile || (pFile == 2 && dkFile == 1)))
                return Draw();
            if (defenderToMove && dkRank == 8 && dkFile == pFile)
                return Draw();
            return Win();
        }
        // Rule 5.3: attacking king on the sixth ahead of the pawn.
        if (akRank == 6 && pRank < 6) {
            if (dkRank == 8 && dkFile == akFile)
                return Win();
            if (std::abs(akFile - pFile) <= 1 && dkRank >= akRank)
                return Win();
        }
        // Rule 5.4: the defending king blocks the pawn.
        if (dkFile == pFile && (dkRank == pRank + 1 || dkRank == pRank + 2))
            return Draw();
        bool kingBesideFile = std::abs(akFile - pFile) <= 1;
        bool opposition = dkFile == akFile && dkRank == akRank + 2;
        // Rule 5.5: attacking king one rank in front of the pawn.
        if (akRank == pRank + 1 && kingBesideFile) {
            if (attackerToMove)
                return opposition ? Draw() : Win();
            if (opposition)
                return Win();
        }
        // Rules 5.6 and 5.7: attacking king two or three ranks in front.
        if (akRank == pRank + 2 && kingBesideFile)
            return Win();
        if (akRank == pRank + 3 && kingBesideFile && dkRank >= akRank)
            return Win();
        return false;
    }

    // Rule 6.1: rook pawn with the defending king in front of it.
    if (dkRank > pRank && dkFile <= 2)
        return Draw();
    // Rules 6.2 and 6.3: defending king on the third file.
    if (dkFile == 3) {
        if (dkRank >= 7) {
            if (pRank == 7 && akFile == 1)
                return akRank == 6 ? Win() : Draw();
            return Draw();
        }
        if (akFile > 4 || (akFile == 4 && defenderToMove) || dkRank >= akRank
            || (dkRank == akRank - 1 && defenderToMove))
            return Draw();
        return false;
    }
    // Rule 6.4: defending king on the fourth file.
    if (dkFile == 4) {
        if (akFile > 5 || (akFile == 5 && defenderToMove) || (dkRank > akRank + 1 && akRank < 6)
            || (dkRank >= akRank + 1 && akRank < 7 && defenderToMove))
            return Draw();
    }
    return false;
}

bool WhiteDoubledPawnDraw(const Engine& e) {
    const Position& p = e.pos;
    int a = p.white.pawnSquares[0], b = p.white.pawnSquares[1];
    int file = fileOf[a];
    if (fileOf[b] != file)
        return false;
    int king = p.black.kingSquare;
    if ((file == 1 || file == 8) && std::abs(fileOf[king] - file) <= 1
        && rankOf[king] > rankOf[a] && rankOf[king] > rankOf[b])
        return true;
    return rankOf[king] == 7 && p.board[king - 1] == Pawn && p.board[king - 2] == Pawn;
}

bool BlackDoubledPawnDraw(const Engine& e) {
    const Position& p = e.pos;
    int a = p.black.pawnSquares[0], b = p.black.pawnSquares[1];
    int file = fileOf[a];
    if (fileOf[b] != file)
        return false;
    int king = p.white.kingSquare;
    if ((file == 1 || file == 8) && std::abs(fileOf[king] - file) <= 1
        && rankOf[king] < rankOf[a] && rankOf[king] < rankOf[b])
        return true;
    return rankOf[king] == 2 && p.board[king + 1] == -Pawn && p.board[king + 2] == -Pawn;
}

bool RecognizePawnEnding(Engine& e, int& score) {
    const Position& p = e.pos;
    if (p.black.pawnCount > 0) {
        if (p.white.pawnCount > 0)
            return false;
        if (p.black.pawnCount == 1) {
            int pawn = p.black.pawnSquares[0];
            int ak = p.black.kingSquare, dk = p.white.kingSquare;
            if (!KingPawnVersusKing(fileOf[ak], 9 - rankOf[ak], fileOf[pawn], 9 - rankOf[pawn],
                                    fileOf[dk], 9 - rankOf[dk], !p.whiteToMove, score))
                return false;
            if (p.whiteToMove)
                score = -score;
            return true;
        }
        if (p.black.pawnCount == 2 && BlackDoubledPawnDraw(e)) {
            score = -DrawScore;
            return true;
        }
        return false;
    }
    if (p.white.pawnCount == 1) {
        int pawn = p.white.pawnSquares[0];
        int ak = p.white.kingSquare, dk = p.black.kingSquare;
        if (!KingPawnVersusKing(fileOf[ak], rankOf[ak], fileOf[pawn], rankOf[pawn],
                                fileOf[dk], rankOf[dk], p.whiteToMove != 0, score))
            return false;
        if (!p.whiteToMove)
            score = -score;
        return true;
    }
    if (p.white.pawnCount == 2 && WhiteDoubledPawnDraw(e)) {
        score = DrawScore;
        return true;
    }
    return false;
}
