// The search-tree dump, written only while it is switched on.
#include "search/treedump.h"

#include <cstdarg>

#include "engine.h"
#include "notation/movetext.h"

static constexpr int IndentPerPly = 7;

void StartTreeDump(Engine& e, FILE* file) {
    e.search.treeDumpOn = file != nullptr;
    e.search.treeDumpFile = file;
}

void StopTreeDump(Engine& e) {
    e.search.treeDumpOn = 0;
    e.search.treeDumpFile = nullptr;
}

// Starts a new line indented for ply.
static void NewLine(FILE* f, int ply) { std::fprintf(f, "\n%*s", IndentPerPly * ply, ""); }

void TreeDumpMove(Engine& e, Move move, int ply) {
    SearchData& s = e.search;
    if (!s.treeDumpOn || !s.treeDumpFile)
        return;
    if (ply <= s.lastDumpPly)
        NewLine(s.treeDumpFile, ply);
    if (MoveFrom(move) == 0) {
        std::fprintf(s.treeDumpFile, "%-14s", "null");
    } else {
        int64_t nodes = e.pos.nodeCount;
        std::fprintf(s.treeDumpFile, "%-7s", MoveToSan(e, move));
        e.pos.nodeCount = nodes;
    }
    s.lastDumpPly = ply;
}

void TreeDumpCut(Engine& e, int ply) {
    SearchData& s = e.search;
    if (!s.treeDumpOn || !s.treeDumpFile)
        return;
    NewLine(s.treeDumpFile, ply);
    std::fputs("cut!", s.treeDumpFile);
}

void TreeDumpText(Engine& e, const char* format, ...) {
    SearchData& s = e.search;
    if (!s.treeDumpOn || !s.treeDumpFile)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(s.treeDumpFile, format, args);
    va_end(args);
}
