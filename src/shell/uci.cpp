// The UCI protocol. The interface sends the position before every search; the engine keeps
// no game of its own and reports each search with exactly one "bestmove". Commands with
// arguments read them up to the end of their input line, so a line is never split by the
// timing of the input thread.
#include "shell/uci.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <thread>

#include "board/gameline.h"
#include "board/setup.h"
#include "engine.h"
#include "notation/movetext.h"
#include "search/driver.h"
#include "search/tables.h"
#include "search/transtable.h"
#include "shell/displayboard.h"
#include "shell/inputring.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/output.h"
#include "shell/playgame.h"
#include "shell/searchthread.h"
#include "shell/timecontrol.h"
#include "shell/version.h"

static constexpr int DefaultDepth = 30;          // depth when "go" gives none
static constexpr int64_t DefaultMoveMs = 10000;  // a bare "go"
static constexpr int64_t UnlimitedMs = 3600000;  // a depth, node or mate limit decides
static constexpr int BookPlies = 30;             // no book moves after this ply
static constexpr int FenFields = 4;              // placement, side, castling, en passant
static constexpr int MoveCounterFields = 2;      // halfmove clock and move number
static constexpr int IdleYields = 10;            // zero-length sleeps before the loop pauses
static constexpr int FenTextSize = FenFields * SlotSize;
static constexpr int OptionNameSize = 128;

// What the UCI loop remembers between commands.
struct UciSession {
    bool lineEnded = true;           // the last token taken ended its input line
    bool searchOutstanding = false;  // a "go" has not had its "bestmove" yet
};

static UciSession session;

// Takes the next token of the current command's line; false, with an empty buffer, when
// the line has ended.
static bool TakeArgument(char* buffer) {
    if (session.lineEnded) {
        buffer[0] = '\0';
        return false;
    }
    TakeToken(buffer);
    session.lineEnded = LastTokenEndedLine();
    return true;
}

// Drops what is left of the current command's line.
static void SkipRestOfLine() {
    char token[SlotSize];
    while (TakeArgument(token)) {
    }
}

// True for a token of decimal digits only.
static bool AllDigits(const char* token) {
    if (!*token)
        return false;
    for (; *token; token++)
        if (!std::isdigit(static_cast<unsigned char>(*token)))
            return false;
    return true;
}

// Reads a decimal number with an optional sign; false when the token is no number.
static bool ReadNumber(const char* token, int64_t& value) {
    const char* digits = token + (*token == '-' || *token == '+');
    if (!AllDigits(digits))
        return false;
    errno = 0;
    long long v = std::strtoll(token, nullptr, 10);
    value = errno == ERANGE ? (*token == '-' ? LLONG_MIN : LLONG_MAX) : v;
    return true;
}

static int32_t Clamp32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The entry of the current position's move list that move m names (from, to, and the
// promotion piece when the entry is a promotion), or 0 when m is not legal here.
static Move LegalMove(const Engine& e, Move m) {
    const PlyRecord* r = e.pos.currentPly;
    if (MoveFrom(m) == 0)
        return 0;
    for (int i = 0; i < r->moveCount; i++) {
        const MoveListEntry& entry = r->moves[i];
        if (entry.from == MoveFrom(m) && entry.to == MoveTo(m)
            && (entry.promotion == 0 || entry.promotion == MovePromotion(m)))
            return EntryMove(entry);
    }
    return 0;
}

void PrintUciIdentification() {
    Print("id name MossKite %s\n"
          "id author Orlevane\n"
          "option name Hash type spin default 16 min 0 max 256\n"
          "option name Clear Hash type button\n"
          "option name Move Overhead type spin default %d min 0 max %d\n"
          "uciok\n",
          VersionText, int(DefaultMoveOverheadMs), int(MaxMoveOverheadMs));
}

