// The xboard protocol commands. The interface drives the engine with these words and with
// bare moves. An interface of protocol version 1 keeps its defaults (coordinate moves,
// "time"/"otim", edit mode, SIGINT); one of version 2 is offered ping, setboard, usermove
// and memory, and is spared the signals.
#include "shell/xboard.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "board/setup.h"
#include "engine.h"
#include "notation/fencheck.h"
#include "notation/movetext.h"
#include "output.h"
#include "search/rootfilter.h"
#include "search/searchclock.h"
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
#include "shell/timecontrol.h"
#include "version.h"

static constexpr int BoardSquares = 64;
static constexpr int EditTokenLength = 3;       // piece or "x", file, rank
static constexpr int OpponentNameSize = 200;    // longer names are cut
static constexpr int FeatureVersion = 2;        // the protocol version that has features
static constexpr int SetboardTextSize = 256;    // a FEN line; longer ones are cut (and refused)
static constexpr int CommandLineSize = 256;     // an unknown command quoted in the error
static constexpr int OptionTextSize = 128;      // "NAME=VALUE" of an option; longer is cut
// Megabytes that "memory" leaves for the tables of fixed size (pawn hash, books, move
// lists) and the program itself.
static constexpr int FixedTablesMegabytes = 3;

bool CommandProtover(Engine& e) {
    if (TakeInt() < FeatureVersion) {
        Print("feature done=1\n");
        return true;
    }
    e.shell.xboardVersion2 = 1;
    if (e.shell.xboardMode)
        SetNoticeForm(NoticeForm::Comment);  // xboard ignores lines that start with "#"
    // Options come before the line that ends with done=1.
    const bool modern = e.search.searchKind == SearchKind::Modern;
    Print("feature option=\"Search -combo %sClassic /// %sModern\"\n", modern ? "" : "*",
          modern ? "*" : "");
    PrintStrengthFeatures(e);
    Print("feature ping=1 setboard=1 usermove=1 sigint=0 sigterm=0 analyze=1 "
          "myname=\"mossKite %s\" memory=1 smp=1 exclude=1 done=1\n",
          VersionText);
    return true;
}

// Reads the rest of an "option NAME=VALUE" line into text, words joined by one blank.
static void TakeOptionText(char* text, size_t size) {
    char token[SlotSize];
    text[0] = 0;
    if (LastTokenEndedLine())
        return;
    do {
        TakeToken(token);
        if (std::strlen(text) + std::strlen(token) + 2 <= size) {
            if (text[0])
                std::strcat(text, " ");
            std::strcat(text, token);
        }
    } while (!LastTokenEndedLine());
}

bool CommandOption(Engine& e) {
    char text[OptionTextSize];
    TakeOptionText(text, sizeof text);
    char* equals = std::strchr(text, '=');
    if (!equals) {
        Print("Error (bad option): %s\n", text);
        return true;
    }
    *equals = 0;
    const char* value = equals + 1;
    if (strcasecmp(text, "Search") != 0) {
        StopSearchForCommand(e);
        const OptionResult r = SetStrengthOption(e, text, value);
        if (r == OptionResult::Unknown)
            Print("Error (unknown option): %s\n", text);
        else if (r == OptionResult::BadValue)
            Print("Error (bad value): %s=%s\n", text, value);
        return true;
    }
    SearchKind kind;
    if (!ReadSearchKind(value, kind)) {
        Print("Error (bad value): Search=%s\n", value);
        return true;
    }
    StopSearchForCommand(e);
    ChooseSearch(e, kind);
    return true;
}

bool CommandAccepted(Engine&) {
    char feature[SlotSize];
    TakeToken(feature);
    return true;
}

bool CommandReset(Engine& e) {
    StopSearchForCommand(e);
    ClearTables(e);
    return true;
}

bool CommandFritz(Engine& e) {
    e.shell.fritzMode = 1;
    return true;
}

bool CommandName(Engine& e) {
    // The name is the next token and whatever follows it on its line ("Fairy-Max 5.0b").
    char name[OpponentNameSize] = "";
    char token[SlotSize];
    do {
        TakeToken(token);
        if (std::strlen(name) + std::strlen(token) + 2 <= sizeof name) {
            if (name[0])
                std::strcat(name, " ");
            std::strcat(name, token);
        }
    } while (!LastTokenEndedLine());
    LogPrint(e, "Opponent: %s\n", name);
    return true;
}

