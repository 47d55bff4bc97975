// Fuzz target: the command interpreter fed token streams in console, xboard and UCI modes,
// on one thread and reproducibly.
//
// The input's first byte chooses the start (bits 0-1: console, xboard as with "-xboard",
// UCI as with a first word "uci", console again; bit 2: a stopped search had already
// begun, see below); the rest is standard input, read into tokens as the input thread
// reads them, lines included.
//
// This file replaces two parts of the shell when it is linked: the input ring and the
// search thread's handshake (every function of shell/inputring.h and shell/searchthread.h
// is defined here, so the library's versions are not linked). Instead of two threads:
// - The tokens of one input line arrive together; the next line arrives only when the main
//   thread waits for input, the way an interface sends its next line some time later.
// - The search thread works whenever the main thread waits (for input, or for the search):
//   it then runs a requested search to its end at once, and otherwise acts on the state
//   word exactly as the real thread's loop does.
// - At the end of the input every further token is "quit", as the input thread makes it;
//   under UCI a "stop" comes first, so that no "bestmove" is left owing between runs.
// Each run's Engine gets the shell's seams (shell/seams.h) of this target: the end of the
// process ends the run instead, every search searches only a few plies and nodes, and the
// table is sized at most FuzzHashMegabytes (0 and 1 stay as they are).
// Files are opened in a scratch folder, which holds a suite, a PGN file and a position at
// the start of each run; tokens cannot name a path outside it.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/poscheck.h"
#include "book/smallbook.h"
#include "engine.h"
#include "fuzzsupport.h"
#include "notation/boardtext.h"
#include "notation/epd.h"
#include "output.h"
#include "search/driver.h"
#include "search/searchclock.h"
#include "search/transtable.h"
#include "shell/commands.h"
#include "shell/displayboard.h"
#include "shell/inputring.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/playgame.h"
#include "shell/searchthread.h"
#include "shell/timecontrol.h"
#include "shell/uci.h"

static constexpr int FuzzDepth = 3;            // deepest iteration of a search with a node limit
static constexpr int FuzzUnboundedDepth = 2;   // of a ponder search or analysis, which have none
static constexpr int64_t FuzzNodes = 5000;     // node limit of every timed search
static constexpr int FuzzHashMegabytes = 4;    // largest transposition table
static constexpr int FuzzPerftDepth = 2;       // deepest "testgen" count
static constexpr uint8_t ModeBits = 3;
static constexpr uint8_t StartedStopBit = 4;
enum StartMode { ConsoleStart = 0, XboardStart = 1, UciStart = 2 };

// Thrown where the program would end, once ExitProgram has flushed its output.
struct SessionEnded {};

// ---- The token stream --------------------------------------------------------------

struct Token {
    std::string text;  // at most SlotSize - 1 characters
    bool endsLine;
};

// What the emulated input holds during one run.
struct TokenFeed {
    std::vector<Token> tokens;
    size_t next = 0;             // index of the next token to hand out
    bool lineArrived = true;     // the next token's line has arrived
    bool uciStopSent = false;    // the end-of-input "stop" was handed out
    bool lastEndedLine = true;   // the token taken last ended its line
    int64_t taken = 0;
    int perftCap = 0;            // cap for the next number taken ("testgen"), 0 for none
    Engine* engine = nullptr;
};

static TokenFeed feed;

// Makes a token harmless as a file name: no leading "/" and no "..", so that every name
// stays inside the scratch folder. FEN fields and moves never contain either.
static void ConfineToScratchFolder(std::string& token) {
    if (!token.empty() && token[0] == '/')
        token[0] = '_';
    for (size_t i = 0; i + 1 < token.size(); i++)
        if (token[i] == '.' && token[i + 1] == '.')
            token[i] = '_';
}