UciLimits UciGoLimits(const UciGoParams& go, int whiteToMove, int64_t moveOverheadMs) {
    UciLimits l{DefaultDepth, DefaultMoveMs, 0, 0, -1, Thinking};
    bool searchLimit = false;  // depth, nodes or mate bound the search without a clock
    if (go.depth >= 0) {
        l.searchDepth = Clamp32(std::clamp<int64_t>(go.depth, 1, MaxDepthSetting));
        searchLimit = true;
    }
    if (go.mate >= 0) {
        // A mate in n moves lies n moves of ours and n - 1 replies deep.
        int64_t plies = std::clamp<int64_t>(go.mate, 1, MaxDepthSetting) * 2 - 1;
        l.searchDepth = Clamp32(std::min<int64_t>(l.searchDepth, plies));
        searchLimit = true;
    }
    if (go.nodes >= 0) {
        l.maxNodes = std::max<int64_t>(go.nodes, 1);
        searchLimit = true;
    }
    if (go.infinite) {
        l.maxTime = UnlimitedMs;
        l.state = Analyzing;
        return l;
    }
    l.state = go.ponder ? Pondering : Thinking;
    int64_t clock = whiteToMove ? go.wtime : go.btime;
    int64_t increment = whiteToMove ? go.winc : go.binc;
    if (go.movetime >= 0) {
        // A fixed time is a hard limit: the answer must reach the interface within it.
        l.maxTime = LessOverhead(go.movetime, moveOverheadMs);
        l.panicCeiling = l.maxTime;
    } else if (clock >= 0) {
        int32_t movesToGo = go.movestogo > 0 ? Clamp32(go.movestogo) : 0;
        int64_t budget = UciClockBudget(clock, std::max<int64_t>(increment, 0), movesToGo);
        l.maxTime = LessOverhead(budget, moveOverheadMs);
        l.panicCeiling = LessOverhead(ClockCap(clock), moveOverheadMs);
        l.clockRemaining = clock;
    } else if (searchLimit) {
        l.maxTime = UnlimitedMs;
    }
    return l;
}

// Searches the current position one ply deep on this thread, for a move when the search
// thread was stopped before it began.
static Move SearchOnThisThread(Engine& e) {
    int32_t depth = e.search.searchDepth;
    e.search.searchDepth = 1;
    Move m = IterativeDeepening(e);
    e.search.searchDepth = depth;
    return m;
}

// The reply to expect after the engine's move best: the second move of the principal
// variation, else the table's move for the position after best; 0 when there is none.
// Neither runs a search, so the figures of the search just ended stay as they are.
static Move PonderMove(Engine& e, Move best) {
    const MoveListEntry* line = e.search.pv[0];
    Move predicted = 0;
    if (line[0].from == MoveFrom(best) && line[0].to == MoveTo(best) && line[1].from)
        predicted = EntryMove(line[1]);
    GameMakeMove(e, best);
    Move reply = LegalMove(e, predicted);
    TTEntry entry;
    if (!reply && TTProbe(e, entry))
        reply = LegalMove(e, MakeMoveValue(entry.from, entry.to, entry.promotion));
    GameTakeBack(e, 1);
    return reply;
}

// Reports the finished search with "bestmove" (and "ponder"), once per "go".
static void UciBestMove(Engine& e) {
    Move best = LegalMove(e, e.shell.bestMove.load(std::memory_order_acquire));
    if (!best && e.pos.currentPly->moveCount > 0)
        best = LegalMove(e, SearchOnThisThread(e));
    if (!best) {
        Write("bestmove 0000\n");
    } else {
        Move ponder = PonderMove(e, best);
        AnnounceMove(e, best, ponder);
    }
    SetSearchState(e, Idle);
    session.searchOutstanding = false;
}

// Stops the running search, if any, and waits until the search thread has let go of the
// Engine (Idle, or Done with its move stored).
static void StopRunningSearch(Engine& e) {
    for (int spins = 0;; spins++) {
        int32_t s = e.search.searchState.load(std::memory_order_acquire);
        if (s == Idle || s == Done)
            return;
        if (s != StopRequested)
            e.search.searchState.compare_exchange_strong(s, StopRequested,
                                                         std::memory_order_acq_rel);
        if (spins < IdleYields)
            std::this_thread::yield();
        else
            ShortPause();
    }
}

