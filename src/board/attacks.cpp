// Attack maps and pins, and the questions about squares and lines answered from them.
#include "board/attacks.h"

#include "board/geometry.h"
#include "board/slideray.h"
#include "board/position.h"

void ResetAttackMaps(Position& p) { ClearMapsAndPins(p); }

void BuildSliderAttacks(Position& p, int side) {
    if (side == WhiteSide)
        BuildSliderAttacksFor<WhiteSide>(p);
    else
        BuildSliderAttacksFor<BlackSide>(p);
}

int CountCheckers(const Position& p) {
    return p.whiteToMove ? CheckersOf<WhiteSide>(p) : CheckersOf<BlackSide>(p);
}

bool SquareAttacked(const Position& p, int side, int square) {
    return side == WhiteSide ? Attacked<WhiteSide>(p, square) : Attacked<BlackSide>(p, square);
}

// Appends each slider of a list whose line to q is open and whose kind's ray bit for that
// line is present in the map m.
static void AddOpenLines(const Position& p, const uint8_t* list, int count, int q, uint16_t m,
                         uint16_t (*kindBits)(int), SliderSet& out) {
    for (int i = 0; i < count && out.count < MaxSquareSliders; i++) {
        int s = list[i];
        int d = directionTable[s][q];
        if (!(kindBits(d) & m))
            continue;
        int t = s + d;
        while (t != q && p.board[t] == Empty)
            t += d;
        if (t == q)
            out.squares[out.count++] = uint8_t(s);
    }
}

// The sliders of one side attacking q, read from that side's map m.
static SliderSet SlidersAttacking(const Position& p, const SideState& s, int q) {
    SliderSet out{};
    uint16_t m = s.attacks[q];
    if (m & 0x000F)
        AddOpenLines(p, s.bishopSquares, s.bishopCount, q, m, BishopBits, out);
    if (m & 0x00F0)
        AddOpenLines(p, s.rookSquares, s.rookCount, q, m, RookBits, out);
    if (m & 0xFF00) {
        if (s.queenCount == 1) {
            if (out.count < MaxSquareSliders)
                out.squares[out.count++] = s.queenSquares[0];
        } else {
            AddOpenLines(p, s.queenSquares, s.queenCount, q, m, QueenBits, out);
        }
    }
    return out;
}

SliderSet WhiteSlidersAttacking(const Position& p, int square) {
    return SlidersAttacking(p, p.white, square);
}

SliderSet BlackSlidersAttacking(const Position& p, int square) {
    return SlidersAttacking(p, p.black, square);
}

// Slider behind via on the line square -> via, with bishop, rook and queen codes of one side.
static int Xray(const Position& p, int square, int via, int bishop, int rook, int queen) {
    int d = directionTable[square][via];
    if (!d)
        return 0;
    int t = square + d;
    while (p.board[t] == Empty)
        t += d;
    if (t != via)
        return 0;
    t += d;
    while (p.board[t] == Empty)
        t += d;
    int code = p.board[t];
    bool diagonal = d == 9 || d == -9 || d == 11 || d == -11;
    if (code == queen || (code == bishop && diagonal) || (code == rook && !diagonal))
        return t;
    return 0;
}

int WhiteXrayAttacker(const Position& p, int square, int via) {
    return Xray(p, square, via, Bishop, Rook, Queen);
}

int BlackXrayAttacker(const Position& p, int square, int via) {
    return Xray(p, square, via, -Bishop, -Rook, -Queen);
}

int XrayAttacker(const Position& p, int side, int square, int via) {
    return side == WhiteSide ? WhiteXrayAttacker(p, square, via) : BlackXrayAttacker(p, square, via);
}

int WhiteAttackedAlongLine(const Position& p, int from, int to) {
    return p.white.attacks[to] & AnySliderBits(directionTable[to][from]);
}

int BlackAttackedAlongLine(const Position& p, int from, int to) {
    return p.black.attacks[to] & AnySliderBits(directionTable[to][from]);
}

int AttackedAlongLine(const Position& p, int side, int from, int to) {
    return side == WhiteSide ? WhiteAttackedAlongLine(p, from, to)
                             : BlackAttackedAlongLine(p, from, to);
}