// Splits input bytes into tokens as the input thread does: blanks separate, a token is
// cut to SlotSize - 1 characters, and it ends its line when only blanks follow up to a
// line end or the end of the input.
static std::vector<Token> Tokenize(const uint8_t* data, size_t size) {
    auto blank = [](int c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; };
    auto lineEnd = [](int c) { return c == '\n' || c == '\r'; };
    std::vector<Token> tokens;
    size_t i = 0;
    for (;;) {
        while (i < size && (blank(data[i]) || lineEnd(data[i])))
            i++;
        if (i == size)
            return tokens;
        std::string text;
        for (; i < size && !blank(data[i]) && !lineEnd(data[i]); i++)
            if (text.size() < size_t(SlotSize - 1))
                text += char(data[i]);
        while (i < size && blank(data[i]))
            i++;
        text = text.c_str();  // the ring's slots are C strings
        ConfineToScratchFolder(text);
        tokens.push_back({text, i == size || lineEnd(data[i])});
    }
}

// The token at the front of the input: the stream's next one, or the words that follow
// the end of the input.
static const char* FrontToken() {
    if (feed.next < feed.tokens.size())
        return feed.tokens[feed.next].text.c_str();
    if (feed.engine && feed.engine->shell.uciMode && !feed.uciStopSent)
        return "stop";
    return "quit";
}

// ---- The search thread, run when the main thread waits ---------------------------

// Where the emulated search thread stands in its loop.
enum ThreadPhase {
    Polling,        // at the top of its loop, looking at searchState
    PonderWaiting,  // ponder search over, waiting while the state stays Pondering
    AnalyzeWaiting  // analysis over, waiting while the state stays Analyzing
};

struct SearchThreadModel {
    ThreadPhase phase = Polling;
    SearchFunction search = nullptr;
    SearchState requested = Idle;  // last search requested and not yet begun, Idle if none
    bool stopAfterStart = false;   // a stop finds the requested search already begun
};

static SearchThreadModel thread;

// The search thread's RunAndStore: times the search from its request and publishes its move.
static void RunAndStore(Engine& e) {
    thread.requested = Idle;
    e.search.timedFromRequest.store(1, std::memory_order_relaxed);
    Move m = thread.search(e);
    e.search.searchElapsedMs = SearchElapsedMs(e);
    e.search.timedFromRequest.store(0, std::memory_order_relaxed);
    e.shell.bestMove.store(m, std::memory_order_release);
}

// Lets the search thread go as far as it can without the main thread.
static void RunSearchThread(Engine& e) {
    for (;;) {
        SearchState s = GetSearchState(e);
        if (thread.phase == PonderWaiting) {
            if (s == Pondering)
                return;
            thread.phase = Polling;
            SetSearchState(e, Done);
            return;
        }
        if (thread.phase == AnalyzeWaiting) {
            if (s == Analyzing)
                return;
            thread.phase = Polling;
            continue;
        }
        switch (s) {
        case Thinking:
            RunAndStore(e);
            SetSearchState(e, Done);
            return;
        case Pondering:
            RunAndStore(e);
            thread.phase = PonderWaiting;
            continue;
        case Analyzing:
            RunAndStore(e);
            thread.phase = AnalyzeWaiting;
            continue;
        case StopRequested:
            if (thread.stopAfterStart && thread.requested != Idle) {
                // The search had begun: it sees the stop at its first time check.
                SearchState begun = thread.requested;
                RunAndStore(e);
                if (begun != Analyzing) {
                    SetSearchState(e, Done);
                    return;
                }
            }
            thread.requested = Idle;
            SetSearchState(e, Idle);
            return;
        default:  // Idle, Done
            return;
        }
    }
}

// The main thread waits: the search thread works, and the next input line arrives.
static void WaitForInput(Engine& e) {
    RunSearchThread(e);
    feed.lineArrived = true;
}

// ---- shell/searchthread.h -------------------------------------------------------------

void ShortPause() {
    if (feed.engine)
        WaitForInput(*feed.engine);
}