// Ends the search of an earlier "go", if one is outstanding, and reports its move, so that
// the position and the tables never change under the search thread.
static void FinishSearch(Engine& e) {
    if (!session.searchOutstanding)
        return;
    StopRunningSearch(e);
    UciBestMove(e);
}

// "position": startpos or a FEN (four fields, then up to two move counters), then the
// moves, each matched against the legal moves; the first one that matches none ends them.
static void UciPosition(Engine& e) {
    char token[SlotSize];
    if (!TakeArgument(token))
        return;
    bool placed;
    bool more;
    if (std::strcmp(token, "startpos") == 0) {
        e.shell.fritzMode = 1;  // new games keep the tables
        NewGame(e);
        placed = true;
        more = TakeArgument(token);
    } else {
        // The word is "fen"; the fields follow.
        char fen[FenTextSize] = "";
        more = TakeArgument(token);
        for (int field = 0; field < FenFields && more && std::strcmp(token, "moves") != 0; field++) {
            if (field > 0)
                std::strcat(fen, " ");
            std::strcat(fen, token);
            more = TakeArgument(token);
        }
        for (int k = 0; k < MoveCounterFields && more && AllDigits(token); k++)
            more = TakeArgument(token);
        placed = SetPositionFromEpd(e, fen);
        if (placed)
            e.shell.plyNumber = 1;
    }
    if (more && std::strcmp(token, "moves") == 0) {
        bool applying = placed;  // a refused position takes no moves
        while (TakeArgument(token)) {
            if (!applying)
                continue;
            Move m = LegalMove(e, ParseMove(e, token));
            if (!m) {
                applying = false;
                continue;
            }
            GameMakeMove(e, m);
            e.shell.plyNumber++;
            if (e.shell.plyNumber > BookPlies)
                e.book.useBook = 0;
        }
    }
    SkipRestOfLine();
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
}

// Reads the rest of a "go" line; unknown words (and "searchmoves" with its moves) are skipped.
// A negative time (a clock already run down, as some interfaces send it) counts as 0.
static UciGoParams ReadGoLine() {
    static constexpr struct {
        const char* word;
        int64_t UciGoParams::*field;
        bool isTime;  // milliseconds: a negative value means none left
    } numbers[] = {
        {"wtime", &UciGoParams::wtime, true}, {"btime", &UciGoParams::btime, true},
        {"winc", &UciGoParams::winc, true},   {"binc", &UciGoParams::binc, true},
        {"movestogo", &UciGoParams::movestogo, false}, {"movetime", &UciGoParams::movetime, true},
        {"depth", &UciGoParams::depth, false}, {"nodes", &UciGoParams::nodes, false},
        {"mate", &UciGoParams::mate, false},
    };
    UciGoParams go;
    char token[SlotSize];
    char number[SlotSize];
    while (TakeArgument(token)) {
        if (std::strcmp(token, "infinite") == 0) {
            go.infinite = true;
            continue;
        }
        if (std::strcmp(token, "ponder") == 0) {
            go.ponder = true;
            continue;
        }
        for (const auto& n : numbers) {
            if (std::strcmp(token, n.word) != 0)
                continue;
            int64_t value;
            if (TakeArgument(number) && ReadNumber(number, value))
                go.*n.field = n.isTime ? std::max<int64_t>(value, 0) : value;
            break;
        }
    }
    return go;
}

// "go": sets the limits of this search and starts it; with no legal move answers at once.
static void UciGo(Engine& e) {
    UciGoParams go = ReadGoLine();
    if (e.pos.currentPly->moveCount == 0) {
        Write("bestmove 0000\n");
        return;
    }
    UciLimits l = UciGoLimits(go, e.pos.whiteToMove, e.shell.time.moveOverheadMs);
    e.search.searchDepth = l.searchDepth;
    e.search.maxTime = l.maxTime;
    e.search.maxNodes = l.maxNodes;
    e.shell.time.clockRemaining.store(l.clockRemaining, std::memory_order_relaxed);
    e.shell.time.panicCeiling.store(l.panicCeiling, std::memory_order_relaxed);
    session.searchOutstanding = true;
    RequestSearch(e, l.state);
}