bool CommandRating(Engine&) {
    char token[SlotSize];
    TakeToken(token);
    TakeToken(token);
    return true;
}

bool CommandResult(Engine&) {
    // The text ends with the token that closes the comment, or else with its line.
    if (LastTokenEndedLine())
        return true;
    char token[SlotSize];
    do
        TakeToken(token);
    while (!std::strchr(token, '}') && !LastTokenEndedLine());
    return true;
}

bool CommandExit(Engine& e) {
    if (GetSearchState(e) != Analyzing)
        ExitProgram(e);
    StopSearch(e);
    return true;
}

bool CommandAnalyze(Engine& e) {
    StopSearchForCommand(e);
    e.shell.forceMode = 0;
    RequestSearchAfterCommand(e, Analyzing);
    return true;
}

// Applies "exclude" (include false) or "include" (include true) with its move or "all".
// A running analysis stops and starts again on the new set; a set left empty searches
// every move until a move comes back, as the protocol allows.
static void ChangeRootMoves(Engine& e, bool include) {
    const char* word = include ? "include" : "exclude";
    char token[SlotSize];
    TakeToken(token);
    const SearchState state = GetSearchState(e);
    if (state == Thinking) {
        Print("Error (engine is on move): %s %s\n", word, token);
        return;
    }
    StopSearchForCommand(e);
    RootFilter& f = e.search.rootFilter;
    if (std::strcmp(token, "all") == 0) {
        if (include)
            ClearRootFilter(f);
        else
            EmptyRootFilter(f, e.pos);
    } else {
        const Move m = ParseMove(e, token);
        if (!(include ? RootFilterInclude(f, e.pos, m) : RootFilterExclude(f, e.pos, m)))
            Print("Error (illegal move): %s %s\n", word, token);
    }
    if (state == Analyzing)
        RequestSearchAfterCommand(e, Analyzing);
}

bool CommandExclude(Engine& e) {
    ChangeRootMoves(e, false);
    return true;
}

bool CommandInclude(Engine& e) {
    ChangeRootMoves(e, true);
    return true;
}

bool CommandStatus(Engine& e) {
    Print("%s\n", AnalysisStatusLine(e));
    return true;
}

bool CommandNoEffect(Engine&) {
    return true;
}

// Answers a position the interface set up that cannot be played: the interface tells the
// user, and the engine plays nothing until it gets one that can.
static void RefusePosition(Engine& e) {
    e.shell.positionRefused = 1;
    Print("tellusererror Illegal position\n");
}

// Makes the Engine's new position the game position.
static void AdoptPosition(Engine& e) {
    e.shell.positionRefused = 0;
    ClearRootFilter(e.search.rootFilter);
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
}

bool CommandEdit(Engine& e) {
    bool analyzing = GetSearchState(e) == Analyzing;
    StopSearchForCommand(e);
    EditBoard b;
    StartEdit(e, b);
    char token[SlotSize];
    for (TakeToken(token); std::strcmp(token, ".") != 0; TakeToken(token)) {
        // Input that ends inside the edit gives "quit" from then on: the edit cannot finish.
        if (std::strcmp(token, "quit") == 0)
            ExitProgram(e);
        ApplyEditToken(b, token);
    }
    // A refused position leaves the old one; under xboard, whose board now differs, the
    // engine then plays nothing.
    if (SetUpEpdPosition(e, EditedPositionText(b)))
        AdoptPosition(e);
    else if (e.shell.xboardMode)
        RefusePosition(e);
    if (analyzing)
        RequestSearchAfterCommand(e, Analyzing);
    return true;
}

bool CommandSetboard(Engine& e) {
    char fen[SetboardTextSize] = "";
    char token[SlotSize];
    bool tooLong = false;
    while (!LastTokenEndedLine()) {
        TakeToken(token);
        if (std::strlen(fen) + std::strlen(token) + 2 > sizeof fen) {
            tooLong = true;  // no FEN is this long
            continue;
        }
        if (fen[0])
            std::strcat(fen, " ");
        std::strcat(fen, token);
    }
    bool analyzing = GetSearchState(e) == Analyzing;
    StopSearchForCommand(e);
    const char* defect = tooLong ? "text after the move counters" : FenDefect(fen);
    if (defect)
        Notice("Illegal position: %s\n", defect);
    if (defect || !SetUpEpdPosition(e, fen)) {
        RefusePosition(e);
    } else {
        e.shell.plyNumber = 1;
        AdoptPosition(e);
    }
    if (analyzing)
        RequestSearch(e, Analyzing);
    return true;
}

