// Rook terms. The open-file bonus is counted once per file from the file's rook balance.
#include "eval/rooks.h"

#include "board/attackcount.h"
#include "board/geometry.h"
#include "engine.h"

constexpr int ConnectedRookBonus = 75;
constexpr uint16_t RookLineBits = 0x00F0;    // the four rook-direction bits of an AttackMap
constexpr int OnlyOpenFileRook = 150;     // per rook when a single file is open
constexpr int OnlyOpenFileDoubled = 100;  // two rooks on the only open file
constexpr int OpenFileRook = 100;         // per rook otherwise
constexpr int KingFileSafety = 50;        // a rook on or next to the enemy king's file
constexpr int KingFileQueenSafety = 100;  // next to the king's file with a queen to help
constexpr int BehindOwnPawn = 30;         // a rook above its own pawn
constexpr int BehindPawnChain = 180;      // ... with another own pawn beside it
constexpr int FacingEnemyPawn = 70;       // ... and an enemy pawn just above it
constexpr int BackRankRook = 100;         // a rook on the enemy's back rank without own pawn
constexpr int SeventhRook = 100;
constexpr int SeventhKingOnEdge = 225;    // enemy king on its last two ranks
constexpr int SeventhKingShut = 325;      // enemy king on its back rank, exits covered
constexpr int SeventhPawnTargets = 100;   // enemy has more than two pawns
constexpr int SeventhPawnsNeeded = 2;

int ConnectedRooks(const Position& p) {
    int s = 0;
    if (p.white.rookCount > 1 && (p.white.attacks[p.white.rookSquares[0]] & RookLineBits))
        s += ConnectedRookBonus;
    if (p.black.rookCount > 1 && (p.black.attacks[p.black.rookSquares[0]] & RookLineBits))
        s -= ConnectedRookBonus;
    return s;
}

// True when a file (1..8) is in a file bitmap.
static bool FileIn(uint8_t files, int file) {
    return files & (1 << (file - 1));
}

// Open files and pawn contact of White's rooks; feeds Black's king-safety fields.
static int WhiteRooksOnFiles(Engine& e, const PawnHashEntry& entry) {
    const Position& p = e.pos;
    const int32_t* b = p.board;
    const SideState& own = p.white;
    int enemyKingFile = fileOf[p.black.kingSquare];
    bool onlyOpenFile = bitCount[entry.openFiles] == 1;
    int lastFile = 0;
    int s = 0;
    for (int i = 0; i < own.rookCount; i++) {
        int rook = own.rookSquares[i];
        int file = fileOf[rook];
        int n = p.rookFileBalance[file];
        if (FileIn(entry.openFiles, file) && n > 0 && file != lastFile) {
            lastFile = file;
            if (onlyOpenFile)
                s += OnlyOpenFileRook * n + (n > 1 ? OnlyOpenFileDoubled : 0);
            else
                s += OpenFileRook * n;
            if (file == enemyKingFile) {
                e.eval.blackKingSafety += KingFileSafety;
                e.eval.blackKingDanger++;
            }
            if (file == enemyKingFile - 1 || file == enemyKingFile + 1) {
                e.eval.blackKingSafety += KingFileSafety;
                if (own.queenCount) {
                    e.eval.blackKingSafety += KingFileQueenSafety;
                    if (fileOf[own.queenSquares[0]] == file)
                        e.eval.blackKingDanger++;
                }
                if (n >= 2)
                    e.eval.blackKingDanger++;
                e.eval.blackKingDanger++;
            }
        }
        if (rankOf[rook] >= 3) {
            if (b[rook - 1] == Pawn || b[rook - 2] == Pawn || b[rook - 3] == Pawn) {
                bool chain = b[rook - 10] == Pawn || b[rook + 10] == Pawn || b[rook - 20] == Pawn
                             || b[rook + 20] == Pawn;
                s -= chain ? BehindPawnChain : BehindOwnPawn;
                if (b[rook + 1] == -Pawn || b[rook + 2] == -Pawn)
                    s -= FacingEnemyPawn;
            } else if (rankOf[rook] == 8) {
                s += BackRankRook;
            }
        }
    }
    return s;
}

