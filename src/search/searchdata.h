// Search state held by the Engine: limits, run state, statistics and tables.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "board/types.h"
#include "search/rootfilter.h"
#include "search/strength.h"

struct Engine;
struct SearchReport;
struct SearchThreads;

// Receives what the search reports: thinking lines, bounds, progress, time remarks.
using SearchReportHook = void (*)(Engine& e, const SearchReport& r);

// The state word shared by the main thread and the search thread.
enum SearchState : int32_t {
    Idle = 0, Analyzing = 1, Pondering = 2, Thinking = 3, Done = 4, StopRequested = 5
};

// Bound types of a transposition-table entry.
enum : uint8_t { UpperBound = 0, ExactScore = 1, LowerBound = 2 };

// Capacities of the search's fixed tables.
constexpr int PvSize = 64;            // rows and columns of the triangular PV table
constexpr int HistorySquares = 64;   // history tables are indexed [from][to] by playing square
constexpr int MaxDepthSetting = 60;
constexpr int MaxMultiPv = 64;        // most root moves a search reports lines for   // every depth setting is clamped to 1..MaxDepthSetting
constexpr int DefaultSearchDepth = 30;      // the depth setting of a new engine and a new game
constexpr int64_t DefaultMoveTimeMs = 10000;  // the time a move of a new engine and game

// One transposition-table slot (20 bytes).
struct TTEntry {
    uint8_t stamp;      // (gamePly + searchPly) of the store, modulo 256
    int8_t depth;       // remaining depth of the storing node; 0 or below for quiescence
    uint8_t type;       // UpperBound, ExactScore or LowerBound
    uint8_t ep;         // epSquare of the position (part of its identity)
    int32_t score;      // from the side to move's view; a mate counted from this position
    uint32_t keyLow;    // low half of hashKey
    uint32_t keyHigh;   // high half of hashKey
    uint8_t from;       // best move; 0 marks an empty slot, 1 a null-move cutoff
    uint8_t to;
    int8_t promotion;
};

// One slot of the table: a TTEntry's five 32-bit words as stored. Every word is read and
// written as an atomic of its own, and the key words are stored mixed with the others, so
// that a slot two search threads write at once no longer matches its key (transtable.cpp).
struct TTSlot {
    uint32_t words[5];
};

// Ends the helper search threads and frees their engines (search/threads.cpp).
struct SearchThreadsDeleter {
    void operator()(SearchThreads* t) const;
};

// Releases a block obtained from the C allocator (the table is allocated aligned).
struct FreeDeleter {
    void operator()(void* block) const;
};

// Counters of one search, cleared when it starts.
struct SearchStats {
    int64_t quiesceNodes;     // quiescence nodes beyond the horizon
    int64_t evaluations;      // calls of Evaluate made by the search
    int64_t failHighs;
    int64_t failHighFirst;    // cutoffs by the first move tried
    int64_t failHighSecond;   // cutoffs by the second move tried
    int64_t hashHits;
    int64_t pawnHashHits;
    int64_t checkExtensions;
    int64_t singleReplyExtensions;
    int64_t recaptureExtensions;
    int64_t threatExtensions;     // mate-threat extensions
    int64_t sixthRankExtensions;
    int64_t seventhRankExtensions;
    int64_t deepestPly;           // largest searchPly of a node
};

// Text buffers the search's reports are built in; each call overwrites its own.
struct SearchTexts {
    char scoreText[64];       // last score description
    char pvSanText[480];      // PV in SAN
    char npsText[32];
    char depthText[32];
    char summary[800];        // search summary for the log and the console
};

// The node search that builds the tree: the plain alpha-beta (the default) or the one with
// null-window scouts, reductions and pruning (search/modern.cpp).
enum class SearchKind : uint8_t { Classic, Modern };

// Move-ordering memory of the Modern search beside the shared killers: a signed history per
// side [from][to] by playing square, kept within +-ModernHistoryBound by its update; the quiet
// move that last refuted each opponent move, by the moved piece (code + 6) and its target;
// a continuation history of each quiet move (piece and target) after the move one and two
// plies before it; and the static score of each ply of the current path, for telling an
// improving position.
constexpr int ModernHistoryBound = 16384;
constexpr int PieceCodes = 13;          // piece codes -6..6
struct ModernOrdering {
    int16_t history[2][HistorySquares][HistorySquares];
    Move counterMove[PieceCodes][HistorySquares];
    int16_t continuation[PieceCodes][HistorySquares][PieceCodes][HistorySquares];
    int32_t staticEval[PvSize];
};

// One line of a search that reports several: its score and its moves, ended by from 0.
struct PvLine {
    int32_t score = 0;
    MoveListEntry moves[PvSize] = {};
};

