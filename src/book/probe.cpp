// Book probing: the small book first, then the move counts of the big book.
#include "book/probe.h"

#include <algorithm>
#include <cstdio>

#include "book/bigbook.h"
#include "book/random.h"
#include "book/smallbook.h"
#include "engine.h"
#include "notation/movetext.h"
#include "textbuilder.h"

// Returns the legal move matching a book move: the same promotion when the list has it,
// else the first with the same squares; nullptr when the move is not legal here.
static const MoveListEntry* FindLegalMove(const Engine& e, const BookMove& m) {
    const PlyRecord* record = e.pos.currentPly;
    const MoveListEntry* first = nullptr;
    for (int i = 0; i < record->moveCount; i++) {
        const MoveListEntry& legal = record->moves[i];
        if (legal.from != m.from || legal.to != m.to)
            continue;
        if (legal.promotion == m.promotion)
            return &legal;
        if (!first)
            first = &legal;
    }
    return first;
}

// Tries the small book; every stored move must be legal here, or the entry is ignored.
static bool ProbeSmallBook(Engine& e, Move* move) {
    int slot = FindSmallBookEntry(e, false);
    if (slot < 0)
        return false;
    const SmallBookEntry& entry = e.book.smallBook[slot];
    const MoveListEntry* legal[SmallBookMoves];
    int n = 0;
    while (n < SmallBookMoves && entry.moves[n].from != 0) {
        legal[n] = FindLegalMove(e, entry.moves[n]);
        if (!legal[n])
            return false;
        n++;
    }
    if (n == 0)
        return false;
    *move = EntryMove(*legal[NextRandom(e) % uint32_t(n)]);
    return true;
}

// Tries the big book; every counted move must be legal here, or the entry is ignored.
static bool ProbeBigBook(Engine& e, Move* move) {
    int slot = FindBigBookEntry(e, e.pos.hashKey);
    if (slot < 0)
        return false;
    const BigBookEntry& entry = e.book.bigBook[slot];
    const MoveListEntry* legal[BigBookMoves];
    for (int j = 0; j < BigBookMoves && entry.counts[j] != 0; j++) {
        legal[j] = FindLegalMove(e, entry.moves[j]);
        if (!legal[j])
            return false;
    }
    // Draw only for an entry that can be used, as a draw advances the random walk.
    if (PickBigBookMove(entry, 0) < 0)
        return false;
    int pick = PickBigBookMove(entry, NextRandom(e));
    *move = EntryMove(*legal[pick]);
    return true;
}

BookSource ProbeBook(Engine& e, Move* move) {
    if (ProbeSmallBook(e, move))
        return BookSource::Small;
    if (ProbeBigBook(e, move))
        return BookSource::Big;
    return BookSource::None;
}

const char* BookMoveText(BookSource source) {
    return source == BookSource::Small ? "Book Move (small)" : "Book Move (big)";
}

static constexpr int BookTextSize = 512;  // room for nine moves with counts and three lines

static Move BookMoveValue(const BookMove& m) { return MakeMoveValue(m.from, m.to, m.promotion); }

const char* BookText(Engine& e) {
    static char text[BookTextSize];
    TextBuilder b(text, sizeof text);
    b.Add("Small Book: ");
    int slot = FindSmallBookEntry(e, true);
    if (slot >= 0) {
        const SmallBookEntry& entry = e.book.smallBook[slot];
        for (int j = 0; j < SmallBookMoves && entry.moves[j].from != 0; j++)
            b.Add("%s ", MoveToSan(e, BookMoveValue(entry.moves[j])));
    }
    b.Add("\nBig Book:   ");
    slot = FindBigBookEntry(e, e.pos.hashKey);
    if (slot >= 0) {
        const BigBookEntry& entry = e.book.bigBook[slot];
        for (int j = 0; j < BigBookMoves; j++)
            if (entry.counts[j] != 0)
                b.Add("%s (%d) ", MoveToSan(e, BookMoveValue(entry.moves[j])),
                       entry.counts[j]);
    }
    int used = 0, singletons = 0;
    for (int i = 0; i < BigBookSize; i++) {
        const BigBookEntry& entry = e.book.bigBook[i];
        used += entry.counts[0] != 0;
        singletons += entry.counts[0] == 1 && entry.counts[1] == 0;
    }
    b.Add("\nBig Book:  %d entries used out of %d\n", used, BigBookSize);
    b.Add("Big Book:  %d singleton entries.\n", singletons);
    return text;
}
