// History with gravity and countermoves for the Modern search.
#include "search/modernorder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "board/geometry.h"
#include "engine.h"

static constexpr int BonusPerPlySquared = 16;    // bonus 16 d^2 + 32 d, at most MaxBonus
static constexpr int BonusPerPly = 32;
static constexpr int MaxBonus = 1200;

// The side index (0 White, 1 Black) of the side to move.
static int SideToMove(const Position& p) {
    return p.whiteToMove ? 0 : 1;
}

// The index by piece and target of the move back plies before the next one (1: the move
// that led to the current position), -1 after a null move or before the first record.
static int PlyMoveIndex(const Position& p, int back) {
    if (p.currentPly - p.plyStack < back - 1)
        return -1;
    const PlyRecord* r = p.currentPly - (back - 1);
    if (r->from == 0 || r->movedPiece == Empty)
        return -1;
    return (r->movedPiece + PieceIndexOffset) * HistorySquares + PlayingSquareIndex(r->to);
}

// The countermove index of the move that led to the current position.
static int CounterIndex(const Position& p) {
    return PlyMoveIndex(p, 1);
}

// The continuation entry of a quiet move after the move back plies before it, null when
// that ply has no move.
static int16_t* ContinuationOf(SearchData& s, const Position& p, int back, Move move) {
    const int index = PlyMoveIndex(p, back);
    if (index < 0)
        return nullptr;
    const int mover = p.board[MoveFrom(move)];
    return &s.modern.continuation[index / HistorySquares][index % HistorySquares]
                                 [mover + PieceIndexOffset][PlayingSquareIndex(MoveTo(move))];
}

// The countermove stored for the opponent's last move, 0 when none.
static Move CounterOf(const SearchData& s, const Position& p) {
    const int index = CounterIndex(p);
    return index < 0 ? 0 : s.modern.counterMove[index / HistorySquares][index % HistorySquares];
}

// The history entry of a quiet move of side.
static int16_t& HistoryOf(SearchData& s, int side, Move move) {
    return s.modern.history[side][PlayingSquareIndex(MoveFrom(move))][PlayingSquareIndex(MoveTo(move))];
}

QuietTables NodeQuietTables(Engine& e) {
    SearchData& s = e.search;
    QuietTables t;
    t.history = s.modern.history[SideToMove(e.pos)];
    for (int back = 1; back <= ContinuationPlies; back++) {
        const int index = PlyMoveIndex(e.pos, back);
        t.continuation[back - 1] =
            index < 0 ? nullptr
                      : s.modern.continuation[index / HistorySquares][index % HistorySquares];
    }
    return t;
}

Move CurrentCounterMove(const Engine& e) {
    return CounterOf(e.search, e.pos);
}

bool IsCounterMove(const Engine& e, Move move) {
    return move == CurrentCounterMove(e);
}

// Moves a history entry by bonus, pulled back towards zero the nearer it is to the bound.
static void Gravity(int16_t& h, int bonus) {
    int value = h + bonus - h * std::abs(bonus) / ModernHistoryBound;
    h = int16_t(std::clamp(value, -ModernHistoryBound, ModernHistoryBound));
}

void RewardQuietCutoff(Engine& e, Move best, const Move* tried, int triedCount, int depth) {
    SearchData& s = e.search;
    const int side = SideToMove(e.pos);
    const int bonus = std::min(BonusPerPlySquared * depth * depth + BonusPerPly * depth, MaxBonus);
    auto reward = [&](Move move, int amount) {
        Gravity(HistoryOf(s, side, move), amount);
        for (int back = 1; back <= ContinuationPlies; back++)
            if (int16_t* c = ContinuationOf(s, e.pos, back, move))
                Gravity(*c, amount);
    };
    reward(best, bonus);
    for (int i = 0; i < triedCount; i++)
        if (tried[i] != best)
            reward(tried[i], -bonus);
    const int index = CounterIndex(e.pos);
    if (index >= 0)
        s.modern.counterMove[index / HistorySquares][index % HistorySquares] = best;
}

void ClearModernOrdering(SearchData& s) {
    std::memset(&s.modern, 0, sizeof s.modern);
}
