// Reports of the last search. Rates and percentages whose divisor is 0 print as 0.
#include "search/report.h"

#include <cinttypes>
#include <cstdio>

#include "engine.h"
#include "search/pv.h"
#include "search/scoretext.h"
#include "search/searchclock.h"
#include "textbuilder.h"

static constexpr int StatisticsTextSize = 2048;

// count x 100 / total, 0 when total is 0.
static int64_t Percent(int64_t count, int64_t total) { return total ? count * 100 / total : 0; }

const char* NpsText(Engine& e) {
    char* out = e.search.texts.npsText;
    if (e.search.searchElapsedMs < 1)
        std::snprintf(out, sizeof e.search.texts.npsText, "undef.");
    else
        std::snprintf(out, sizeof e.search.texts.npsText, "%" PRId64,
                      NodesPerSecond(e.pos.nodeCount, e.search.searchElapsedMs));
    return out;
}

const char* DepthText(Engine& e) {
    std::snprintf(e.search.texts.depthText, sizeof e.search.texts.depthText, "%d.%d",
                  e.search.iterationsDone, e.search.rootMovesDone);
    return e.search.texts.depthText;
}

const char* SearchSummary(Engine& e) {
    const SearchData& s = e.search;
    const char* pv = PvSanText(e);
    char* out = e.search.texts.summary;
    std::snprintf(out, sizeof e.search.texts.summary,
                  "   Found in: %dsec, %d.%dply   Completed: %sply\n"
                  "   Used: %dsec, Total Nodes: %" PRId64 ",  NPS: %s\n"
                  "   PV: %s\n   %s\n",
                  WholeSeconds(s.bestChangeMs), s.bestChangeIteration, s.bestChangeMoveNumber,
                  DepthText(e), WholeSeconds(s.searchElapsedMs), e.pos.nodeCount, NpsText(e), pv,
                  ScoreText(e));
    return out;
}

// Appends "label count (pct%)" for one extension counter.
static void AddExtension(TextBuilder& b, const char* label, int64_t count, int64_t nodes) {
    double percent = nodes && count ? double(count) * 100.0 / double(nodes) : 0.0;
    b.Add("%s%" PRId64 " (%.2f%%)", label, count, percent);
}

const char* SearchStatisticsText(Engine& e) {
    static char text[StatisticsTextSize];
    const SearchData& s = e.search;
    const SearchStats& st = s.stats;
    const int64_t nodes = e.pos.nodeCount;
    TextBuilder b(text, sizeof text);
    b.Add("Total Nodes: %" PRId64 "  Total Evals: %" PRId64 "\n", nodes, st.evaluations);
    if (st.failHighs)
        b.Add("FH: %" PRId64 ",  FH 1st: %" PRId64 ",   FH Ratio: %" PRId64 "%%\n", st.failHighs,
              st.failHighFirst, Percent(st.failHighFirst, st.failHighs));
    b.Add("  Quies Nodes: %" PRId64 " (%" PRId64 "%%)  Hash hits: %" PRId64
          "  Pawn hash hits: %" PRId64 "\n",
          st.quiesceNodes, Percent(st.quiesceNodes, nodes), st.hashHits, st.pawnHashHits);
    AddExtension(b, "  Check Ext: ", st.checkExtensions, nodes);
    AddExtension(b, "  Single Ext: ", st.singleReplyExtensions, nodes);
    b.Add("\n");
    AddExtension(b, "  Recap Ext: ", st.recaptureExtensions, nodes);
    AddExtension(b, "  Threat Ext: ", st.threatExtensions, nodes);
    b.Add("\n");
    AddExtension(b, "  6th   Ext: ", st.sixthRankExtensions, nodes);
    AddExtension(b, "  7th   Ext: ", st.seventhRankExtensions, nodes);
    b.Add("\n");
    int64_t total = st.checkExtensions + st.singleReplyExtensions + st.recaptureExtensions
                  + st.threatExtensions + st.sixthRankExtensions + st.seventhRankExtensions;
    AddExtension(b, "  Total Ext: ", total, nodes);
    b.Add("\n");
    b.Add("Time taken: %d sec  ", WholeSeconds(s.searchElapsedMs));
    if (s.searchElapsedMs < 1)
        b.Add("Nodes/sec: Undefined.\n");
    else
        b.Add(" Nodes/sec: %" PRId64 "\n", NodesPerSecond(nodes, s.searchElapsedMs));
    b.Add("Completed: %d.%d ply  Deepest node: %" PRId64 "\n", s.iterationsDone, s.rootMovesDone,
          st.deepestPly);
    b.Add("Found in: %d sec, %d.%dply\n", WholeSeconds(s.bestChangeMs), s.bestChangeIteration,
          s.bestChangeMoveNumber);
    b.Add("Score: %s   (%d)\n", ScoreText(e), s.lastScore);
    b.Add("PV: %s\n", PvSanText(e));
    return text;
}
