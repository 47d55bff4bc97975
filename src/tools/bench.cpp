// The fixed benchmark search and its report.
#include "tools/bench.h"

#include <cinttypes>

#include "engine.h"
#include "notation/boardtext.h"
#include "output.h"
#include "search/driver.h"
#include "search/report.h"
#include "search/tables.h"
#include "tools/suitemessages.h"

// The benchmark position and search settings.
static constexpr const char* BenchPosition =
    "r2qkbnr/1pp3pp/p1p2p2/4p3/3PP1b1/5N2/PPP2PPP/RNBQ1RK1 w kq -";
constexpr int BenchDepth = 10;
constexpr int64_t BenchMaxTimeMs = 900000;

int64_t RunBenchmark(Engine& e, SearchFunction search) {
    Print("\n*****************************************\n"
          "***** Chess Program Speed Benchmark *****\n"
          "*****************************************\n");
    SetUpEpdPosition(e, BenchPosition);
    Write(DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
    Print("Performing a 10ply benchmark search...\n");
    e.book.useBook = 0;
    e.shell.post = 1;
    const int32_t depthSetting = e.search.searchDepth;
    e.search.searchDepth = BenchDepth;
    e.search.maxTime = BenchMaxTimeMs;
    search(e);
    const int64_t nodes = e.pos.nodeCount;
    Print("\n***** Benchmark Speed: %s nodes/sec.\n\n", NpsText(e));
    Print("Benchmark nodes: %" PRId64 "\n", nodes);
    e.search.searchDepth = depthSetting;
    return nodes;
}
