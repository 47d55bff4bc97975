// King safety, written once per colour: Black's twin mirrors the ranks and adds with the
// opposite sign, so both fields grow in White's favour when Black's king is the unsafe one.
#include "eval/kingsafety.h"

#include "board/attackcount.h"
#include "board/attacks.h"
#include "engine.h"

// King-safety tunables, in pawn = 900 units.
constexpr int ZonePenalty2 = 200;         // two attack units on the king's neighbours
constexpr int ZonePenalty3 = 300;         // a third unit, on top
constexpr int ZonePenalty4 = 400;         // a fourth unit or more, on top
constexpr int MaxZoneSliders = 3;         // distinct sliders counted around one king
constexpr int WingIntruder = 100;         // enemy piece on c3/f3/g3 (c6/f6/g6)
constexpr int FianchettoIntruder = 500;   // enemy pawn or bishop on f3 with a queen and g2 weak
constexpr int MissingKnightPawn = 83;     // shield present but no g- or b-pawn
constexpr int MissingKnightPawnHeavy = 125;
constexpr int NoShieldNoCastling = 125;
constexpr int NoShieldOppositeKing = 200;
constexpr int NoShieldCanCastle = 50;
constexpr int NoShieldOpenFile = 50;
constexpr int QueenNearKing = 200;
constexpr int OpenFront = 50;             // two or three empty squares in front of the king
constexpr int EmptyFianchetto = 50;       // g2 empty or the king on g2
constexpr int CentreKingNoGPawn = 100;
constexpr int StuckKing = 200;            // king that can no longer castle, rook shut in
constexpr int CentreKingCanCastle = 100;
constexpr int CentreKingCastleAttacked = 175;
constexpr int HeavyMaterial = 23500;      // enemy material from which castling still matters
constexpr int QueenReach = 2;             // king distance at which a queen counts as close

// Penalty for the number of dangers counted around a king (5 and more alike).
static int DangerPenalty(int danger) {
    return danger >= 5 ? 750 : danger == 4 ? 500 : danger == 3 ? 300 : danger == 2 ? 166 : 0;
}

// Penalty for the attack units on a king's neighbourhood.
static int ZonePenalty(int units) {
    int penalty = 0;
    if (units >= 2)
        penalty += ZonePenalty2;
    if (units >= 3)
        penalty += ZonePenalty3;
    if (units >= 4)
        penalty += ZonePenalty4;
    return penalty;
}

// Adds a slider square to the distinct list unless it is there or the list is full.
static void NoteSlider(int sq, int* seen, int& seenCount) {
    for (int i = 0; i < seenCount; i++)
        if (seen[i] == sq)
            return;
    if (seenCount < MaxZoneSliders)
        seen[seenCount++] = sq;
}

// Notes the sliders that the map bits m show attacking square s. Each bit names a ray
// direction; walking back against it from s, the first piece met is the slider.
static void NoteSlidersAt(const int32_t* b, int s, unsigned m, int* seen, int& seenCount) {
    while (m) {
        unsigned bit = m & -m;
        m ^= bit;
        int d = bit <= 0xFF ? bitDirection[bit] : bitDirection[bit >> 8];
        int t = s - d;
        while (b[t] == Empty)
            t -= d;
        NoteSlider(t, seen, seenCount);
    }
}

// The square of a rank and a file, both 1..8.
static constexpr int SquareOf(int rank, int file) { return MakeSquare(rank, file); }

// Attack units of Black on the neighbours of White's king k.
static int WhiteKingZoneUnits(Engine& e, int k) {
    static constexpr int zoneSteps[8] = {1, 11, 10, 9, -1, -11, -10, -9};  // up first, clockwise
    const Position& p = e.pos;
    const int32_t* b = p.board;
    int units = 0;
    bool kingOrKnight = false;
    int seen[MaxZoneSliders];
    int seenCount = 0;
    for (int step : zoneSteps) {
        int s = k + step;
        if (b[s] == Border)
            continue;
        // A pawn on k + 1 eyes both sides of the king; count it once.
        if (b[s + 11] == -Pawn && step != -10 && step != -9)
            units++;
        if (b[s - 9] == -Pawn)
            units++;
        if (p.black.kingKnightAttacks[s])
            kingOrKnight = true;
        NoteSlidersAt(b, s, p.black.attacks[s], seen, seenCount);
    }
    return units + seenCount + (kingOrKnight ? 1 : 0);
}

