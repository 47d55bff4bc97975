// The one Engine of the process: a plain struct of the subsystems' records.
#pragma once

#include <memory>

#include "board/position.h"
#include "book/bookdata.h"
#include "eval/evaldata.h"
#include "search/searchdata.h"
#include "shell/shellstate.h"

struct Engine {
    Position pos;        // board, derived state and ply stack
    SearchData search;   // limits, statistics, tables of the search
    EvalData eval;       // pawn hash and evaluation scratch fields
    BookData book;       // small and big opening books
    ShellState shell;    // mode flags and game bookkeeping of the shell
    std::unique_ptr<PlyRecord[]> plyStorage;        // PlyStackSize records
    std::unique_ptr<MoveListEntry[]> moveStorage;   // MoveAreaSize entries
    // Helper search threads and their engines; none while one thread searches.
    std::unique_ptr<SearchThreads, SearchThreadsDeleter> threads;
};

// Creates the Engine with its tables; hashMegabytes sizes the transposition table.
std::unique_ptr<Engine> CreateEngine(int hashMegabytes);

// Creates the Engine of a helper search thread: position and tables of its own, but no
// transposition table (it searches in the main engine's) and no books.
std::unique_ptr<Engine> CreateHelperEngine();
