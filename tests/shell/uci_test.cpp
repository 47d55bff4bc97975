// The UCI protocol through the real binary, and the limits of "go". Searches are bounded by
// depth or nodes, so no transcript depends on the speed of the machine.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "board/gameline.h"
#include "enginepipe.h"
#include "notation/movetext.h"
#include "shell/uci.h"
#include "support.h"

static const std::string identification =
    "id name MossKite 10.88\n"
    "id author Orlevane\n"
    "option name Hash type spin default 16 min 0 max 256\n"
    "option name Clear Hash type button\n"
    "uciok\n";

// The words of a line.
static std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// The move of a "bestmove" line ("" when the line is none).
static std::string BestMoveOf(const std::string& line) {
    std::vector<std::string> w = Words(line);
    return w.size() >= 2 && w[0] == "bestmove" ? w[1] : "";
}

// Plays UCI move text on a test engine; false when it names no legal move. Promotion
// letters must be lower case.
static bool PlayUciMove(Engine& e, const std::string& text) {
    for (char c : text)
        if (std::isupper(static_cast<unsigned char>(c)))
            return false;
    Move m = ParseMove(e, text.c_str());
    if (MoveFrom(m) == 0 || MoveToUciText(m) != text)
        return false;
    GameMakeMove(e, m);
    return CheckPosition(e) == "";
}

// True when the move text is legal in the position of fen after the moves.
static bool LegalAfter(const std::string& fen, const std::vector<std::string>& moves,
                       const std::string& move) {
    auto e = NewTestEngine();
    if (!fen.empty() && !SetPositionFromEpd(*e, fen.c_str()))
        return false;
    for (const std::string& m : moves)
        if (!PlayUciMove(*e, m))
            return false;
    return PlayUciMove(*e, move);
}

// An engine in UCI mode with its identification read.
struct UciEngine : EnginePipe {
    UciEngine() {
        Send("uci");
        WaitFor("uciok");
    }
    // Sends a "go" line and returns the "bestmove" line that answers it.
    std::string Go(const std::string& go) {
        Send(go);
        return WaitFor("bestmove");
    }
};

TEST(UciProtocol, IdentificationAndQuit) {
    int status = -1;
    std::string out = RunShell("printf 'uci\\nisready\\nquit\\n' | '" + EngineBinary() + "'",
                                 &status);
    EXPECT_EQ(out, identification + "readyok\n");
    EXPECT_EQ(status, 0);
}

TEST(UciProtocol, LateUciStillEntersUciMode) {
    // "uci" comes after the start-up wait: the console banner may have been printed, but
    // the first token still switches to UCI.
    std::string out = RunShell("(sleep 1; printf 'uci\\nisready\\nquit\\n') | '" +
                                 EngineBinary() + "'");
    std::string tail = identification + "readyok\n";
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    EXPECT_TRUE(out == tail || out.rfind("\n----------------------------------\nmossKite", 0) == 0);
}

TEST(UciProtocol, UnknownWordsAndStopWithoutSearchPrintNothing) {
    std::string out = RunShell("printf 'uci\\nucinewgame\\ndebug on\\nstop\\nstop\\n"
                                 "ponderhit\\nisready\\nquit\\n' | '" + EngineBinary() + "'");
    EXPECT_EQ(out, identification + "readyok\n");
}

TEST(UciProtocol, SetOptionHashAndClearHash) {
    UciEngine u;
    u.Send("setoption name Hash value 8");
    u.Send("setoption name Clear Hash");
    u.Send("setoption name clear hash");
    u.Send("setoption name Hash value lots");      // no number: ignored
    u.Send("setoption name Ponder value true");    // not an option of ours
    u.Send("setoption nonsense Hash value 4");
    u.Send("isready");
    EXPECT_EQ(u.ReadLine(), "readyok");
    std::string best = BestMoveOf(u.Go("go depth 2"));
    EXPECT_TRUE(LegalAfter("", {}, best)) << best;
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);  // the log is complete once the engine has ended
    const std::string logStart = "======= MossKite 10.88 Log File =======\n\n"
                                 "**** Running in UCI Mode ****\n"
                                 "Setting hash table to 8 MB\n"
                                 "clearing hash=======\n"
                                 "clearing hash=======\n"
                                 "1. ";
    EXPECT_EQ(u.Log().substr(0, logStart.size()), logStart);
}