// Open files and pawn contact of Black's rooks; feeds White's king-safety fields.
static int BlackRooksOnFiles(Engine& e, const PawnHashEntry& entry) {
    const Position& p = e.pos;
    const int32_t* b = p.board;
    const SideState& own = p.black;
    int enemyKingFile = fileOf[p.white.kingSquare];
    bool onlyOpenFile = bitCount[entry.openFiles] == 1;
    int lastFile = 0;
    int s = 0;
    for (int i = 0; i < own.rookCount; i++) {
        int rook = own.rookSquares[i];
        int file = fileOf[rook];
        int n = p.rookFileBalance[file];
        if (FileIn(entry.openFiles, file) && n < 0 && file != lastFile) {
            lastFile = file;
            if (onlyOpenFile)
                s += OnlyOpenFileRook * n - (n <= -2 ? OnlyOpenFileDoubled : 0);
            else
                s += OpenFileRook * n;
            if (file == enemyKingFile) {
                e.eval.whiteKingSafety -= KingFileSafety;
                e.eval.whiteKingDanger++;
            }
            if (file == enemyKingFile - 1 || file == enemyKingFile + 1) {
                e.eval.whiteKingSafety -= KingFileSafety;
                if (own.queenCount) {
                    e.eval.whiteKingSafety -= KingFileQueenSafety;
                    if (fileOf[own.queenSquares[0]] == file)
                        e.eval.whiteKingDanger++;
                }
                if (n <= -2)
                    e.eval.whiteKingDanger++;
                e.eval.whiteKingDanger++;
            }
        }
        if (rankOf[rook] <= 6) {
            if (b[rook + 1] == -Pawn || b[rook + 2] == -Pawn || b[rook + 3] == -Pawn) {
                bool chain = b[rook - 10] == -Pawn || b[rook + 10] == -Pawn || b[rook - 20] == -Pawn
                             || b[rook + 20] == -Pawn;
                s += chain ? BehindPawnChain : BehindOwnPawn;
                if (b[rook - 1] == Pawn || b[rook - 2] == Pawn)
                    s += FacingEnemyPawn;
            } else if (rankOf[rook] == 1) {
                s -= BackRankRook;
            }
        }
    }
    return s;
}

int RooksOnFiles(Engine& e, const PawnHashEntry& entry) {
    return WhiteRooksOnFiles(e, entry) + BlackRooksOnFiles(e, entry);
}

int RooksOnSeventh(const Position& p) {
    int s = 0;
    if (p.white.rooksOnSeventh) {
        int k = p.black.kingSquare;
        int bonus = SeventhRook;
        if (rankOf[k] >= 7)
            bonus = SeventhKingOnEdge;
        if (rankOf[k] == 8) {
            bool shut = true;
            for (int below : {k - 11, k - 1, k + 9})
                if (p.board[below] != Border && !WhiteAttacks(p, below))
                    shut = false;
            if (shut)
                bonus = SeventhKingShut;
        }
        if (p.black.pawnCount > SeventhPawnsNeeded)
            bonus += SeventhPawnTargets;
        if (p.white.rooksOnSeventh >= 2)
            bonus = bonus * 5 / 2;
        s += bonus;
    }
    if (p.black.rooksOnSeventh) {
        int k = p.white.kingSquare;
        int bonus = SeventhRook;
        if (rankOf[k] <= 2)
            bonus = SeventhKingOnEdge;
        if (rankOf[k] == 1) {
            bool shut = true;
            for (int above : {k - 9, k + 1, k + 11})
                if (p.board[above] != Border && !BlackAttacks(p, above))
                    shut = false;
            if (shut)
                bonus = SeventhKingShut;
        }
        if (p.white.pawnCount > SeventhPawnsNeeded)
            bonus += SeventhPawnTargets;
        if (p.black.rooksOnSeventh >= 2)
            bonus = bonus * 5 / 2;
        s -= bonus;
    }
    return s;
}