// Attack units of White on the neighbours of Black's king k.
static int BlackKingZoneUnits(Engine& e, int k) {
    static constexpr int zoneSteps[8] = {-1, 9, 10, 11, 1, -9, -10, -11};  // down first, mirrored
    const Position& p = e.pos;
    const int32_t* b = p.board;
    int units = 0;
    bool kingOrKnight = false;
    int seen[MaxZoneSliders];
    int seenCount = 0;
    for (int step : zoneSteps) {
        int s = k + step;
        if (b[s] == Border)
            continue;
        // A pawn on k - 1 eyes both sides of the king; count it once.
        if (b[s + 9] == Pawn && step != -10 && step != -11)
            units++;
        if (b[s - 11] == Pawn)
            units++;
        if (p.white.kingKnightAttacks[s])
            kingOrKnight = true;
        NoteSlidersAt(b, s, p.white.attacks[s], seen, seenCount);
    }
    return units + seenCount + (kingOrKnight ? 1 : 0);
}

// Empty squares among the three in front of a king (toward the centre on the rook files).
static int EmptyInFront(const int32_t* b, int k, int forward) {
    int file = fileOf[k];
    int a = k + forward;
    int c1 = file == 1 ? a + 10 : a - 10;
    int c2 = file == 1 ? a + 20 : file == 8 ? a - 20 : a + 10;
    return (b[a] == Empty) + (b[c1] == Empty) + (b[c2] == Empty);
}

