// The search's reports written as xboard, console and UCI text.
#include "shell/thinking.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "board/movegen.h"
#include "engine.h"
#include "notation/movetext.h"
#include "output.h"
#include "search/hashusage.h"
#include "search/pv.h"
#include "search/scoretext.h"
#include "search/searchclock.h"
#include "search/searchreport.h"
#include "search/timelimit.h"
#include "textbuilder.h"

static constexpr int CurrentMoveDepth = 6;     // UCI current-move lines above this depth
static constexpr int ScoreDivisor = 10;        // printed scores are tenths of the internal unit

const char* PvText(Engine& e, bool uci, const MoveListEntry* line) {
    char* out = e.shell.texts.pvText;
    const size_t size = sizeof e.shell.texts.pvText;
    TextBuilder b(out, size);
    // UCI hosts want lower-case promotion letters, and their position already holds the
    // move pondered on, so under UCI the line starts at the root.
    auto text = uci ? MoveToUciText : MoveToCoordinate;
    if (!uci && e.search.searchState.load(std::memory_order_relaxed) == Pondering) {
        const PlyRecord* r = e.pos.currentPly;
        b.Append(text(MakeMoveValue(r->from, r->to, r->promotion)));
        b.Append(" ");
    }
    for (int k = 0; k < MaxPvTextMoves && line[k].from; k++) {
        if (k > 0)
            b.Append(" ");
        b.Append(text(EntryMove(line[k])));
    }
    return out;
}

const char* FormatThinkingLine(Engine& e, const SearchReport& r) {
    int64_t centiseconds = r.elapsedMs / MillisecondsPerCentisecond;
    std::snprintf(e.shell.texts.thinkingLine, sizeof e.shell.texts.thinkingLine,
                  "%2d %4d %5" PRId64 " %7" PRId64 " %s\n", r.depth, r.score / ScoreDivisor,
                  centiseconds, r.nodes, PvText(e, false, r.pv));
    return e.shell.texts.thinkingLine;
}

// Prints the line announcing a root move played without a search: "0 0 0 0 (e4 Book Move)".
static void PrintRootMoveLine(Engine& e, Move move, const char* what) {
    int64_t nodes = e.pos.nodeCount;
    Print("0 0 0 0 (%s %s)\n", MoveToSan(e, move), what);
    e.pos.nodeCount = nodes;
    // The SAN writer may have made the move to look for mate: rebuild the root's maps.
    GenerateMoves(e.pos);
    NormalizePromotions(e.pos);
}

// Prints the remarks of the time limit, as a chess server is told them.
static void PrintTimeRemarks(uint32_t remarks) {
    if (remarks & RemarkTrouble)
        Print("tellics whisper I smell trouble!\n");
    if (remarks & RemarkReducedPanic)
        Print("tellics Low on time, reduced panic time.\n");
    if (remarks & RemarkLookingGood)
        Print("tellics whisper Looking good...\n");
    if (remarks & RemarkZeroParanoid)
        Print("tellics Low on time, zero paranoid time.\n");
}

void ThinkingReport(Engine& e, const SearchReport& r) {
    const bool post = e.shell.post.load(std::memory_order_relaxed) != 0;
    switch (r.kind) {
    case ReportKind::Start:
    case ReportKind::NewBest:
    case ReportKind::Iteration:
        if (post)
            Write(FormatThinkingLine(e, r));
        break;
    case ReportKind::Unsearched:
        if (post && r.what)
            PrintRootMoveLine(e, r.move, r.what);
        break;
    case ReportKind::TimeRemarks:
        PrintTimeRemarks(r.remarks);
        break;
    case ReportKind::Bound:
    case ReportKind::CurrentMove:
    case ReportKind::Progress:
        break;
    }
}

// Prints a UCI line for the root: depth, the deepest ply reached, the score (the moves to
// mate for a mate score, marked when it is only a bound), nodes, speed, time, table use and
// the principal variation.
static void PrintUciLine(Engine& e, const SearchReport& r, int depth, int score, ScoreBound bound) {
    const int64_t nodes = r.nodes;
    const int64_t ms = r.elapsedMs;
    char scoreText[32];
    if (IsMateScore(score))
        std::snprintf(scoreText, sizeof scoreText, "mate %d", MateMoves(score));
    else
        std::snprintf(scoreText, sizeof scoreText, "cp %d", score / ScoreDivisor);
    const char* boundText = bound == ScoreBound::Lower   ? " lowerbound"
                            : bound == ScoreBound::Upper ? " upperbound"
                                                         : "";
    char speed[32] = "";
    if (ms > 0)
        std::snprintf(speed, sizeof speed, " nps %" PRId64, NodesPerSecond(nodes, ms));
    char line[24] = "";
    if (r.multiPv > 0)
        std::snprintf(line, sizeof line, " multipv %d", int(r.multiPv));
    int64_t seldepth = std::max<int64_t>(e.search.stats.deepestPly, depth);
    Print("info depth %d seldepth %" PRId64 "%s score %s%s nodes %" PRId64 "%s time %" PRId64
          " hashfull %d pv %s\n",
          depth, seldepth, line, scoreText, boundText, nodes, speed, ms, HashPermille(e),
          PvText(e, true, r.pv));
}

void UciReport(Engine& e, const SearchReport& r) {
    switch (r.kind) {
    case ReportKind::Bound:
    case ReportKind::Iteration:
        PrintUciLine(e, r, r.depth, r.windowScore, r.bound);
        break;
    case ReportKind::Unsearched:
        PrintUciLine(e, r, 0, 0, ScoreBound::Exact);
        break;
    case ReportKind::CurrentMove:
        if (r.depth > CurrentMoveDepth)
            Print("info currmove %s currmovenumber %d\n", MoveToUciText(r.move), r.moveNumber);
        break;
    case ReportKind::Progress:
        Print("info nodes %" PRId64 " nps %" PRId64 "\n", r.nodes,
              NodesPerSecond(r.nodes, r.elapsedMs));
        break;
    case ReportKind::Start:
    case ReportKind::NewBest:
    case ReportKind::TimeRemarks:
        break;
    }
}