bool CommandPing(Engine& e) {
    char number[SlotSize];
    TakeToken(number);
    ShellState& s = e.shell;
    // Asked while the engine is on move: the answer follows its move. Later pings wait
    // behind earlier ones; the last slot takes the newest when all are full.
    int slot = std::min(s.pendingPingCount, PendingPingSlots - 1);
    std::snprintf(s.pendingPings[slot], PingTextSize, "%.*s", PingTextSize - 1, number);
    s.pendingPingCount = slot + 1;
    AnswerPendingPings(e);
    return true;
}

void AnswerPendingPings(Engine& e) {
    ShellState& s = e.shell;
    if (s.pendingPingCount == 0)
        return;
    SearchState state = GetSearchState(e);
    if (state == Thinking || state == Done)
        return;
    for (int i = 0; i < s.pendingPingCount; i++)
        Print("pong %s\n", s.pendingPings[i]);
    s.pendingPingCount = 0;
}

bool CommandUsermove(Engine& e) {
    char move[SlotSize];
    TakeToken(move);
    if (!HandleUserMove(e, move))
        Print("Illegal move: %s\n", move);
    return true;
}

bool CommandMemory(Engine& e) {
    int total = TakeInt();
    int megabytes = std::clamp(total - FixedTablesMegabytes, 1, MaxHashMegabytes);
    StopSearchForCommand(e);
    LogPrint(e, "Setting hash table to %d MB\n", megabytes);
    ResizeHash(e, megabytes);
    return true;
}

bool CommandCores(Engine& e) {
    const int count = std::clamp(TakeInt(), 1, MaxSearchThreads);
    StopSearchForCommand(e);
    LogPrint(e, "Searching with %d threads\n", count);
    SetSearchThreads(e, count);
    return true;
}

// True for a square's text: a file letter and a rank digit.
static bool IsSquareText(const char* s) {
    return s[0] >= 'a' && s[0] <= 'h' && s[1] >= '1' && s[1] <= '8';
}

bool LooksLikeMove(const char* text) {
    char move[SlotSize];
    std::snprintf(move, sizeof move, "%s", text);
    size_t n = std::strlen(move);
    while (n > 0 && std::strchr("+#!?", move[n - 1]))
        move[--n] = '\0';
    for (const char* castling : {"O-O", "O-O-O", "0-0", "0-0-0", "o-o", "o-o-o"})
        if (std::strcmp(move, castling) == 0)
            return true;
    // Coordinate notation: e2e4, e7e8q.
    if ((n == 4 || n == 5) && IsSquareText(move) && IsSquareText(move + 2)
        && (n == 4 || std::strchr("qrbnQRBN", move[4])))
        return true;
    // SAN: [piece] [file] [rank] [x] square [=promotion].
    size_t end = n;
    if (end >= 2 && move[end - 2] == '=' && std::strchr("QRBNqrbn", move[end - 1]))
        end -= 2;
    else if (end >= 1 && std::strchr("QRBN", move[end - 1]))
        end -= 1;
    if (end < 2 || !IsSquareText(move + end - 2))
        return false;
    size_t i = 0;
    if (std::strchr("KQRBN", move[i]) && i < end - 2)
        i++;
    if (i < end - 2 && move[i] >= 'a' && move[i] <= 'h')
        i++;
    if (i < end - 2 && move[i] >= '1' && move[i] <= '8')
        i++;
    if (i < end - 2 && move[i] == 'x')
        i++;
    return i == end - 2;
}

void RejectToken(Engine& e, const char* token) {
    if (!e.shell.xboardVersion2) {
        Print("Illegal move (no matching move)%s\n", token);
        return;
    }
    if (LooksLikeMove(token)) {
        Print("Illegal move: %s\n", token);
        return;
    }
    // One answer for the whole command: its words are not tried one by one.
    char line[CommandLineSize];
    std::snprintf(line, sizeof line, "%s", token);
    char word[SlotSize];
    while (!LastTokenEndedLine()) {
        TakeToken(word);
        size_t used = std::strlen(line);
        std::snprintf(line + used, sizeof line - used, " %s", word);
    }
    Print("Error (unknown command): %s\n", line);
}