// Adds the safety points and dangers of White's king into whiteKingSafety/Danger.
static void WhiteKingSafety(Engine& e, const PawnHashEntry& entry) {
    const Position& p = e.pos;
    const int32_t* b = p.board;
    const SideState& enemy = p.black;
    int k = p.white.kingSquare;
    int file = fileOf[k];
    bool queenSide = file <= 3;
    bool kingSide = file >= 6;
    int ks = 0;
    int kd = 0;

    // 1. Attack units on the king's neighbours.
    int units = WhiteKingZoneUnits(e, k);
    ks -= ZonePenalty(units);
    kd += units >= 2;

    // 2. Enemy pieces lodged in front of the castled king.
    if (queenSide && b[SquareOf(3, 3)] < 0) {
        ks -= WingIntruder;
        kd++;
    }
    if (kingSide) {
        int f3 = b[SquareOf(3, 6)];
        if (f3 < 0) {
            ks -= WingIntruder;
            kd++;
            if ((f3 == -Pawn || f3 == -Bishop) && enemy.queenCount
                && WhiteAttackersWithPawns(p, SquareOf(2, 7)) < 2)
                ks -= FianchettoIntruder;
        }
        if (b[SquareOf(3, 7)] < 0) {
            ks -= WingIntruder;
            kd++;
        }
    }

    // 3. Pawn cover.
    if (b[k + 1] == Pawn || b[k + 2] == Pawn) {
        if (kingSide && b[SquareOf(2, 7)] != Pawn && b[SquareOf(3, 7)] != Pawn) {
            bool heavy = enemy.material >= HeavyMaterial && fileOf[enemy.kingSquare] <= 5;
            ks -= heavy ? MissingKnightPawnHeavy : MissingKnightPawn;
            kd++;
        }
        if (queenSide && b[SquareOf(2, 2)] != Pawn && b[SquareOf(3, 2)] != Pawn) {
            ks -= MissingKnightPawn;
            kd++;
        }
    } else {
        if (!(p.castleRights & (CastleWhiteKing | CastleWhiteQueen))) {
            bool opposite = kingSide && enemy.material >= HeavyMaterial
                            && fileOf[enemy.kingSquare] <= 5;
            ks -= opposite ? NoShieldOppositeKing : NoShieldNoCastling;
            kd++;
        } else {
            ks -= NoShieldCanCastle;
        }
        if (entry.openFiles & (1 << (file - 1))) {
            ks -= NoShieldOpenFile;
            kd++;
        }
    }

    // 4. Enemy queens close by, and the squares in front of the king.
    if (enemy.queenCount) {
        for (int i = 0; i < 2 && i < enemy.queenCount; i++)
            if (KingDistance(enemy.queenSquares[i], k) <= QueenReach) {
                ks -= QueenNearKing;
                kd++;
            }
        int empty = EmptyInFront(b, k, 1);
        if (empty >= 2)
            ks -= OpenFront;
        if (empty == 3)
            kd++;
    }

    // 5. Castling readiness while the enemy keeps heavy material.
    if (enemy.material >= HeavyMaterial) {
        int kingRight = p.castleRights & CastleWhiteKing;
        if (file >= 5) {
            if (b[SquareOf(2, 7)] == Empty || k == SquareOf(2, 7))
                ks -= EmptyFianchetto;
            if (file == 5 && b[SquareOf(2, 7)] != Pawn && b[SquareOf(3, 7)] != Pawn) {
                ks -= CentreKingNoGPawn;
                kingRight = 0;
            }
        }
        bool f1g1Safe = !BlackAttacks(p, SqF1) && !BlackAttacks(p, SqG1);
        bool canCastle = kingRight && b[SqF1] == Empty && b[SqG1] == Empty && f1g1Safe;
        if (!canCastle)
            canCastle = (p.castleRights & CastleWhiteQueen) && b[SqB1] == Empty
                        && b[SqC1] == Empty && b[SqD1] == Empty && !BlackAttacks(p, SqC1)
                        && !BlackAttacks(p, SqD1)
                        && (b[SquareOf(2, 2)] == Pawn || b[SquareOf(3, 2)] == Pawn);
        if (!canCastle) {
            if (k == SqF1 || k == SqG1) {
                if (b[SqH1] == Rook || b[SqG1] == Rook || b[SquareOf(2, 8)] == Rook) {
                    ks -= StuckKing;
                    kd++;
                }
            } else if (k == SquareOf(2, 7) || k == SqH1 || k == SquareOf(2, 8) || k == SqA1
                       || k == SquareOf(2, 1) || k == SquareOf(2, 2)) {
                // Castled by hand or tucked in the corner: nothing to add.
            } else if (k == SqB1 || k == SqC1) {
                if (b[SqA1] == Rook || b[SqB1] == Rook) {
                    ks -= StuckKing;
                    kd++;
                }
            } else if (k == SqE1) {
                if (!(p.castleRights & CastleWhiteKing))
                    ks -= StuckKing;
                else
                    ks -= f1g1Safe ? CentreKingCanCastle : CentreKingCastleAttacked;
                kd++;
            } else {
                ks -= StuckKing;
                kd++;
            }
        }
    }

    // 6. Many dangers at once cost more than their sum.
    kd += e.eval.whiteKingDanger;
    ks -= DangerPenalty(kd);
    e.eval.whiteKingSafety += ks;
    e.eval.whiteKingDanger = kd;
}