void MainLoopPause(const Engine&) {
    ShortPause();
}

SearchState GetSearchState(const Engine& e) {
    return SearchState(e.search.searchState.load(std::memory_order_acquire));
}

void SetSearchState(Engine& e, SearchState s) {
    e.search.searchState.store(s, std::memory_order_release);
}

void WaitWhileState(const Engine& e, SearchState s) {
    if (GetSearchState(e) != s)
        return;
    RunSearchThread(const_cast<Engine&>(e));
    if (GetSearchState(e) == s)
        FuzzFailure("deadlock: waiting while the search state is %d, which nothing changes", s);
}

void RequestSearch(Engine& e, SearchState s) {
    e.pos.lastGamePly = e.pos.currentPly;
    e.shell.bestMove.store(0, std::memory_order_relaxed);
    e.search.requestStartMs.store(NowMilliseconds(), std::memory_order_relaxed);
    thread.requested = s;
    SetSearchState(e, s);
}

bool SearchFinished(const Engine& e) {
    return GetSearchState(e) == Done;
}

void StopSearch(Engine& e) {
    SearchState s = GetSearchState(e);
    if (s == Idle)
        return;
    if (s != Done) {
        SetSearchState(e, StopRequested);
        RunSearchThread(e);
        s = GetSearchState(e);
        if (s != Idle && s != Done)
            FuzzFailure("deadlock: a stop left the search state at %d", s);
    }
    SetSearchState(e, Idle);
}

void StartSearchThread(Engine&, SearchFunction search) {
    thread = SearchThreadModel{};
    thread.search = search;
}

void SearchThreadMain(Engine&, SearchFunction) {
    FuzzFailure("SearchThreadMain is not used by this target");
}

// ---- shell/inputring.h ------------------------------------------------------------------

InputRing inputRing;

void InputThreadMain() {
    FuzzFailure("InputThreadMain is not used by this target");
}

void PutToken(const char* token, bool endsLine) {
    std::string text(token, strnlen(token, SlotSize - 1));
    feed.tokens.insert(feed.tokens.begin() + std::ptrdiff_t(feed.next), Token{text, endsLine});
}

void TakeToken(char* buffer) {
    if (!feed.lineArrived && feed.engine)
        WaitForInput(*feed.engine);
    std::memset(buffer, 0, SlotSize);
    std::strcpy(buffer, FrontToken());
    if (feed.next < feed.tokens.size()) {
        feed.lastEndedLine = feed.tokens[feed.next].endsLine;
        feed.next++;
    } else {
        feed.lastEndedLine = true;
        if (std::strcmp(buffer, "stop") == 0)
            feed.uciStopSent = true;
    }
    feed.lineArrived = !feed.lastEndedLine;
    feed.taken++;
}

