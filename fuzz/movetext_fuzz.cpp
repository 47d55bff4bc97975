// Fuzz target: reading move text (ParseMove) in positions reached by random legal games.
// Input: a byte choosing the starting position, a byte giving the number of plies, one byte
// per ply choosing a legal move, then the text to read. Whatever the text, the move read is
// none or an entry of the legal list; and legal moves read back from its own SAN and
// coordinate texts, on the Engine and through a NotationContext.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/gameline.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "engine.h"
#include "fuzzsupport.h"
#include "notation/epd.h"
#include "notation/movetext.h"
#include "search/tables.h"
#include "shell/displayboard.h"

// Starting positions with castling, en passant, promotions and ambiguous piece moves.
static const char* const startPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "n1n4k/1P1P4/8/8/8/8/1p1p4/N1N4K w - -",
    "4k3/8/8/3pP3/8/8/8/4K3 w - d6",
    "R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - -",
    "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -",
};
static constexpr int RoundTripSamples = 8;
static constexpr int StartPositionCount = sizeof startPositions / sizeof startPositions[0];

static Engine& TheEngine() {
    static std::unique_ptr<Engine> engine = NewFuzzEngine();
    return *engine;
}

// The position's legal list regenerated and normalised, as the game line keeps it.
static void RefreshMoves(Engine& e) {
    GenerateMoves(e.pos);
    NormalizePromotions(e.pos);
}

// Stops the run when a move read from text is not a legal move here.
static void RequireNoneOrLegal(const Engine& e, Move m, const std::string& text, const char* how) {
    if (MoveFrom(m) != 0 && !IsLegalHere(e, m))
        FuzzFailure("%s read '%s' as a move not in the legal list (%s)", how, text.c_str(),
                    PositionToEpd(e.pos));
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SilenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    Engine& e = TheEngine();
    if (!SetUpEpdPosition(e, startPositions[data[0] % StartPositionCount], 0))
        FuzzFailure("starting position refused");
    RefreshMoves(e);
    size_t at = 2;
    for (int ply = 0; ply < data[1] && at < size; ply++, at++) {
        const PlyRecord* r = e.pos.currentPly;
        if (r->moveCount == 0)
            break;
        GameMakeMove(e.pos, EntryMove(r->moves[data[at] % r->moveCount]));
    }
    std::string text(reinterpret_cast<const char*>(data + at), size - at);
    text = text.c_str();  // typed text ends at its first NUL

    DisplayBoard board;
    CopyToDisplayBoard(e, board);
    NotationContext context{&board, e.pos.currentPly};
    RequireNoneOrLegal(e, ParseMove(e, text.c_str()), text, "ParseMove");
    RequireNoneOrLegal(e, ParseMove(context, text.c_str()), text, "ParseMove on the context");

    // Legal moves read back from their own texts: a sample, as each reading writes the SAN
    // of every legal move.
    RefreshMoves(e);
    const PlyRecord* r = e.pos.currentPly;
    int count = r->moveCount;
    int samples = std::min(count, RoundTripSamples);
    Move moves[RoundTripSamples];
    for (int k = 0; k < samples; k++)
        moves[k] = EntryMove(r->moves[k * count / samples]);
    for (int k = 0; k < samples; k++) {
        Move m = moves[k];
        std::string san = MoveToSan(e, m);
        std::string coordinate = MoveToCoordinate(m);
        std::string uci = MoveToUciText(m);
        std::string plainSan = MoveToSan(context, m);
        if (ParseMove(e, san.c_str()) != m)
            FuzzFailure("SAN %s does not read back (%s)", san.c_str(), PositionToEpd(e.pos));
        if (ParseMove(e, coordinate.c_str()) != m)
            FuzzFailure("coordinates %s do not read back (%s)", coordinate.c_str(), PositionToEpd(e.pos));
        if (ParseMove(e, uci.c_str()) != m)
            FuzzFailure("UCI text %s does not read back (%s)", uci.c_str(), PositionToEpd(e.pos));
        if (ParseMove(context, plainSan.c_str()) != m)
            FuzzFailure("context SAN %s does not read back (%s)", plainSan.c_str(), PositionToEpd(e.pos));
    }
    RefreshMoves(e);
    std::string defect(CheckPosition(e.pos));
    if (!defect.empty())
        FuzzFailure("inconsistent position after reading moves: %s (%s)", defect.c_str(),
                    PositionToEpd(e.pos));
    return 0;
}
