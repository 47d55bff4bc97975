// The big book's table: loading, and counting the moves of games into it.
#include "book/bigbook.h"

#include <algorithm>
#include <memory>

#include "book/bookimage.h"
#include "engine.h"
#include "output.h"

static constexpr uint32_t BigBookMask = BigBookSize - 1;
static constexpr int BigBookStoreSlots = 8;  // slots where a new position may be stored
static constexpr int MinBigBookCount = 2;    // a move seen in fewer games is never chosen

// Prints the one line that explains why the big book stays empty.
static void ReportBigBookImage(ImageResult result, const char* path) {
    if (result == ImageMissing)
        Notice("--- No big book: cannot open %s ---\n", path);
    else if (result == ImageWrongSize)
        Notice("--- ERROR: %s is not %ld bytes long, the big book is empty ---\n", path,
              BigBookImageBytes);
    else if (result == ImageUnreadable)
        Notice("--- ERROR: Cannot read %s, the big book is empty ---\n", path);
}

void ClearBigBook(Engine& e) {
    std::fill(e.book.bigBook.get(), e.book.bigBook.get() + BigBookSize, BigBookEntry{});
}

void CreateBigBook(Engine& e) {
    e.book.bigBook = std::make_unique<BigBookEntry[]>(BigBookSize);
    ImageResult result = LoadBigBookImage(e.book.bigBook.get(), BigBookImageName);
    if (result == ImageMissing)
        result = LoadBigBookImage(e.book.bigBook.get(), DataFolderPath(BigBookImageName));
    ReportBigBookImage(result, BigBookImageName);
}

bool LoadBigBook(Engine& e, const char* path) {
    ImageResult result = LoadBigBookImage(e.book.bigBook.get(), path);
    ReportBigBookImage(result, path);
    return result == ImageLoaded;
}

int FindBigBookEntry(const Engine& e, uint64_t key) {
    const BigBookEntry* book = e.book.bigBook.get();
    uint32_t low = uint32_t(key), high = uint32_t(key >> 32);
    for (int k = 0; k < BigBookProbeSlots; k++) {
        int slot = int((low + uint32_t(k)) & BigBookMask);
        if (book[slot].keyLow == low && book[slot].keyHigh == high)
            return slot;
    }
    return -1;
}

// Halves every count of an entry's move list, keeping each played move at 1 or more.
static void HalveCounts(BigBookEntry& entry) {
    for (int j = 0; j < BigBookMoves && entry.counts[j] != 0; j++)
        entry.counts[j] = uint8_t(std::max(entry.counts[j] / 2, 1));
}

void RecordBigBookMove(Engine& e, uint64_t key, Move m) {
    BigBookEntry* book = e.book.bigBook.get();
    uint32_t low = uint32_t(key), high = uint32_t(key >> 32);
    BookMove played{uint8_t(MoveFrom(m)), uint8_t(MoveTo(m)), int8_t(MovePromotion(m))};

    // Look for the key and remember where a new position could go: the last empty slot
    // and the last slot holding one move seen once. Slot 0 never takes a new position.
    int found = -1, emptySlot = -1, singleSlot = -1;
    for (int k = 0; k < BigBookStoreSlots && found < 0; k++) {
        int slot = int((low + uint32_t(k)) & BigBookMask);
        const BigBookEntry& entry = book[slot];
        if (entry.keyLow == low && entry.keyHigh == high)
            found = slot;
        else if (slot == 0)
            continue;
        else if (entry.counts[0] == 0)
            emptySlot = slot;
        else if (entry.counts[0] == 1 && entry.counts[1] == 0)
            singleSlot = slot;
    }
    if (found < 0) {
        int last = int((low + uint32_t(BigBookStoreSlots)) & BigBookMask);
        if (book[last].keyLow == low && book[last].keyHigh == high)
            found = last;
    }

    if (found < 0) {
        int slot = emptySlot >= 0 ? emptySlot : singleSlot;
        if (slot < 0)
            return;  // eight busy slots: the position is not recorded
        BigBookEntry& entry = book[slot];
        entry = BigBookEntry{};
        entry.keyLow = low;
        entry.keyHigh = high;
        entry.moves[0] = played;
        entry.counts[0] = 1;
        return;
    }

    BigBookEntry& entry = book[found];
    for (int j = 0; j < BigBookMoves; j++) {
        if (entry.counts[j] == 0)
            entry.moves[j] = played;
        else if (entry.moves[j].from != played.from || entry.moves[j].to != played.to)
            continue;
        if (++entry.counts[j] >= BigBookCountLimit)
            HalveCounts(entry);
        return;
    }
    // All five slots hold other moves: this one is not recorded.
}

int PickBigBookMove(const BigBookEntry& entry, uint32_t random) {
    int n = 0, best = 0;
    uint32_t total = 0;
    while (n < BigBookMoves && entry.counts[n] != 0) {
        total += entry.counts[n];
        if (entry.counts[n] > entry.counts[best])
            best = n;
        n++;
    }
    if (n == 0 || entry.counts[best] < MinBigBookCount)
        return -1;
    uint32_t r = random % total, sum = 0;
    for (int j = 0; j < n; j++) {
        sum += entry.counts[j];
        if (sum > r)
            return entry.counts[j] >= MinBigBookCount ? j : best;
    }
    return best;
}