struct SearchData {
    // Limits set by the shell. The shell may change the time and node limits and the
    // thinking output while a search runs, hence atomics; the depth only while none runs.
    int32_t searchDepth = DefaultSearchDepth;  // depth setting; the running iteration's depth during a search
    SearchKind searchKind = SearchKind::Classic;  // the tree search iterations run
    int32_t multiPv = 1;    // root moves searched and reported with their own lines, 1..MaxMultiPv
    std::atomic<int64_t> maxTime{DefaultMoveTimeMs};  // milliseconds per move
    std::atomic<int64_t> maxNodes{0};  // node limit, 0 for none
    // Set while no search runs: the root moves the search may play, and the mate it looks
    // for (a mate in so many moves or fewer ends it; 0 for none).
    RootFilter rootFilter;
    int32_t mateMoves = 0;
    // The playing strength; below full strength a search compares StrengthLines lines within
    // strengthNodes nodes (0 for no such budget) and plays one drawn from pickLines, the lines
    // of its last iteration within the budget.
    Strength strength;
    int64_t strengthNodes = 0;
    int32_t pickCount = 0;
    PvLine pickLines[StrengthLines] = {};
    // The engine's clock as the interface last reported it, and the longest any panic time
    // may run when maxTime was worked out from a clock (-1 when it was not).
    std::atomic<int64_t> clockRemaining{0};
    std::atomic<int64_t> panicCeiling{-1};
    // Steady-clock milliseconds when the main thread accepted the move or "go" that started
    // the current search (for a ponder hit, when pondering began), and 1 while the search
    // thread runs such a requested search, which is timed from then; searches run directly
    // (test suites, benchmark) time themselves from searchStartTime.
    std::atomic<int64_t> requestStartMs{0};
    std::atomic<int32_t> timedFromRequest{0};

    // Where the search's reports go; installed by the shell for its mode, none when null.
    SearchReportHook report = nullptr;

    // Run state.
    std::atomic<int32_t> searchState{Idle};  // SearchState handshake with the main thread
    int32_t abortSearch = 0;       // set once the running search must unwind
    // searchPly that the null moves on the current path added beyond one ply each: a null
    // move advances searchPly by its reduction, but a mate is counted in moves actually made.
    int32_t nullMoveExtraPlies = 0;
    int32_t modernNoNullMove = 0;  // 1 while the Modern search verifies a null-move cutoff
    Move modernExcluded = 0;       // the move the next Modern node leaves out (singular test)
    int64_t nextPollAt = 0;        // nodeCount at which TimeCheck runs next
    // On a helper engine, the threads of the main engine it searches for (null on the main
    // engine), and its nodeCount as of its last poll, added to their count there.
    SearchThreads* helperOf = nullptr;
    int64_t publishedNodes = 0;
    int32_t helperLead = 0;  // plies a helper searches beyond the main thread's iteration
    int32_t completedDepth = 0;  // a helper's last completed iteration, its line in pvLines[0]
    int64_t panicTime = 0;         // extended limit in ms granted during this search, 0 = none
    int32_t nextInfoSecond = 0;    // elapsed second of the next UCI progress line
    int64_t searchStartTime = 0;   // steady clock at the start, in milliseconds
    int64_t searchElapsedMs = 0;   // milliseconds used, set when the search returns

    // Results and progress of the driver.
    int32_t lastScore = 0;             // score of the latest new best root move
    int32_t rootMoveCount = 0;         // legal moves at the root
    int32_t rootEval = 0;              // static evaluation of the root
    int64_t bestChangeMs = 0;          // milliseconds, iterations and root moves done when a
    int32_t bestChangeIteration = 0;   //   later root move last became best
    int32_t bestChangeMoveNumber = 0;
    int32_t iterationsDone = 0;        // iterations completed
    int32_t rootMovesDone = 0;         // root searches completed in the current iteration
    int32_t lastStartedDepth = 0;      // depth of the iteration last started
    int32_t bestMoveStable = 0;        // best move is an unchanged recapture since depth 1
    int32_t resignFlag = 0;            // the side to move looks lost
    SearchStats stats{};

    // Hash key of the root position whose search wrote bestScore of each ply-stack record:
    // a record's bestScore counts only while this matches the record's hashKey.
    uint64_t rootScoreKey[PlyStackSize] = {};

    // Principal variations: the line for ply p is row p, columns p..63; from 0 ends it.
    MoveListEntry pv[PvSize][PvSize] = {};

    // The lines of the last iteration when multiPv > 1, best first: line k's move stands at
    // index k of the root list.
    PvLine pvLines[MaxMultiPv] = {};

    // Move-ordering memory: quiet-move successes per side (0 White, 1 Black) [from][to], by
    // playing square (HistoryCounter): 32 KB, which stays in the first-level cache.
    uint32_t history[2][HistorySquares][HistorySquares] = {};
    ModernOrdering modern{};

    // Transposition table: the main engine owns it, its helper engines search in it too.
    // ttBase is null when the table is switched off.
    std::unique_ptr<TTSlot[], FreeDeleter> ttStorage;
    TTSlot* ttBase = nullptr;
    uint32_t ttEntries = 0;    // a power of two
    uint32_t ttMask = 0;       // ttEntries - 1

    // Tree dump for debugging.
    int32_t treeDumpOn = 0;
    FILE* treeDumpFile = nullptr;  // the open dump file, nullptr when none; the shell's to close
    int32_t lastDumpPly = 100;     // ply of the last move written

    SearchTexts texts{};
};

// The 0..63 index of a playing square of the 10 x 12 board (a1 0, a8 7, h8 63).
constexpr int PlayingSquareIndex(int sq) { return (sq / 10 - 2) * 8 + sq % 10 - 1; }

// The history counter of a quiet move of side (0 White, 1 Black) from -> to.
inline uint32_t& HistoryCounter(SearchData& s, int side, int from, int to) {
    return s.history[side][PlayingSquareIndex(from)][PlayingSquareIndex(to)];
}