bool CommandPost(Engine& e) {
    e.shell.post = 1;
    return true;
}

bool CommandNopost(Engine& e) {
    e.shell.post = 0;
    return true;
}

// Index in EditBoard::squares of the square named by a file letter and a rank digit, or -1.
static int EditSquareIndex(char fileLetter, char rankDigit) {
    if (fileLetter < 'a' || fileLetter > 'h' || rankDigit < '1' || rankDigit > '8')
        return -1;
    return (8 - (rankDigit - '0')) * 8 + (fileLetter - 'a');
}

// Letter of a piece code as EPD writes it, '1' for an empty square.
static char EditLetter(int code) {
    static constexpr char letters[] = "kqrbnp1PNBRQK";  // indexed by code + 6
    return code >= -King && code <= King ? letters[code + King] : '1';
}

void StartEdit(const Engine& e, EditBoard& b) {
    for (int rank = 8; rank >= 1; rank--)
        for (int file = 1; file <= 8; file++)
            b.squares[(8 - rank) * 8 + file - 1] = EditLetter(e.pos.board[MakeSquare(rank, file)]);
    b.side = e.pos.whiteToMove ? 'w' : 'b';
    b.placingWhite = true;
}

void ApplyEditToken(EditBoard& b, const char* token) {
    if (std::strcmp(token, "#") == 0) {
        std::memset(b.squares, '1', BoardSquares);
        return;
    }
    if (std::strcmp(token, "c") == 0) {
        b.placingWhite = !b.placingWhite;
        return;
    }
    if (std::strlen(token) < EditTokenLength)
        return;
    int index = EditSquareIndex(token[1], token[2]);
    if (index < 0)
        return;
    if (token[0] == 'x') {
        b.squares[index] = '1';
        return;
    }
    if (!std::strchr("PNBRQKpnbrqk", token[0]))
        return;
    b.squares[index] = b.placingWhite
                           ? token[0]
                           : char(std::tolower(static_cast<unsigned char>(token[0])));
}

const char* EditedPositionText(const EditBoard& b) {
    static char text[BoardSquares + 16];
    auto at = [&b](char file, char rank) { return b.squares[EditSquareIndex(file, rank)]; };
    char castling[5];
    int n = 0;
    if (at('h', '1') == 'R' && at('e', '1') == 'K')
        castling[n++] = 'K';
    if (at('a', '1') == 'R' && at('e', '1') == 'K')
        castling[n++] = 'Q';
    if (at('h', '8') == 'r' && at('e', '8') == 'k')
        castling[n++] = 'k';
    if (at('a', '8') == 'r' && at('e', '8') == 'k')
        castling[n++] = 'q';
    if (n == 0)
        castling[n++] = '-';
    castling[n] = '\0';
    std::snprintf(text, sizeof text, "%.*s %c %s -", BoardSquares, b.squares, b.side, castling);
    return text;
}

const char* AnalysisStatusLine(const Engine& e) {
    static char text[96];
    // The search thread updates these figures while this runs; each is read whole.
    int64_t nodes = __atomic_load_n(&e.pos.nodeCount, __ATOMIC_RELAXED) + HelperNodes(e);
    int32_t iterations = __atomic_load_n(&e.search.iterationsDone, __ATOMIC_RELAXED);
    int32_t movesDone = __atomic_load_n(&e.search.rootMovesDone, __ATOMIC_RELAXED);
    int32_t movesTotal = __atomic_load_n(&e.search.rootMoveCount, __ATOMIC_RELAXED);
    // Timed from the request, which the main thread itself recorded: the search's own start
    // time is the search thread's to write.
    int64_t startMs = e.search.requestStartMs.load(std::memory_order_relaxed);
    int64_t centiseconds = (NowMilliseconds() - startMs) / MillisecondsPerCentisecond;
    std::snprintf(text, sizeof text, "stat01: %" PRId64 " %" PRId64 " %d %d %d",
                  centiseconds, nodes, iterations, movesDone, movesTotal);
    return text;
}