// Option names are matched without regard to case.
static bool OptionNameIs(const char* name, const char* option) {
    return strcasecmp(name, option) == 0;
}

// "setoption name NAME [value VALUE]": the options "Hash", "Clear Hash" and "Move Overhead".
static void UciSetOption(Engine& e) {
    char token[SlotSize];
    if (!TakeArgument(token) || std::strcmp(token, "name") != 0) {
        SkipRestOfLine();
        return;
    }
    char name[OptionNameSize] = "";
    bool haveValue = false;
    while (TakeArgument(token)) {
        if (std::strcmp(token, "value") == 0) {
            haveValue = TakeArgument(token);
            break;
        }
        if (std::strlen(name) + std::strlen(token) + 2 > sizeof name)
            continue;  // longer than any option of ours
        if (name[0])
            std::strcat(name, " ");
        std::strcat(name, token);
    }
    int64_t megabytes;
    int64_t milliseconds;
    if ((std::strcmp(name, "Hash") == 0 || std::strcmp(name, "hash") == 0) && haveValue
        && ReadNumber(token, megabytes)) {
        int32_t size = Clamp32(megabytes);
        LogPrint(e, "Setting hash table to %d MB\n", size);
        SetHashSize(e, size);
    } else if (OptionNameIs(name, "Move Overhead") && haveValue && ReadNumber(token, milliseconds)) {
        e.shell.time.moveOverheadMs = std::clamp<int64_t>(milliseconds, 0, MaxMoveOverheadMs);
        LogPrint(e, "Setting move overhead to %d ms\n", int(e.shell.time.moveOverheadMs));
    } else if (std::strcmp(name, "Clear Hash") == 0 || std::strcmp(name, "clear hash") == 0
               || std::strcmp(name, "Clear hash") == 0 || std::strcmp(name, "clear Hash") == 0) {
        LogPrint(e, "clearing hash=======\n");
        ClearTables(e);
    }
    SkipRestOfLine();
}

void UciCommand(Engine& e, const char* token) {
    if (std::strcmp(token, "quit") == 0) {
        ExitProgram(e);
    } else if (std::strcmp(token, "stop") == 0) {
        FinishSearch(e);
    } else if (std::strcmp(token, "position") == 0) {
        FinishSearch(e);
        UciPosition(e);
    } else if (std::strcmp(token, "isready") == 0) {
        Write("readyok\n");
    } else if (std::strcmp(token, "go") == 0) {
        FinishSearch(e);
        UciGo(e);
    } else if (std::strcmp(token, "setoption") == 0) {
        FinishSearch(e);
        UciSetOption(e);
    } else if (std::strcmp(token, "ponderhit") == 0) {
        LogPrint(e, "   Ponder hit!\n");
        int32_t expected = Pondering;
        e.search.searchState.compare_exchange_strong(expected, Thinking, std::memory_order_acq_rel);
    }
}

// The UCI main loop: reports finished searches and carries out commands, forever.
[[noreturn]] static void UciLoop(Engine& e) {
    char token[SlotSize];
    for (int idle = 0;; idle++) {
        if (SearchFinished(e)) {
            UciBestMove(e);
            idle = 0;
        } else if (PeekToken()) {
            TakeToken(token);
            session.lineEnded = LastTokenEndedLine();
            UciCommand(e, token);
            idle = 0;
        } else if (idle < IdleYields) {
            std::this_thread::yield();
        } else {
            MainLoopPause(e);
        }
    }
}

void EnterUciMode(Engine& e) {
    // UCI replaces whatever the command line or the wait for input chose: an engine started
    // with -xboard must not answer a UCI interface with xboard's "move" and whispers.
    e.shell.uciMode = 1;
    e.shell.xboardMode = 0;
    e.shell.consoleMode = 0;
    LogPrint(e, "**** Running in UCI Mode ****\n");
    FlushLog(e);
    PrintUciIdentification();
    e.search.uciOutput = 1;
    UciLoop(e);
}
