// The UCI protocol. The interface sends the position before every search; the engine keeps
// no game of its own and reports each search with exactly one "bestmove". Commands with
// arguments read them up to the end of their input line, so a line is never split by the
// timing of the input thread.
#include "shell/uci.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <thread>

#include "board/gameline.h"
#include "board/movegen.h"
#include "board/setup.h"
#include "engine.h"
#include "notation/fencheck.h"
#include "notation/movetext.h"
#include "output.h"
#include "search/driver.h"
#include "search/rootfilter.h"
#include "search/tables.h"
#include "search/threads.h"
#include "search/transtable.h"
#include "shell/displayboard.h"
#include "shell/hashsize.h"
#include "shell/inputring.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/playgame.h"
#include "shell/searchoption.h"
#include "shell/strengthoption.h"
#include "shell/searchthread.h"
#include "shell/thinking.h"
#include "shell/timecontrol.h"
#include "version.h"

static constexpr int DefaultDepth = 30;          // depth when "go" gives none
static constexpr int64_t DefaultMoveMs = 10000;  // a bare "go"
static constexpr int64_t UnlimitedMs = 3600000;  // a depth, node or mate limit decides
static constexpr int BookPlies = 30;             // no book moves after this ply
static constexpr int IdleYields = 10;            // zero-length sleeps before the loop pauses
static constexpr int FenTextSize = 256;          // a FEN line; longer ones are cut (and refused)
static constexpr int OptionNameSize = 128;
static constexpr int UnknownTextSize = 256;      // an unknown command quoted in the answer

// What the UCI loop remembers between commands.
struct UciSession {
    bool lineEnded = true;           // the last token taken ended its input line
    bool searchOutstanding = false;  // a "go" has not had its "bestmove" yet
    bool ownBook = true;             // the "OwnBook" option: the engine may play book moves
    bool ponder = false;             // the "Ponder" option: the interface may ask to ponder
    char lastFen[FenTextSize] = "";  // the FEN of the last "position fen" that was set
};

// The command words of the interface-to-engine side of UCI.
static const char* const uciCommandWords[] = {"uci", "debug", "isready", "setoption", "register",
                                              "ucinewgame", "position", "go", "stop", "ponderhit",
                                              "quit"};

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

const char* UciIdentification(SearchKind search) {
    static char text[960];
    std::snprintf(text, sizeof text,
                  "id name MossKite %s\n"
                  "id author Orlevane\n"
                  "option name Hash type spin default 16 min 0 max 256\n"
                  "option name Clear Hash type button\n"
                  "option name OwnBook type check default true\n"
                  "option name Ponder type check default false\n"
                  "option name Move Overhead type spin default %d min 0 max %d\n"
                  "option name Threads type spin default 1 min 1 max %d\n"
                  "option name MultiPV type spin default 1 min 1 max %d\n"
                  "option name Search type combo default %s var Classic var Modern\n"
                  "%s"
                  "uciok\n",
                  VersionText, int(DefaultMoveOverheadMs), int(MaxMoveOverheadMs),
                  HardwareThreads(), MaxMultiPv, SearchKindName(search), StrengthUciOptions());
    return text;
}

