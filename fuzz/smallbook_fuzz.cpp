// Fuzz target: the input bytes as the small book's text, compiled the way start-up does it
// (kitebook.txt found, no kitebook.bin: compile, then write the image). The image must read
// back as the compiled table, the position must stay consistent, and a book probe may only
// offer legal moves.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "board/movegen.h"
#include "board/poscheck.h"
#include "book/probe.h"
#include "book/smallbook.h"
#include "engine.h"
#include "fuzzsupport.h"
#include "notation/epd.h"
#include "search/tables.h"

static Engine& TheEngine() {
    static std::unique_ptr<Engine> engine = NewFuzzEngine();
    return *engine;
}

static void ClearSmallBook(Engine& e) {
    std::fill(e.book.smallBook, e.book.smallBook + SmallBookSize, SmallBookEntry{});
}

static bool SameEntry(const SmallBookEntry& a, const SmallBookEntry& b) {
    if (a.keyLow != b.keyLow || a.keyHigh != b.keyHigh)
        return false;
    for (int i = 0; i < SmallBookMoves; i++)
        if (a.moves[i].from != b.moves[i].from || a.moves[i].to != b.moves[i].to ||
            a.moves[i].promotion != b.moves[i].promotion)
            return false;
    return true;
}

// Probes the book in the current position: a move offered must be legal here.
static void ProbeHere(Engine& e) {
    GenerateMoves(e.pos);
    Move m;
    if (ProbeBook(e, &m) != BookSource::None && !IsLegalHere(e, m))
        FuzzFailure("book move %06x not legal in %s", m, PositionToEpd(e.pos));
    BookText(e);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SilenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Engine& e = TheEngine();
    EmptyScratchFolder();
    WriteScratchFile(SmallBookTextName, data, size);
    ClearSmallBook(e);
    SetUpStartPosition(e, 0);
    LoadSmallBook(e, ScratchFolder(), nullptr);
    std::string defect(CheckPosition(e.pos));
    if (!defect.empty())
        FuzzFailure("inconsistent position after compiling: %s", defect.c_str());
    ProbeHere(e);  // the last book position
    SetUpStartPosition(e, 0);
    ProbeHere(e);

    // The image written by the compiling start-up holds the same table.
    static SmallBookEntry compiled[SmallBookSize];
    std::copy(e.book.smallBook, e.book.smallBook + SmallBookSize, compiled);
    ClearSmallBook(e);
    LoadSmallBook(e, ScratchFolder(), nullptr);
    for (int i = 0; i < SmallBookSize; i++)
        if (!SameEntry(compiled[i], e.book.smallBook[i]))
            FuzzFailure("record %d of the image differs from the compiled book", i);
    return 0;
}
