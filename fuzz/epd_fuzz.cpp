// Fuzz target: EPD/FEN text through the reader and position set-up. An accepted position
// must be consistent, must read back from its own EPD text unchanged, and must survive
// making and taking back each of its legal moves.
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "engine.h"
#include "fuzzsupport.h"
#include "notation/epd.h"
#include "search/tables.h"

static Engine& TheEngine() {
    static std::unique_ptr<Engine> engine = NewFuzzEngine();
    return *engine;
}

// Stops the run when a derived field disagrees with the board.
static void RequireConsistent(const Engine& e, const char* when) {
    std::string defect(CheckPosition(e.pos));
    if (!defect.empty())
        FuzzFailure("inconsistent position %s: %s (%s)", when, defect.c_str(), PositionToEpd(e.pos));
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SilenceStandardOutput();  // the reader reports defects on standard output
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Engine& e = TheEngine();
    SetUpStartPosition(e, 0);
    std::string text(reinterpret_cast<const char*>(data), size);
    bool accepted = SetUpEpdPosition(e, text.c_str(), 0);
    RequireConsistent(e, accepted ? "after set-up" : "after a refused set-up");
    std::string written = PositionToEpd(e.pos);
    if (!accepted)
        return 0;

    // The writer's text describes the same position.
    if (!SetUpEpdPosition(e, written.c_str(), 0))
        FuzzFailure("own EPD text refused: %s", written.c_str());
    RequireConsistent(e, "after reading the written text");
    if (written != PositionToEpd(e.pos))
        FuzzFailure("EPD text changed on reading it back: %s -> %s", written.c_str(),
                    PositionToEpd(e.pos));

    // One ply of every legal move, made and taken back.
    GenerateMoves(e.pos);
    const PlyRecord* root = e.pos.currentPly;
    int count = root->moveCount;
    for (int i = 0; i < count; i++) {
        Move m = EntryMove(root->moves[i]);
        MakeMove(e.pos, m);
        RequireConsistent(e, "after a move");
        UnmakeMove(e.pos);
        GenerateMoves(e.pos);
        RequireConsistent(e, "after taking a move back");
        if (e.pos.currentPly != root || root->moveCount != count)
            FuzzFailure("move list changed by make and unmake: %s", written.c_str());
    }
    if (written != PositionToEpd(e.pos))
        FuzzFailure("position changed by make and unmake: %s", written.c_str());
    return 0;
}