UciLimits UciGoLimits(const UciGoParams& go, int whiteToMove, int64_t moveOverheadMs) {
    UciLimits l{DefaultDepth, DefaultMoveMs, 0, 0, -1, Thinking, 0};
    bool searchLimit = false;  // depth, nodes or mate bound the search without a clock
    if (go.mate >= 0) {
        // The search goes on until it has proven such a mate, or another limit ends it.
        l.mateMoves = Clamp32(std::clamp<int64_t>(go.mate, 1, MaxDepthSetting));
        l.searchDepth = MaxDepthSetting;
        searchLimit = true;
    }
    if (go.depth >= 0) {
        l.searchDepth = Clamp32(std::clamp<int64_t>(go.depth, 1, MaxDepthSetting));
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
        l.maxTime = MoveTimeBudget(go.movetime, moveOverheadMs);
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

// The reply to expect after the engine's move best: the second move of the principal
// variation, else the table's move for the position after best; 0 when there is none.
// Neither runs a search, so the figures of the search just ended stay as they are.
static Move PonderMove(Engine& e, Move best) {
    const MoveListEntry* line = e.search.pv[0];
    Move predicted = 0;
    if (line[0].from == MoveFrom(best) && line[0].to == MoveTo(best) && line[1].from)
        predicted = EntryMove(line[1]);
    GameMakeMove(e.pos, best);
    Move reply = LegalMoveOf(e.pos, predicted);
    TTEntry entry;
    if (!reply && TTProbe(e, entry))
        reply = LegalMoveOf(e.pos, MakeMoveValue(entry.from, entry.to, entry.promotion));
    GameTakeBack(e.pos, 1);
    return reply;
}

// Reports the finished search with "bestmove" (and "ponder"), once per "go".
static void UciBestMove(Engine& e) {
    Move best = LegalMoveOf(e.pos, e.shell.bestMove.load(std::memory_order_acquire));
    if (!best && e.pos.currentPly->moveCount > 0 && !e.shell.positionRefused)
        best = LegalMoveOf(e.pos, SearchOnePly(e));
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
            MainLoopPause(e);
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

// Appends a word to a text of the given size, after a blank; false, leaving the word out,
// when it does not fit.
static bool AppendWord(char* text, size_t size, const char* word) {
    if (std::strlen(text) + std::strlen(word) + 2 > size)
        return false;
    if (text[0])
        std::strcat(text, " ");
    std::strcat(text, word);
    return true;
}

// Sets up the position of a FEN, or refuses it with one line naming the defect; true when
// the position was set. The search tables are cleared unless the FEN is the one set last
// in the same game: an interface playing a game from a set-up position sends that FEN with
// the moves so far before every move, and the game goes on.
static bool SetUciFen(Engine& e, const char* fen) {
    if (const char* defect = FenDefect(fen)) {
        Print("info string Illegal position: %s\n", defect);
        return false;
    }
    const bool sameStart = std::strcmp(fen, session.lastFen) == 0;
    // A position that cannot be played is reported there.
    if (!SetUpEpdPosition(e, fen, !sameStart))
        return false;
    std::strcpy(session.lastFen, fen);
    return true;
}

// "position": startpos or a FEN (its fields, move counters included, up to "moves"), then
// the moves, each matched against the legal moves; the first one that matches none is
// reported and ends them. A refused FEN sets nothing: the next "go" answers "bestmove 0000".
static void UciPosition(Engine& e) {
    char token[SlotSize];
    if (!TakeArgument(token))
        return;
    bool more;
    if (std::strcmp(token, "startpos") == 0) {
        e.shell.fritzMode = 1;  // new games keep the tables
        NewGame(e);
        session.lastFen[0] = '\0';
        more = TakeArgument(token);
    } else {
        // The word is "fen"; the fields follow.
        char fen[FenTextSize] = "";
        bool fits = true;  // no FEN is longer
        more = TakeArgument(token);
        while (more && std::strcmp(token, "moves") != 0) {
            fits = AppendWord(fen, sizeof fen, token) && fits;
            more = TakeArgument(token);
        }
        if (!fits) {
            Print("info string Illegal position: text after the move counters\n");
            e.shell.positionRefused = 1;
        } else if (SetUciFen(e, fen)) {
            e.shell.positionRefused = 0;
            e.shell.plyNumber = 1;
        } else {
            e.shell.positionRefused = 1;
        }
        if (e.shell.positionRefused)
            session.lastFen[0] = '\0';
    }
    if (more && std::strcmp(token, "moves") == 0) {
        bool applying = !e.shell.positionRefused;  // a refused position takes no moves
        while (TakeArgument(token)) {
            if (!applying)
                continue;
            Move m = LegalMoveOf(e.pos, ParseMove(e, token));
            if (!m) {
                Print("info string Illegal move: %s\n", token);
                applying = false;
                continue;
            }
            GameMakeMove(e.pos, m);
            e.shell.plyNumber++;
            if (e.shell.plyNumber > BookPlies)
                e.book.useBook = 0;
        }
    }
    SkipRestOfLine();
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
}

// The words of a "go" line that a number follows, and the field each sets.
static constexpr struct {
    const char* word;
    int64_t UciGoParams::*field;
    bool isTime;  // milliseconds: a negative value means none left
} goNumbers[] = {
    {"wtime", &UciGoParams::wtime, true}, {"btime", &UciGoParams::btime, true},
    {"winc", &UciGoParams::winc, true},   {"binc", &UciGoParams::binc, true},
    {"movestogo", &UciGoParams::movestogo, false}, {"movetime", &UciGoParams::movetime, true},
    {"depth", &UciGoParams::depth, false}, {"nodes", &UciGoParams::nodes, false},
    {"mate", &UciGoParams::mate, false},
};

// True for a word of "go" other than a move.
static bool IsGoWord(const char* token) {
    for (const auto& n : goNumbers)
        if (std::strcmp(token, n.word) == 0)
            return true;
    return std::strcmp(token, "infinite") == 0 || std::strcmp(token, "ponder") == 0
        || std::strcmp(token, "searchmoves") == 0;
}

// Reads the moves after "searchmoves" into the root filter, up to the end of the line or
// the next word of "go", which is left in token (else token is emptied). A move that is
// not legal here is named in one line and left out; when none is left, every move is
// searched.
static void ReadSearchMoves(Engine& e, char* token) {
    RootFilter& f = e.search.rootFilter;
    EmptyRootFilter(f, e.pos);
    bool more;
    while ((more = TakeArgument(token)) && !IsGoWord(token)) {
        if (!RootFilterInclude(f, e.pos, ParseMove(e, token)))
            Print("info string Illegal move in searchmoves: %s\n", token);
    }
    if (!more)
        token[0] = '\0';
    if (f.count == 0)
        ClearRootFilter(f);
}

// Reads the rest of a "go" line; unknown words are skipped, and the moves after
// "searchmoves" become the root filter of the search (every move when there are none).
// A negative time (a clock already run down, as some interfaces send it) counts as 0.
static UciGoParams ReadGoLine(Engine& e) {
    UciGoParams go;
    char token[SlotSize];
    char number[SlotSize];
    ClearRootFilter(e.search.rootFilter);
    bool more = TakeArgument(token);
    while (more) {
        if (std::strcmp(token, "searchmoves") == 0) {
            ReadSearchMoves(e, token);
            more = token[0] != '\0';
            continue;
        }
        if (std::strcmp(token, "infinite") == 0)
            go.infinite = true;
        else if (std::strcmp(token, "ponder") == 0)
            go.ponder = true;
        for (const auto& n : goNumbers) {
            if (std::strcmp(token, n.word) != 0)
                continue;
            int64_t value;
            if (TakeArgument(number) && ReadNumber(number, value))
                go.*n.field = n.isTime ? std::max<int64_t>(value, 0) : value;
            break;
        }
        more = TakeArgument(token);
    }
    return go;
}

// "go": sets the limits of this search and starts it. Without a position to search (a
// refused one) or without a legal move the answer is "bestmove 0000", after the score of
// the mate or stalemate in the second case: at once, or for "infinite" and "ponder" when
// the interface ends the search, as UCI asks.
static void UciGo(Engine& e) {
    UciGoParams go = ReadGoLine(e);
    if (e.shell.positionRefused || e.pos.currentPly->moveCount == 0) {
        if (!e.shell.positionRefused)
            Write(e.pos.checkCount ? "info depth 0 score mate 0\n" : "info depth 0 score cp 0\n");
        if (!go.infinite && !go.ponder) {
            Write("bestmove 0000\n");
            return;
        }
        // The search thread finds nothing to search and waits for "stop" or "ponderhit".
        session.searchOutstanding = true;
        RequestSearch(e, go.infinite ? Analyzing : Pondering);
        return;
    }
    if (!session.ownBook)
        e.book.useBook = 0;
    UciLimits l = UciGoLimits(go, e.pos.whiteToMove, e.shell.time.moveOverheadMs);
    e.search.searchDepth = l.searchDepth;
    e.search.maxTime = l.maxTime;
    e.search.maxNodes = l.maxNodes;
    e.search.mateMoves = l.mateMoves;
    e.search.clockRemaining.store(l.clockRemaining, std::memory_order_relaxed);
    e.search.panicCeiling.store(l.panicCeiling, std::memory_order_relaxed);
    session.searchOutstanding = true;
    RequestSearch(e, l.state);
}

// True when two option names or values are equal, letter case aside.
static bool SameWord(const char* a, const char* b) {
    return strcasecmp(a, b) == 0;
}

// Reads the value of a check option; false when it is neither "true" nor "false".
static bool ReadCheck(const char* value, bool& on) {
    if (SameWord(value, "true"))
        on = true;
    else if (SameWord(value, "false"))
        on = false;
    else
        return false;
    return true;
}

// "setoption name NAME [value VALUE]": the options "Hash", "Clear Hash", "OwnBook",
// "Ponder", "Move Overhead", "Threads", "MultiPV", "Search" and the strength options;
// names and values in any letter case.
// A number above an option's maximum is taken as the maximum.
static void UciSetOption(Engine& e) {
    char token[SlotSize];
    if (!TakeArgument(token) || std::strcmp(token, "name") != 0) {
        SkipRestOfLine();
        return;
    }
    char name[OptionNameSize] = "";
    char value[SlotSize] = "";
    bool haveValue = false;
    while (TakeArgument(token)) {
        if (std::strcmp(token, "value") == 0) {
            haveValue = TakeArgument(value);
            break;
        }
        AppendWord(name, sizeof name, token);  // what does not fit names no option of ours
    }
    SkipRestOfLine();
    int64_t number;
    bool on;
    if (SameWord(name, "Hash")) {
        if (!haveValue || !ReadNumber(value, number) || number < 0) {
            Print("info string Invalid value for Hash: %s\n", value);
            return;
        }
        int32_t size = Clamp32(number);
        LogPrint(e, "Setting hash table to %d MB\n", size);
        ResizeHash(e, size);
    } else if (SameWord(name, "Clear Hash")) {
        LogPrint(e, "clearing hash=======\n");
        ClearTables(e);
    } else if (SameWord(name, "Move Overhead")) {
        if (!haveValue || !ReadNumber(value, number) || number < 0) {
            Print("info string Invalid value for Move Overhead: %s\n", value);
            return;
        }
        e.shell.time.moveOverheadMs = std::min<int64_t>(number, MaxMoveOverheadMs);
        LogPrint(e, "Setting move overhead to %d ms\n", int(e.shell.time.moveOverheadMs));
    } else if (SameWord(name, "Threads") || SameWord(name, "MultiPV")) {
        const bool threads = SameWord(name, "Threads");
        if (!haveValue || !ReadNumber(value, number) || number < 1) {
            Print("info string Invalid value for %s: %s\n", name, value);
            return;
        }
        if (threads) {
            const int count = int(std::min<int64_t>(number, HardwareThreads()));
            SetSearchThreads(e, count);
            LogPrint(e, "Searching with %d threads\n", count);
        } else {
            e.search.multiPv = int32_t(std::min<int64_t>(number, MaxMultiPv));
        }
    } else if (SameWord(name, "Search")) {
        SearchKind kind;
        if (!haveValue || !ReadSearchKind(value, kind)) {
            Print("info string Invalid value for Search: %s\n", value);
            return;
        }
        ChooseSearch(e, kind);
    } else if (SameWord(name, "OwnBook") || SameWord(name, "Ponder")) {
        if (!haveValue || !ReadCheck(value, on)) {
            Print("info string Invalid value for %s: %s\n", name, value);
            return;
        }
        (SameWord(name, "OwnBook") ? session.ownBook : session.ponder) = on;
    } else if (OptionResult r = SetStrengthOption(e, name, haveValue ? value : "");
               r == OptionResult::BadValue) {
        Print("info string Invalid value for %s: %s\n", name, value);
    } else if (r == OptionResult::Unknown) {
        Print("info string No such option: %s\n", name);
    }
}

// True for a command word of UCI.
static bool IsUciCommandWord(const char* token) {
    for (const char* word : uciCommandWords)
        if (std::strcmp(token, word) == 0)
            return true;
    return false;
}

// A word that is no command: as UCI asks, the rest of its line is read on for a command.
// The words before that command, or the whole line, are answered in one line.
static void UnknownCommand(Engine& e, const char* first) {
    char text[UnknownTextSize] = "";
    AppendWord(text, sizeof text, first);
    char token[SlotSize];
    while (TakeArgument(token)) {
        if (IsUciCommandWord(token)) {
            Print("info string Unknown command: %s\n", text);
            UciCommand(e, token);
            return;
        }
        AppendWord(text, sizeof text, token);
    }
    Print("info string Unknown command: %s\n", text);
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
        ReleaseOutput(NoticeForm::UciInfo);
        Write("readyok\n");
    } else if (std::strcmp(token, "go") == 0) {
        ReleaseOutput(NoticeForm::UciInfo);
        FinishSearch(e);
        UciGo(e);
    } else if (std::strcmp(token, "setoption") == 0) {
        FinishSearch(e);
        UciSetOption(e);
    } else if (std::strcmp(token, "ponderhit") == 0) {
        LogPrint(e, "   Ponder hit!\n");
        int32_t expected = Pondering;
        e.search.searchState.compare_exchange_strong(expected, Thinking, std::memory_order_acq_rel);
    } else if (std::strcmp(token, "uci") == 0) {
        Write(UciIdentification(e.search.searchKind));
    } else if (std::strcmp(token, "debug") == 0 || std::strcmp(token, "register") == 0) {
        SkipRestOfLine();  // no debug output, no registration
    } else if (std::strcmp(token, "ucinewgame") == 0) {
        session.lastFen[0] = '\0';  // a new game: its first "position fen" clears the tables
    } else {
        UnknownCommand(e, token);
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
    e.shell.interruptQuits.store(0, std::memory_order_release);
    LogPrint(e, "**** Running in UCI Mode ****\n");
    FlushLog(e);
    // The identification ends with "uciok", after which the interface expects nothing until
    // it speaks again: what start-up had to say waits for the first "isready" or "go".
    RestrictToUci();
    SetNoticeForm(NoticeForm::UciInfo);
    StopHolding(UciIdentification(e.search.searchKind));
    e.search.report = UciReport;
    UciLoop(e);
}
