// Positions for tests: random games played from set-up positions, deterministic by seed.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "board/geometry.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "support.h"

// Set-up positions rich in castling, en passant, promotions, pins and checks.
inline const char* const randomGameStarts[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "r3k2r/8/8/8/3pPp2/8/8/R3K1RR b KQkq e3 0 1",
    "4k3/1P4P1/8/2pP4/8/8/1p4p1/4K3 w - c6 0 1",
};

// Next value of a splitmix64 stream, used to pick the random moves.
inline uint64_t NextTestRandom(uint64_t& state) {
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Plays games of random legal moves from every start position and calls visit(e) in each
// position reached (moves generated). visit may make and take back moves of its own.
template <class Visit>
void ForEachRandomGamePosition(Engine& e, int gamesPerStart, int plies, uint64_t seed,
                               Visit visit) {
    uint64_t state = seed;
    for (const char* fen : randomGameStarts) {
        for (int game = 0; game < gamesPerStart; game++) {
            SetFen(e, fen);
            for (int ply = 0; ply < plies; ply++) {
                visit(e);
                const PlyRecord* r = e.pos.currentPly;
                if (r->moveCount == 0 || !HasRoomForPly(e.pos))
                    break;
                MakeMove(e.pos, EntryMove(r->moves[NextTestRandom(state) % r->moveCount]));
                ASSERT_EQ(CheckPosition(e.pos), "") << fen << " ply " << ply;
            }
        }
    }
}

// The list entry as a Move, with the promotion byte only on pawn moves to the last rank.
inline Move ListMove(const Engine& e, int index) {
    const MoveListEntry& entry = e.pos.currentPly->moves[index];
    int piece = e.pos.board[entry.from];
    bool promotes = (piece == Pawn || piece == -Pawn) &&
                    (rankOf[entry.to] == 8 || rankOf[entry.to] == 1);
    return MakeMoveValue(entry.from, entry.to, promotes ? entry.promotion : 0);
}

// Square of a text such as "e4".
inline int Sq(const char* text) { return MakeSquare(text[1] - '0', text[0] - 'a' + 1); }

// Move of a text such as "e2e4", with an optional promotion code.
inline Move Mv(const char* text, int promotion = 0) {
    return MakeMoveValue(Sq(text), Sq(text + 2), promotion);
}