TEST(UciProtocol, PositionWithSixFieldFenAppliesTheMoves) {
    UciEngine u;
    const std::string fen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    u.Send("position fen " + fen + " moves e2e4 e7e5 g1f3");
    std::string best = BestMoveOf(u.Go("go depth 3"));
    EXPECT_TRUE(LegalAfter(fen, {"e2e4", "e7e5", "g1f3"}, best)) << best;

    // Four fields only, and five (a halfmove clock without the move number).
    u.Send("position fen 4k3/8/8/8/8/8/4P3/4K3 b - - moves e8d7 e2e4");
    best = BestMoveOf(u.Go("go depth 3"));
    EXPECT_TRUE(LegalAfter("4k3/8/8/8/8/8/4P3/4K3 b - -", {"e8d7", "e2e4"}, best)) << best;
    u.Send("position fen 4k3/8/8/8/8/8/4P3/4K3 b - - 12 moves e8d7");
    best = BestMoveOf(u.Go("go depth 3"));
    EXPECT_TRUE(LegalAfter("4k3/8/8/8/8/8/4P3/4K3 b - -", {"e8d7"}, best)) << best;
}

TEST(UciProtocol, MovesStopAtTheFirstIllegalOne) {
    UciEngine u;
    // The second e2e4 is illegal: e7e5 after it must not be played either.
    u.Send("position startpos moves e2e4 e2e4 e7e5");
    std::string best = BestMoveOf(u.Go("go depth 2"));
    EXPECT_TRUE(LegalAfter("", {"e2e4"}, best)) << best;
    // A refused FEN keeps the previous position and plays none of its moves.
    u.Send("position fen 8/8/8/8/8/8/8/8 w - - 0 1 moves e7e5");
    best = BestMoveOf(u.Go("go depth 2"));
    EXPECT_TRUE(LegalAfter("", {"e2e4"}, best)) << best;
}

TEST(UciProtocol, LongMoveListsUseTheGameLineWindow) {
    UciEngine u;
    // 600 plies of knight moves: longer than the ply stack; the game line is moved down.
    std::string line = "position startpos moves";
    for (int i = 0; i < 150; i++)
        line += " g1f3 g8f6 f3g1 f6g8";
    u.Send(line + " e2e4");
    std::string best = BestMoveOf(u.Go("go depth 2"));
    EXPECT_TRUE(LegalAfter("", {"e2e4"}, best)) << best;
}

TEST(UciProtocol, PromotionsAreWrittenInLowerCase) {
    UciEngine u;
    u.Send("position fen 8/P6k/8/8/8/8/8/K7 w - - 0 1");
    u.Send("go depth 4");
    std::vector<std::string> info = u.LinesBefore("bestmove");
    std::string bestLine = u.Transcript().back();
    EXPECT_EQ(BestMoveOf(bestLine), "a7a8q");
    for (const std::string& l : info)
        EXPECT_EQ(l.find("a8Q"), std::string::npos) << l;
}