int TakeInt() {
    char buffer[SlotSize];
    TakeToken(buffer);
    long long v = std::strtoll(buffer, nullptr, 10);
    if (feed.perftCap) {
        v = std::min<long long>(v, feed.perftCap);
        feed.perftCap = 0;
    }
    return int(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

bool TakeYes() {
    char buffer[SlotSize];
    TakeToken(buffer);
    return std::toupper(static_cast<unsigned char>(buffer[0])) == 'Y';
}

const char* PeekToken() {
    return feed.lineArrived ? FrontToken() : nullptr;
}

bool LastTokenEndedLine() {
    return feed.lastEndedLine;
}

int64_t TokensTaken() {
    return feed.taken;
}

// ---- The shell's seams ------------------------------------------------------------------

// IterativeDeepening within the fuzzing limits; the settings are left as they were.
static Move BoundedSearch(Engine& e) {
    const int32_t depth = e.search.searchDepth;
    const int64_t nodes = e.search.maxNodes;
    const SearchState s = GetSearchState(e);
    const bool nodeLimited = s != Pondering && s != Analyzing;  // as the time check has it
    e.search.searchDepth = std::min(depth, nodeLimited ? FuzzDepth : FuzzUnboundedDepth);
    if (nodes == 0 || nodes > FuzzNodes)
        e.search.maxNodes = FuzzNodes;
    Move m = IterativeDeepening(e);
    e.search.searchDepth = depth;
    e.search.maxNodes = nodes;
    return m;
}

// SetHashSize without the large tables, which take long to clear.
static int SmallHashSize(Engine& e, int megabytes) {
    return SetHashSize(e, std::min(megabytes, FuzzHashMegabytes));
}

// The end of the process: the run is over.
[[noreturn]] static void EndRun(int) {
    throw SessionEnded{};
}

// ---- The main thread ----------------------------------------------------------------

// Start-up's look at the first word: "fritz", "uci" or "xboard".
static void DetectProtocol(Engine& e) {
    if (!PeekToken())
        WaitForInput(e);
    char token[SlotSize];
    const char* next = PeekToken();
    if (next && std::strcmp(next, "fritz") == 0) {
        TakeToken(token);
        e.shell.fritzMode = 1;
        next = PeekToken();
    } else if (next && std::strcmp(next, "uci") == 0) {
        TakeToken(token);
        EnterUciMode(e);
    }
    if (next && std::strcmp(next, "xboard") == 0) {
        TakeToken(token);
        e.shell.xboardMode = 1;
        e.shell.consoleMode = 0;
        return;
    }
    if (e.shell.consoleMode)
        Write(DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
}

// The console and xboard main loop.
[[noreturn]] static void MainLoop(Engine& e) {
    char token[SlotSize];
    for (;;) {
        if (SearchFinished(e)) {
            OnSearchDone(e);
        } else if (!PeekToken()) {
            WaitForInput(e);
        } else {
            TakeToken(token);
            if (TokensTaken() == 1 && std::strcmp(token, "uci") == 0)
                EnterUciMode(e);
            if (std::strcmp(token, "testgen") == 0)
                feed.perftCap = FuzzPerftDepth;  // deeper counts take seconds
            if (!InterpretCommand(e, token) && !HandleUserMove(e, token))
                Print("Illegal move (no matching move)%s\n", token);
        }
    }
}

// Files waiting in the scratch folder at the start of every run, for the commands that read
// a suite, a game or a position (their names are in fuzz/commands.dict).
static const struct {
    const char* name;
    const char* text;
} scratchFiles[] = {
    {"suite.epd",
     "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - bm Bb5; id \"one\";\n"
     "4k3/8/8/8/8/8/4Q3/4K3 w - - am Kd1 Qe7; id \"two\";\n"
     "noop\n"
     "svfe 6k1/5ppp/8/8/8/8/8/R5K1 w - -\n"
     "srch Ra8\n"
     "echo end of the suite\n"
     "rtrn\n"},
    {"games.pgn",
     "[Event \"One\"]\n[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 {Ruy Lopez} 4. Ba4 1-0\n\n"
     "[Event \"Two\"]\n[FEN \"4k3/P7/8/8/8/8/8/4K3 w - - 0 1\"]\n\n1. a8=Q+ Kd7 *\n"},
    {"saved.fen", "r3k2r/8/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1\n"},
};

// The small book compiled once from the repository's text, copied into every run's Engine.
static SmallBookEntry smallBookTemplate[SmallBookSize];

static FILE* logFile = nullptr;       // the log goes to /dev/null
static std::string startFolder;       // the fuzzer's working folder

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    SilenceStandardOutput();
    logFile = std::fopen("/dev/null", "w");
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
        FuzzFailure("cannot read the working folder");
    startFolder = cwd;
    // Runs happen in the scratch folder: findings must still be written here.
    bool prefixGiven = false;
    for (int i = 1; i < *argc; i++)
        if (std::strncmp((*argv)[i], "-artifact_prefix=", 17) == 0 ||
            std::strncmp((*argv)[i], "-exact_artifact_path=", 21) == 0)
            prefixGiven = true;
    if (!prefixGiven) {
        static std::vector<char*> args((*argv), (*argv) + *argc);
        static std::string prefix = "-artifact_prefix=" + startFolder + "/";
        args.push_back(prefix.data());
        args.push_back(nullptr);
        *argv = args.data();
        *argc += 1;
    }
    auto e = NewFuzzEngine();
    FILE* book = std::fopen(MOSSKITE_SOURCE_DIR "/kitebook.txt", "r");
    if (book) {
        ReadSmallBookText(*e, book);
        std::fclose(book);
    }
    std::copy(e->book.smallBook, e->book.smallBook + SmallBookSize, smallBookTemplate);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    if (chdir(ScratchFolder()) != 0)
        FuzzFailure("cannot enter %s", ScratchFolder());
    for (const auto& file : scratchFiles)
        WriteScratchFile(file.name, reinterpret_cast<const uint8_t*>(file.text),
                         std::strlen(file.text));
    std::unique_ptr<Engine> engine = NewFuzzEngine();
    Engine& e = *engine;
    e.shell.seams.search = BoundedSearch;
    e.shell.seams.setHashSize = SmallHashSize;
    e.shell.seams.endProcess = EndRun;
    feed = TokenFeed{};
    feed.tokens = Tokenize(data + 1, size - 1);
    const int mode = data[0] & ModeBits;
    if (mode == UciStart)
        feed.tokens.insert(feed.tokens.begin(), Token{"uci", true});

    // Start-up as the program does it, less the log file and the threads.
    InitDisplayBoard(e.shell.display);
    if (mode == XboardStart) {
        e.shell.xboardMode = 1;
        e.shell.consoleMode = 0;
    }
    e.shell.logFile = logFile;
    std::copy(smallBookTemplate, smallBookTemplate + SmallBookSize, e.book.smallBook);
    NewGame(e);
    StartSearchThread(e, ShellSearch);
    thread.stopAfterStart = data[0] & StartedStopBit;
    feed.engine = &e;
    try {
        DetectProtocol(e);
        MainLoop(e);
    } catch (const SessionEnded&) {
    }
    feed.engine = nullptr;

    // The game position is sound whatever the commands did to it.
    if (GetSearchState(e) == Idle || GetSearchState(e) == Done) {
        std::string defect(CheckPosition(e.pos));
        if (!defect.empty())
            FuzzFailure("inconsistent position at the end: %s (%s)", defect.c_str(),
                        PositionToEpd(e.pos));
    }
    // With no search under way and no predicted reply made, the players see the game
    // position, and typed moves are read against its list.
    if (GetSearchState(e) == Idle && e.shell.predictedReply == 0) {
        DisplayBoard shown;
        InitDisplayBoard(shown);
        CopyToDisplayBoard(e, shown);
        const DisplayBoard& d = e.shell.display;
        if (std::memcmp(shown.board, d.board, sizeof d.board) != 0 ||
            shown.whiteToMove != d.whiteToMove || shown.castleRights != d.castleRights)
            FuzzFailure("the display board is not the game position %s", PositionToEpd(e.pos));
        if (e.pos.currentPly != e.pos.rootPly || e.shell.notation.moves != e.pos.rootPly ||
            e.shell.notation.board != &e.shell.display)
            FuzzFailure("moves are not read against the game position %s", PositionToEpd(e.pos));
    }
    if (e.search.treeDumpFile)
        std::fclose(e.search.treeDumpFile);
    engine.reset();
    feed = TokenFeed{};  // whatever a run allocates it frees, or libFuzzer suspects a leak
    EmptyScratchFolder();
    if (chdir(startFolder.c_str()) != 0)
        FuzzFailure("cannot return to %s", startFolder.c_str());
    return 0;
}
