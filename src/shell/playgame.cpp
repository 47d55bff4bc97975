// Playing the game. The Engine holds the game position, except while pondering, when the
// predicted reply is made on it; the display board always shows the game as played.
#include "shell/playgame.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "board/gameline.h"
#include "board/movegen.h"
#include "book/probe.h"
#include "engine.h"
#include "notation/boardtext.h"
#include "notation/movetext.h"
#include "output.h"
#include "search/draw.h"
#include "search/driver.h"
#include "search/report.h"
#include "search/rootfilter.h"
#include "search/scoretext.h"
#include "search/searchclock.h"
#include "shell/displayboard.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/seams.h"
#include "shell/searchthread.h"
#include "shell/timecontrol.h"
#include "version.h"

static constexpr int GreetingPlies = 3;    // xboard greetings go with moves before this ply
static constexpr int GameLevelRepetitions = 2;

// Number of the move that the half-move plyNumber belongs to.
static int MoveNumber(const Engine& e) {
    return (e.shell.plyNumber + 1) / 2;
}

Move ShellSearch(Engine& e) {
    // A refused position left the previous one on the board: nothing there is to be played.
    if (e.shell.positionRefused)
        return 0;
    return e.shell.seams.search(e);
}

[[noreturn]] void ExitProgram(Engine& e) {
    std::fflush(stdout);
    FlushLog(e);
    // Not fflush(nullptr): the input thread holds standard input's lock while it waits.
    if (e.search.treeDumpFile)
        std::fflush(e.search.treeDumpFile);
    e.shell.seams.endProcess(0);
    EndProcess(0);  // a stand-in that returned
}

void StopSearchForCommand(Engine& e) {
    if (GetSearchState(e) == Pondering) {
        StopSearch(e);
        GameTakeBack(e.pos, 1);
        // The predicted reply was never played: replay must not bring it back.
        e.pos.lastGamePly = e.pos.currentPly;
        e.shell.predictedReply = 0;
        return;
    }
    StopSearch(e);
}

void RequestSearchAfterCommand(Engine& e, SearchState s) {
    e.shell.searchAfterCommand = s;
}

void StartSearchAfterCommand(Engine& e) {
    SearchState s = e.shell.searchAfterCommand;
    if (s == Idle)
        return;
    e.shell.searchAfterCommand = Idle;
    RequestSearch(e, s);
}