TEST(UciProtocol, GoWithoutLegalMovesAnswersNullMove) {
    UciEngine u;
    u.Send("position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(u.Go("go depth 3"), "bestmove 0000");
    u.Send("stop");
    u.Send("isready");
    EXPECT_EQ(u.ReadLine(), "readyok");  // the stop had nothing to report
}

TEST(UciProtocol, InfiniteSearchAnswersIsReadyAndStopsOnce) {
    UciEngine u;
    u.Send("position startpos moves d2d4");
    u.Send("go infinite");
    u.Send("isready");
    EXPECT_EQ(u.WaitFor("readyok"), "readyok");
    u.Send("stop");
    std::string best = BestMoveOf(u.WaitFor("bestmove"));
    EXPECT_TRUE(LegalAfter("", {"d2d4"}, best)) << best;
    u.Send("stop");
    u.Send("isready");
    std::vector<std::string> between = u.LinesBefore("readyok");
    for (const std::string& l : between)
        EXPECT_NE(l.rfind("bestmove", 0), 0u) << l;
}

TEST(UciProtocol, PositionDuringASearchReportsThatSearchFirst) {
    UciEngine u;
    u.Send("position startpos");
    u.Send("go infinite");
    u.Send("position startpos moves e2e4");
    u.Send("isready");
    std::vector<std::string> lines = u.LinesBefore("readyok");
    int bestmoves = 0;
    for (const std::string& l : lines)
        if (l.rfind("bestmove", 0) == 0) {
            bestmoves++;
            EXPECT_TRUE(LegalAfter("", {}, BestMoveOf(l))) << l;
        }
    EXPECT_EQ(bestmoves, 1);
    // The new position is in place for the next search.
    std::string best = BestMoveOf(u.Go("go depth 2"));
    EXPECT_TRUE(LegalAfter("", {"e2e4"}, best)) << best;
}

TEST(UciProtocol, PonderThenPonderHit) {
    UciEngine u;
    // The interface's position already holds the move pondered on (e7e5).
    u.Send("position startpos moves e2e4 e7e5");
    u.Send("go ponder depth 3");
    // The whole search runs while pondering; its bestmove waits for the ponder hit.
    std::vector<std::string> lines = u.LinesBefore("info depth 3 ");
    lines.push_back(u.Transcript().back());
    u.Send("isready");
    std::vector<std::string> more = u.LinesBefore("readyok");
    lines.insert(lines.end(), more.begin(), more.end());
    u.Send("ponderhit");
    more = u.LinesBefore("bestmove");
    lines.insert(lines.end(), more.begin(), more.end());
    std::string best = BestMoveOf(u.Transcript().back());
    EXPECT_TRUE(LegalAfter("", {"e2e4", "e7e5"}, best)) << best;
    for (const std::string& l : lines) {
        EXPECT_NE(l.rfind("bestmove", 0), 0u) << "bestmove before the ponder hit";
        size_t pv = l.find(" pv ");
        if (pv == std::string::npos)
            continue;
        std::vector<std::string> w = Words(l.substr(pv + 4));
        ASSERT_FALSE(w.empty());
        // The line starts from the interface's position, not with the move pondered on.
        EXPECT_TRUE(LegalAfter("", {"e2e4", "e7e5"}, w[0])) << l;
    }
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
    EXPECT_NE(u.Log().find("   Ponder hit!\n"), std::string::npos);
}

TEST(UciProtocol, StopDuringPonderReportsOneMove) {
    UciEngine u;
    u.Send("position startpos moves e2e4");
    u.Send("go ponder wtime 60000 btime 60000");
    u.Send("stop");
    std::string best = BestMoveOf(u.WaitFor("bestmove"));
    EXPECT_TRUE(LegalAfter("", {"e2e4"}, best)) << best;
    u.Send("isready");
    for (const std::string& l : u.LinesBefore("readyok"))
        EXPECT_NE(l.rfind("bestmove", 0), 0u) << l;
}

TEST(UciProtocol, NodeLimitEndsTheSearch) {
    UciEngine u;
    u.Send("position startpos moves e2e4 c7c5");
    u.Send("go nodes 20000");
    std::vector<std::string> info = u.LinesBefore("bestmove");
    std::string best = BestMoveOf(u.Transcript().back());
    EXPECT_TRUE(LegalAfter("", {"e2e4", "c7c5"}, best)) << best;
    // The node check runs every 2048 nodes.
    for (const std::string& l : info) {
        std::vector<std::string> w = Words(l);
        for (size_t i = 0; i + 1 < w.size(); i++) {
            if (w[i] == "nodes") {
                EXPECT_LE(std::stoll(w[i + 1]), 20000 + 2048) << l;
            }
        }
    }
}

TEST(UciProtocol, ScriptedGameOfPositionGoPairs) {
    // The engine plays both sides, 150 moves (or to the end of the game), each search
    // given the whole game so far.
    UciEngine u;
    auto game = NewTestEngine();
    std::vector<std::string> moves;
    for (int ply = 0; ply < 300; ply++) {
        std::string line = "position startpos";
        if (!moves.empty()) {
            line += " moves";
            for (const std::string& m : moves)
                line += " " + m;
        }
        u.Send(line);
        std::string answer = u.Go(ply % 2 ? "go nodes 3000" : "go depth 2");
        std::string best = BestMoveOf(answer);
        if (game->pos.currentPly->moveCount == 0) {
            EXPECT_EQ(best, "0000");
            break;
        }
        ASSERT_TRUE(PlayUciMove(*game, best)) << "ply " << ply << ": " << answer;
        moves.push_back(best);
    }
    EXPECT_GE(moves.size(), 20u);
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
}

TEST(UciGoLimits, ClockAndFixedLimits) {
    UciGoParams go;
    go.wtime = go.btime = 60000;  // one minute each, no increment: (60 + 15) / 30
    UciLimits l = UciGoLimits(go, 1);
    EXPECT_EQ(l.maxTime, 2);
    EXPECT_EQ(l.clockRemaining, 60);
    EXPECT_TRUE(l.fromClock);
    EXPECT_EQ(l.searchDepth, 30);
    EXPECT_EQ(l.maxNodes, 0);
    EXPECT_EQ(l.state, Thinking);

    go = UciGoParams{};
    go.movetime = 2500;
    l = UciGoLimits(go, 1);
    EXPECT_EQ(l.maxTime, 2);
    EXPECT_EQ(l.clockRemaining, 0);
    EXPECT_FALSE(l.fromClock);

    go = UciGoParams{};
    go.depth = 6;
    l = UciGoLimits(go, 0);
    EXPECT_EQ(l.searchDepth, 6);
    EXPECT_EQ(l.maxTime, 3600);

    // A bare "go": the default ten seconds at the default depth.
    l = UciGoLimits(UciGoParams{}, 1);
    EXPECT_EQ(l.searchDepth, 30);
    EXPECT_EQ(l.maxTime, 10);
    EXPECT_EQ(l.maxNodes, 0);
}

TEST(UciGoLimits, OwnClockIncrementAndMovesToGo) {
    UciGoParams go;
    go.wtime = 5000;
    go.btime = 120000;
    go.winc = 7000;
    go.binc = 2000;
    // Black to move: its two minutes and two seconds.
    UciLimits l = UciGoLimits(go, 0);
    EXPECT_EQ(l.maxTime, (120 + 15) / 30 + 2);
    // White to move: a short clock with an increment plays on the increment less a second.
    l = UciGoLimits(go, 1);
    EXPECT_EQ(l.maxTime, 4);  // the increment less a second, capped below the 5 s left
    go.movestogo = 20;
    l = UciGoLimits(go, 0);
    EXPECT_EQ(l.maxTime, (120 - 3) / 20 + 2);
}

TEST(UciGoLimits, NodesMateInfinitePonder) {
    UciGoParams go;
    go.nodes = 50000;
    UciLimits l = UciGoLimits(go, 1);
    EXPECT_EQ(l.maxNodes, 50000);
    EXPECT_EQ(l.maxTime, 3600);  // the node limit decides, not the clock rule's 0 seconds

    go = UciGoParams{};
    go.mate = 3;
    l = UciGoLimits(go, 1);
    EXPECT_EQ(l.searchDepth, 5);
    EXPECT_EQ(l.maxTime, 3600);

    go = UciGoParams{};
    go.infinite = true;
    go.depth = 12;
    l = UciGoLimits(go, 1);
    EXPECT_EQ(l.state, Analyzing);
    EXPECT_EQ(l.searchDepth, 12);

    // Ponder goes with every other limit.
    go = UciGoParams{};
    go.ponder = true;
    go.wtime = go.btime = 60000;
    l = UciGoLimits(go, 1);
    EXPECT_EQ(l.state, Pondering);
    EXPECT_EQ(l.maxTime, 2);
    go.depth = 4;
    go.wtime = go.btime = -1;
    l = UciGoLimits(go, 1);
    EXPECT_EQ(l.state, Pondering);
    EXPECT_EQ(l.searchDepth, 4);
}