// Adds the safety points and dangers of Black's king into blackKingSafety/Danger.
static void BlackKingSafety(Engine& e, const PawnHashEntry& entry) {
    const Position& p = e.pos;
    const int32_t* b = p.board;
    const SideState& enemy = p.white;
    int k = p.black.kingSquare;
    int file = fileOf[k];
    bool queenSide = file <= 3;
    bool kingSide = file >= 6;
    int ks = 0;
    int kd = 0;

    // 1. Attack units on the king's neighbours.
    int units = BlackKingZoneUnits(e, k);
    ks += ZonePenalty(units);
    kd += units >= 2;

    // 2. Enemy pieces lodged in front of the castled king.
    if (queenSide && b[SquareOf(6, 3)] > 0) {
        ks += WingIntruder;
        kd++;
    }
    if (kingSide) {
        int f6 = b[SquareOf(6, 6)];
        if (f6 > 0) {
            ks += WingIntruder;
            kd++;
            if ((f6 == Pawn || f6 == Bishop) && enemy.queenCount
                && BlackAttackersWithPawns(p, SquareOf(7, 7)) < 2)
                ks += FianchettoIntruder;
        }
        if (b[SquareOf(6, 7)] > 0) {
            ks += WingIntruder;
            kd++;
        }
    }

    // 3. Pawn cover.
    if (b[k - 1] == -Pawn || b[k - 2] == -Pawn) {
        if (kingSide && b[SquareOf(7, 7)] != -Pawn && b[SquareOf(6, 7)] != -Pawn) {
            bool heavy = enemy.material >= HeavyMaterial && fileOf[enemy.kingSquare] <= 5;
            ks += heavy ? MissingKnightPawnHeavy : MissingKnightPawn;
            kd++;
        }
        if (queenSide && b[SquareOf(7, 2)] != -Pawn && b[SquareOf(6, 2)] != -Pawn) {
            ks += MissingKnightPawn;
            kd++;
        }
    } else {
        if (!(p.castleRights & (CastleBlackKing | CastleBlackQueen))) {
            bool opposite = kingSide && enemy.material >= HeavyMaterial
                            && fileOf[enemy.kingSquare] <= 5;
            ks += opposite ? NoShieldOppositeKing : NoShieldNoCastling;
            kd++;
        } else {
            ks += NoShieldCanCastle;
        }
        if (entry.openFiles & (1 << (file - 1))) {
            ks += NoShieldOpenFile;
            kd++;
        }
    }

    // 4. Enemy queens close by, and the squares in front of the king.
    if (enemy.queenCount) {
        for (int i = 0; i < 2 && i < enemy.queenCount; i++)
            if (KingDistance(enemy.queenSquares[i], k) <= QueenReach) {
                ks += QueenNearKing;
                kd++;
            }
        int empty = EmptyInFront(b, k, -1);
        if (empty >= 2)
            ks += OpenFront;
        if (empty == 3)
            kd++;
    }

    // 5. Castling readiness while the enemy keeps heavy material.
    if (enemy.material >= HeavyMaterial) {
        int kingRight = p.castleRights & CastleBlackKing;
        if (file >= 5) {
            if (b[SquareOf(7, 7)] == Empty || k == SquareOf(7, 7))
                ks += EmptyFianchetto;
            if (file == 5 && b[SquareOf(7, 7)] != -Pawn && b[SquareOf(6, 7)] != -Pawn) {
                ks += CentreKingNoGPawn;
                kingRight = 0;
            }
        }
        bool f8g8Safe = !WhiteAttacks(p, SqF8) && !WhiteAttacks(p, SqG8);
        bool canCastle = kingRight && b[SqF8] == Empty && b[SqG8] == Empty && f8g8Safe;
        if (!canCastle)
            canCastle = (p.castleRights & CastleBlackQueen) && b[SqB8] == Empty
                        && b[SqC8] == Empty && b[SqD8] == Empty && !WhiteAttacks(p, SqC8)
                        && !WhiteAttacks(p, SqD8)
                        && (b[SquareOf(7, 2)] == -Pawn || b[SquareOf(6, 2)] == -Pawn);
        if (!canCastle) {
            if (k == SqF8 || k == SqG8) {
                if (b[SqH8] == -Rook || b[SqG8] == -Rook || b[SquareOf(7, 8)] == -Rook) {
                    ks += StuckKing;
                    kd++;
                }
            } else if (k == SquareOf(7, 7) || k == SqH8 || k == SquareOf(7, 8) || k == SqA8
                       || k == SquareOf(7, 1) || k == SquareOf(7, 2)) {
                // Castled by hand or tucked in the corner: nothing to add.
            } else if (k == SqB8 || k == SqC8) {
                if (b[SqA8] == -Rook || b[SqB8] == -Rook) {
                    ks += StuckKing;
                    kd++;
                }
            } else if (k == SqE8) {
                if (!(p.castleRights & CastleBlackKing))
                    ks += StuckKing;
                else
                    ks += f8g8Safe ? CentreKingCanCastle : CentreKingCastleAttacked;
                kd++;
            } else {
                ks += StuckKing;
                kd++;
            }
        }
    }

    // 6. Many dangers at once cost more than their sum.
    kd += e.eval.blackKingDanger;
    ks += DangerPenalty(kd);
    e.eval.blackKingSafety += ks;
    e.eval.blackKingDanger = kd;
}

void EvaluateKingSafety(Engine& e, int side, const PawnHashEntry& entry) {
    if (side == WhiteSide)
        WhiteKingSafety(e, entry);
    else
        BlackKingSafety(e, entry);
}
