// Fuzz target: the input bytes as a PGN file, read game by game as "build" reads it, then
// given whole to the big-book builder. Each game read must leave a consistent position,
// and the keys and moves it records must replay as legal moves from the starting position.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "board/gameline.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "book/bigbook.h"
#include "book/bookbuild.h"
#include "book/probe.h"
#include "engine.h"
#include "fuzzsupport.h"
#include "notation/epd.h"
#include "notation/pgn.h"
#include "search/tables.h"

// More games than an input of the fuzzer's length can hold: a reader that stops making
// progress is reported instead of looping.
static constexpr int MaxGamesPerInput = 100000;

static Engine& TheEngine() {
    static std::unique_ptr<Engine> engine = NewFuzzEngine();
    return *engine;
}

static void RequireConsistent(const Engine& e, const char* when) {
    std::string defect(CheckPosition(e.pos));
    if (!defect.empty())
        FuzzFailure("inconsistent position %s: %s (%s)", when, defect.c_str(), PositionToEpd(e.pos));
}

// Replays the recorded opening of a game: each key must be the position's, each move legal.
static void ReplayRecordedPlies(Engine& e, const PgnGame& game, int plies) {
    SetUpStartPosition(e, 0);
    for (int ply = 0; ply < plies && ply < PgnRecordedPlies; ply++) {
        if (game.keys[ply] != e.pos.hashKey)
            FuzzFailure("recorded key of ply %d is not the position's", ply);
        if (!IsLegalHere(e, game.moves[ply]))
            FuzzFailure("recorded move of ply %d is not legal (%s)", ply, PositionToEpd(e.pos));
        GameMakeMove(e.pos, game.moves[ply]);
    }
    RequireConsistent(e, "after replaying a game");
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SilenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Engine& e = TheEngine();
    std::string path = WriteScratchFile("games.pgn", data, size);
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        FuzzFailure("cannot open %s", path.c_str());

    // Game by game, with the checks the builder does not make.
    ClearBigBook(e);
    PgnGame game;
    int games = 0;
    for (;; games++) {
        if (games == MaxGamesPerInput)
            FuzzFailure("the PGN reader makes no progress");
        int plies = ReadPgnGame(e, f, &game);
        RequireConsistent(e, "after reading a game");
        if (plies < 0) {
            if (!SkipToNextGame(f))
                break;
            continue;
        }
        if (plies != game.playedPlies)
            FuzzFailure("%d plies returned, %d recorded as played", plies, game.playedPlies);
        ReplayRecordedPlies(e, game, plies);
        for (int ply = 0; ply < plies && ply < BigBookPlies; ply++)
            RecordBigBookMove(e, game.keys[ply], game.moves[ply]);
        if (plies == 0 && game.endOfFile)
            break;
    }
    std::fclose(f);

    // The book of these games offers only legal moves in the opening position.
    SetUpStartPosition(e, 0);
    Move m;
    e.book.useBook = 1;
    if (ProbeBook(e, &m) != BookSource::None && !IsLegalHere(e, m))
        FuzzFailure("book move not legal in the starting position");

    // The whole file through the builder; its image cannot be written (no such folder).
    f = std::fopen(path.c_str(), "r");
    if (!f)
        FuzzFailure("cannot open %s", path.c_str());
    std::string image = std::string(ScratchFolder()) + "/missing/kitebigb.bin";
    BuildBigBook(e, f, image.c_str());
    std::fclose(f);
    RequireConsistent(e, "after building a book");
    return 0;
}
