// The xboard protocol commands. The interface drives the engine with these words and with
// bare moves; the engine answers protover with nothing but "feature done=1", so the
// interface keeps its defaults (coordinate moves, "time"/"otim", edit mode, SIGINT).
#include "shell/xboard.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "board/setup.h"
#include "engine.h"
#include "search/tables.h"
#include "shell/displayboard.h"
#include "shell/inputring.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/output.h"
#include "shell/playgame.h"
#include "shell/searchthread.h"
#include "shell/timecontrol.h"

static constexpr int BoardSquares = 64;
static constexpr int EditTokenLength = 3;       // piece or "x", file, rank
static constexpr int OpponentNameSize = 200;    // longer names are cut
static constexpr int64_t MillisecondsPerCentisecond = 10;

bool CommandProtover(Engine&) {
    TakeInt();  // the protocol version; every version gets the same answer
    Print("feature done=1\n");
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

bool CommandStatus(Engine& e) {
    Print("%s\n", AnalysisStatusLine(e));
    return true;
}

bool CommandNoEffect(Engine&) {
    return true;
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
    SetPositionFromEpd(e, EditedPositionText(b));  // a refused position leaves the old one
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
    if (analyzing)
        RequestSearchAfterCommand(e, Analyzing);
    return true;
}

bool CommandPost(Engine& e) {
    e.search.post = 1;
    return true;
}

bool CommandNopost(Engine& e) {
    e.search.post = 0;
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
    int64_t nodes = __atomic_load_n(&e.pos.nodeCount, __ATOMIC_RELAXED);
    int32_t iterations = __atomic_load_n(&e.search.iterationsDone, __ATOMIC_RELAXED);
    int32_t movesDone = __atomic_load_n(&e.search.rootMovesDone, __ATOMIC_RELAXED);
    int32_t movesTotal = __atomic_load_n(&e.search.rootMoveCount, __ATOMIC_RELAXED);
    // Timed from the request, which the main thread itself recorded: the search's own start
    // time is the search thread's to write.
    int64_t startMs = e.shell.time.searchStartMs.load(std::memory_order_relaxed);
    int64_t centiseconds = (NowMs() - startMs) / MillisecondsPerCentisecond;
    std::snprintf(text, sizeof text, "stat01: %" PRId64 " %" PRId64 " %d %d %d",
                  centiseconds, nodes, iterations, movesDone, movesTotal);
    return text;
}