void PlayGameMove(Engine& e, Move m, int report) {
    GameMakeMove(e.pos, m);
    ClearRootFilter(e.search.rootFilter);  // a new position: every move may be searched
    e.shell.plyNumber++;
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
    if (e.shell.plyNumber > BookPlies)
        e.book.useBook = 0;
    if (e.shell.consoleMode)
        Write(DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
    if (!report || e.shell.forceMode)
        return;
    if (e.pos.checkCount && e.pos.rootPly->moveCount == 0)
        Print(e.pos.whiteToMove ? "Black mates!\n" : "White Mates!\n");
    else if (IsDraw(e, GameLevelRepetitions))
        Print("Draw\n");
}

void LogOpponentMove(Engine& e, Move m, const char* after) {
    int whiteMoves = e.shell.display.whiteToMove;
    LogPrint(e, whiteMoves ? "%d. " : "%d... ", MoveNumber(e));
    std::string san = MoveToSan(e.shell.notation, m);
    LogPrint(e, "%s\n", san.c_str());
    if (!e.shell.xboardMode)
        Print(whiteMoves ? "Your move was: %d. %s\n%s" : "Your move was: %d. .. %s\n%s",
              MoveNumber(e), san.c_str(), after);
    else if (*after)
        Write(after);
}

int HandleUserMove(Engine& e, const char* token) {
    if (e.shell.positionRefused)
        return 0;  // the interface's board is not the Engine's
    SearchState s = GetSearchState(e);
    if (s == Analyzing) {
        // The analysis reorders the game position's list: stop it before reading the move.
        StopSearch(e);
        Move m = ParseMove(e.shell.notation, token);
        if (MoveFrom(m) != 0) {
            LogOpponentMove(e, m);
            PlayGameMove(e, m, 0);
        }
        RequestSearch(e, Analyzing);
        return MoveFrom(m) != 0;
    }
    if (s != Idle && s != Pondering)
        return 0;  // a move typed while the engine thinks is not accepted
    // Idle, or pondering one ply above the game position, whose list the search leaves alone.
    Move m = ParseMove(e.shell.notation, token);
    if (MoveFrom(m) == 0)
        return 0;
    if (s == Pondering) {
        if (m == e.shell.predictedReply) {
            // Ponder hit: the Engine already holds the move; the search goes on as our own.
            // It goes on printing too, so the echo and the board after the move are one
            // message.
            const char* board = "";
            if (e.shell.consoleMode) {
                DisplayBoard after = e.shell.display;
                DisplayBoardApplyMove(after, m);
                board = DrawBoard(after.board, after.whiteToMove, 0);
            }
            LogOpponentMove(e, m, board);
            DisplayBoardApplyMove(e.shell.display, m);
            e.shell.plyNumber++;
            // The game position is now the search's root, one record up; its list is read
            // again only after the search is done.
            e.shell.notation.moves++;
            int64_t pondered = NowMilliseconds() - e.shell.ponderStartMs;
            e.shell.ponderGainedMs = std::max<int64_t>(pondered, 0);
            LogPrint(e, "   Ponder hit, gained %d seconds.\n", WholeSeconds(e.shell.ponderGainedMs));
            e.shell.predictedReply = 0;
            SetSearchState(e, Thinking);
            return 1;
        }
        e.shell.ponderGainedMs = 0;
        StopSearchForCommand(e);
    }
    LogOpponentMove(e, m);
    PlayGameMove(e, m, 1);
    if (!e.shell.forceMode && e.pos.rootPly->moveCount > 0) {
        Print("Thinking...\n");
        RequestSearch(e, Thinking);
    }
    return 1;
}

void AnnounceMove(Engine& e, Move m, Move ponder) {
    int white = e.pos.whiteToMove;
    std::string san = MoveToSan(e, m);
    LogPrint(e, white ? "%d. " : "%d... ", MoveNumber(e));
    LogPrint(e, "%s\n", san.c_str());
    LogPrint(e, "%s", SearchSummary(e));

    if (e.shell.showSearchInfo) {
        Write(SearchStatisticsText(e));
        Print("\n");
    } else if (e.shell.xboardMode) {
        std::string depth = DepthText(e);
        Print("tellics whisper %s, %s, %sply, %dsec, NPS: %s\n", san.c_str(), ScoreText(e),
              depth.c_str(), WholeSeconds(e.search.searchElapsedMs), NpsText(e));
        if (e.shell.plyNumber < GreetingPlies) {
            Print("tellics kibitz Greetings from mossKite version %s\n", VersionText);
            Print("tellics set 1 MossKite %s\n", VersionText);
        }
    }

    if (e.shell.xboardMode) {
        Print("move %s\n", MoveToCoordinate(m));
    } else if (e.shell.uciMode) {
        std::string line = std::string("bestmove ") + MoveToUciText(m);
        if (MoveFrom(ponder) != 0) {
            std::string text = MoveToUciText(ponder);
            line += " ponder " + text;
            LogPrint(e, "   Pondering %s\n", text.c_str());
        }
        Write(line + "\n");
    } else {
        Print(white ? "My move is: %d. %s%s\n" : "My move is: %d. .. %s%s\n", MoveNumber(e),
              san.c_str(), e.shell.beepText);
    }

    int64_t elapsed = e.search.searchElapsedMs;
    if (elapsed > e.shell.ponderGainedMs)
        e.shell.time.totalThinkingMs += elapsed - e.shell.ponderGainedMs;
    e.shell.ponderGainedMs = 0;
}

void OnSearchDone(Engine& e) {
    Move m = LegalMoveOf(e.pos, e.shell.bestMove.load(std::memory_order_acquire));
    if (MoveFrom(m) == 0 && e.pos.rootPly->moveCount > 0 && !e.shell.positionRefused)
        m = LegalMoveOf(e.pos, SearchOnePly(e));
    if (MoveFrom(m) == 0) {
        // No legal move: nothing to announce or play.
        SetSearchState(e, Idle);
        if (e.shell.consoleMode)
            Print("Enter a move or command:\n");
        return;
    }
    AnnounceMove(e, m, 0);
    PlayGameMove(e, m, 1);
    if (e.shell.consoleMode)
        Print("Enter a move or command:\n");
    SetSearchState(e, Idle);
    if (e.search.resignFlag) {
        Print("resign\n");
        return;
    }
    if (!e.shell.ponderEnabled)
        return;
    Move reply = PredictMove(e);
    if (MoveFrom(reply) == 0)
        return;
    LogPrint(e, "   Pondering %s\n", MoveToSan(e, reply));
    e.shell.predictedReply = reply;
    GameMakeMove(e.pos, reply);
    // The game position is the record below the reply; the line may have moved down.
    e.shell.notation.moves = e.pos.currentPly - 1;
    RequestSearch(e, Pondering);
    e.shell.ponderStartMs = e.search.requestStartMs.load(std::memory_order_relaxed);
    e.shell.ponderGainedMs = 0;
}
