// Attack maps, pins and the square queries answered from them.
#pragma once

#include <cstdint>

#include "board/types.h"

struct Position;
struct Position;

// Most sliders that can attack one square: one per direction.
constexpr int MaxSquareSliders = 8;

// The sliders of one side that attack a square: bishops first, then rooks, then queens.
struct SliderSet {
    int32_t count;
    uint8_t squares[MaxSquareSliders];
};

// Clears both sides' attack maps and pin lists and sets mobilityBalance to 0.
void ResetAttackMaps(Position& p);

// Walks every ray of every slider of the side, marking its attack map, recording the pins
// of the other side and adding its mobility to mobilityBalance. Adds no moves.
void BuildSliderAttacks(Position& p, int side);

// Number of enemy pieces giving check to the side to move (the enemy map must be built).
int CountCheckers(const Position& p);

// True when the side attacks the square: its map, its king and knights, or its pawns.
bool SquareAttacked(const Position& p, int side, int square);

// The bishops, rooks and queens of a side that attack the square, from its attack map.
SliderSet WhiteSlidersAttacking(const Position& p, int square);
SliderSet BlackSlidersAttacking(const Position& p, int square);

// The square of the side's slider standing behind via on the line square -> via, with
// nothing in between; 0 when there is none. side 0 is White, anything else Black.
int XrayAttacker(const Position& p, int side, int square, int via);
int WhiteXrayAttacker(const Position& p, int square, int via);
int BlackXrayAttacker(const Position& p, int square, int via);

// Nonzero when a slider ray of the side arrives at to heading toward from.
int AttackedAlongLine(const Position& p, int side, int from, int to);
int WhiteAttackedAlongLine(const Position& p, int from, int to);
int BlackAttackedAlongLine(const Position& p, int from, int to);
