// Slow reference answers for the board tests: moves by make-and-test, attack maps and pins
// by walking rays from scratch, and a field-by-field Position comparison.
#pragma once

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "board/geometry.h"
#include "engine.h"

struct RefMove {
    int from, to, promotion;
    bool operator<(const RefMove& o) const {
        return std::tie(from, to, promotion) < std::tie(o.from, o.to, o.promotion);
    }
    bool operator==(const RefMove& o) const {
        return from == o.from && to == o.to && promotion == o.promotion;
    }
};

// True when a piece of the given colour attacks sq on the board.
bool RefAttacked(const int32_t* board, int sq, bool byWhite);

// Every legal move of the position, sorted.
std::vector<RefMove> ReferenceMoves(const Position& p);

// The current list of the generator, sorted.
std::vector<RefMove> GeneratedMoves(const Engine& e);

// The side's slider attack masks recomputed by walking rays (White when white is set).
std::vector<uint16_t> ReferenceAttackMap(const Position& p, bool white);

// Pins of the side's pieces as "square:direction:pinner" texts, sorted.
std::vector<std::string> ReferencePins(const Position& p, bool white);
std::vector<std::string> StoredPins(const Position& p, bool white);

// Names the first field where two positions differ, ignoring the attack maps, pins,
// mobilityBalance, checkCount, genCursor and nodeCount; empty when all agree.
std::string ComparePositions(const Position& a, const Position& b);

// The square named by text ("e4").
inline int Sq(const char* name) { return MakeSquare(name[1] - '0', name[0] - 'a' + 1); }

// The move of the current list from the first square of text to the second ("e2e4"), or 0.
inline Move Find(const Engine& e, const char* text) {
    int from = Sq(text), to = Sq(text + 2);
    const PlyRecord* r = e.pos.currentPly;
    for (int i = 0; i < r->moveCount; i++)
        if (r->moves[i].from == from && r->moves[i].to == to)
            return EntryMove(r->moves[i]);
    return 0;
}
