// The UCI protocol through the real binary, and the limits of "go". Searches are bounded by
// depth or nodes, so no transcript depends on the speed of the machine.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "board/gameline.h"
#include "enginepipe.h"
#include "enginerun.h"
#include "notation/movetext.h"
#include "search/strength.h"
#include "search/tables.h"
#include "search/threads.h"
#include "shell/uci.h"
#include "support.h"
#include "transcript.h"

static const std::string identification =
    "id name MossKite 10.88\n"
    "id author Orlevane\n"
    "option name Hash type spin default 16 min 0 max 256\n"
    "option name Clear Hash type button\n"
    "option name OwnBook type check default true\n"
    "option name Ponder type check default false\n"
    "option name Move Overhead type spin default 30 min 0 max 5000\n"
    "option name Threads type spin default 1 min 1 max " + std::to_string(HardwareThreads()) + "\n"
    "option name MultiPV type spin default 1 min 1 max 64\n"
    "option name Search type combo default Classic var Classic var Modern\n"
    "option name UCI_LimitStrength type check default false\n"
    "option name UCI_Elo type spin default " + std::to_string(StrengthEloMax) + " min 1400 max " +
    std::to_string(StrengthEloMax) + "\n"
    "option name Skill Level type spin default 20 min 0 max 20\n"
    "option name Seed type spin default 0 min 0 max 2147483647\n"
    "uciok\n";

// The identification as the lines of a transcript.
static std::vector<std::string> IdentificationLines() {
    std::vector<std::string> lines;
    std::istringstream in(identification);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

// The info line of a move played without a search (forced, or from the book).
static std::string UnsearchedMoveLine(const std::string& move) {
    return "~info depth 0 seldepth 0 score cp 0 nodes 0( nps 0)? time [0-9]+ hashfull [0-9]+ pv " +
           move;
}

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
    GameMakeMove(e.pos, m);
    return CheckPosition(e.pos) == "";
}

// True when the move text is legal in the position of fen after the moves.
static bool LegalAfter(const std::string& fen, const std::vector<std::string>& moves,
                       const std::string& move) {
    auto e = NewTestEngine();
    if (!fen.empty() && !SetUpEpdPosition(*e, fen.c_str()))
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

// Positions for transcripts, out of any opening book. White's king on h1 is boxed in by the
// queen on f2 and the pawn on b2 is blocked, so White's one move is the h-pawn's step.
static const std::string boxedKing = "k7/8/8/8/8/1p5P/1P3q2/7K";
// The same without the h-pawn: White is stalemated.
static const std::string stalemate = "k7/8/8/8/8/1p6/1P3q2/7K w - - 0 1";
// White mates in two: Kb6 (or Kc7) and the rook mates on the eighth rank (or the a-file).
static const std::string mateInTwo = "k7/8/2K5/8/8/8/8/7R w - - 0 1";
// Black queens next move whatever White's king does.
static const std::string blackQueens = "7K/8/8/8/8/8/p7/7k w - - 0 1";
// A quiet pawn ending with plenty to search.
static const std::string pawnEnding = "4k3/pp3ppp/8/8/8/8/PP3PPP/4K3 w - - 0 1";

// The "bestmove" lines among lines.
static int BestMoveLines(const std::vector<std::string>& lines) {
    int n = 0;
    for (const std::string& l : lines)
        n += l.rfind("bestmove", 0) == 0;
    return n;
}

// The depth of an iteration's info line, or -1 for another line.
static int InfoDepth(const std::string& line) {
    std::vector<std::string> w = Words(line);
    return w.size() >= 3 && w[0] == "info" && w[1] == "depth" ? std::stoi(w[2]) : -1;
}

TEST(UciTranscript, SessionFromIdentificationToQuit) {
    EnginePipe u;
    u.Send("uci");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("uciok"), IdentificationLines()));
    // Words of the protocol that need no answer, and a stop and a ponder hit with no search:
    // nothing is printed.
    for (const char* line : {"debug on", "ucinewgame", "register later", "setoption name Hash value 4",
                             "setoption name Clear Hash", "stop", "ponderhit", "stop", "isready"})
        u.Send(line);
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"), {"readyok"}));

    // A six-field FEN, then the moves: Black's king move leaves White one legal move.
    u.Send("position fen " + boxedKing + " b - - 0 1 moves a8a7");
    u.Send("go depth 3");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {UnsearchedMoveLine("h3h4"),
                                   "~bestmove h3h4( ponder [a-h][1-8][a-h][1-8])?"}));
    // The moves stop at the first illegal one (h3h5): h3h4 and a7a6 are not played.
    u.Send("position fen " + boxedKing + " b - - 0 1 moves a8a7 h3h5 h3h4 a7a6");
    u.Send("go depth 3");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {"info string Illegal move: h3h5", UnsearchedMoveLine("h3h4"),
                                   "~bestmove h3h4( ponder [a-h][1-8][a-h][1-8])?"}));
    // No legal move: the stalemate's score and "bestmove 0000" at once; the stop after it
    // has nothing to report.
    u.Send("position fen " + stalemate);
    u.Send("go wtime 1000 btime 1000");
    u.Send("stop");
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"),
                                  {"info depth 0 score cp 0", "bestmove 0000", "readyok"}));

    // "go mate 2" searches until the mate in 2 is proven; the mate is reported in moves.
    u.Send("position fen " + mateInTwo);
    u.Send("go mate 2");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {UciInfoLine(1), UciInfoLine(2, "c6(b6|c7)", "mate 2"),
                                   "~bestmove c6(b6|c7) ponder a8[ab][78]"}));
    // Promotions in lower case, the ponder move's too.
    u.Send("position fen " + blackQueens);
    u.Send("go depth 2");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {UciInfoLine(1, "h8[gh][78]"), UciInfoLine(2, "h8[gh][78] a2a1q"),
                                   "~bestmove h8[gh][78] ponder a2a1q"}));
    // "quit" ends the engine with nothing more to say.
    size_t before = u.Transcript().size();
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
    EXPECT_EQ(u.Transcript().size(), before);
}

TEST(UciTranscript, GoInfiniteThenStop) {
    EnginePipe u;
    u.Send("uci");
    u.WaitFor("uciok");
    u.Send("position fen " + pawnEnding);
    u.Send("go infinite");
    // Only info lines until the stop, however long the analysis runs; isready is answered
    // while it runs.
    u.Send("isready");
    std::vector<std::string> lines = u.LinesThrough("readyok");
    u.Send("stop");
    std::vector<std::string> more = u.LinesThrough("bestmove");
    lines.insert(lines.end(), more.begin(), more.end());
    int lastDepth = 0;
    for (size_t i = 0; i + 1 < lines.size(); i++) {
        const std::string& l = lines[i];
        if (l == "readyok" || IsUciProgressLine(l) || LineMatches(l, UciCurrentMoveLine) ||
            IsUciBoundLine(l))
            continue;
        ASSERT_TRUE(LineMatches(l, UciInfoLine(InfoDepth(l)))) << l;
        EXPECT_GE(InfoDepth(l), lastDepth) << l;
        lastDepth = InfoDepth(l);
    }
    EXPECT_TRUE(LineMatches(lines.back(), "~bestmove [a-h][1-8][a-h][1-8]( ponder [a-h][1-8][a-h][1-8])?"))
        << lines.back();
    EXPECT_TRUE(LegalAfter(pawnEnding, {}, BestMoveOf(lines.back()))) << lines.back();
    // A second stop has nothing to report.
    u.Send("stop");
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"), {"readyok"}));
}

TEST(UciProtocol, IsReadyIsAnsweredWhileTheEngineThinks) {
    EnginePipe u;
    u.Send("uci");
    u.WaitFor("uciok");
    u.Send("position fen " + pawnEnding);
    // Ten minutes on the clock: a search of many seconds, far longer than an answer takes.
    u.Send("go wtime 600000 btime 600000");
    u.Send("isready");
    std::vector<std::string> lines = u.LinesThrough("readyok");
    EXPECT_EQ(BestMoveLines(lines), 0);
    u.Send("stop");
    std::string best = BestMoveOf(u.WaitFor("bestmove"));
    EXPECT_TRUE(LegalAfter(pawnEnding, {}, best)) << best;
}

TEST(UciProtocol, ALineSplitByTheInputKeepsItsArguments) {
    // The interface's line reaches the engine in two pieces: "go" must still read "ponder"
    // and wait for the ponder hit, and "position" must still read its last move.
    EnginePipe u;
    u.Send("uci");
    u.WaitFor("uciok");
    u.SendRaw("position startpos moves e2e4");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    u.Send(" e7e5");
    u.SendRaw("go ");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    u.Send("ponder depth 2");
    u.Send("isready");
    std::vector<std::string> lines = u.LinesThrough("readyok");
    EXPECT_EQ(BestMoveLines(lines), 0);
    u.Send("ponderhit");
    std::string best = BestMoveOf(u.WaitFor("bestmove"));
    EXPECT_TRUE(LegalAfter("", {"e2e4", "e7e5"}, best)) << best;
}

TEST(UciProtocol, GoLimitsHoldForOneSearchOnly) {
    UciEngine u;
    u.Send("position fen " + pawnEnding);
    // A node limit, a time limit of 0 seconds and a clock run down below zero (as some
    // interfaces report it): each search ends at its first check, after 2048 nodes.
    for (const char* go : {"go nodes 1", "go movetime 0", "go wtime -5000 btime -5000"}) {
        u.Send(go);
        std::vector<std::string> lines = u.LinesThrough("bestmove");
        int64_t nodes = 0;
        for (const std::string& l : lines) {
            std::vector<std::string> w = Words(l);
            if (w.size() > 4 && w[0] == "info" && w[3] == "nodes")
                nodes = std::stoll(w[4]);
        }
        EXPECT_LT(nodes, 2 * 2048) << go;
    }
    u.Go("go depth 1");
    // Neither the node limit, the time nor the depth is left for the next search.
    u.Send("go depth 5");
    std::vector<std::string> lines = u.LinesThrough("bestmove");
    EXPECT_TRUE(TranscriptMatches(lines, {UciInfoLine(1), UciInfoLine(2), UciInfoLine(3),
                                          UciInfoLine(4), UciInfoLine(5),
                                          "~bestmove [a-h][1-8][a-h][1-8]( ponder [a-h][1-8][a-h][1-8])?"}));
    u.Send("go nodes 200000");
    lines = u.LinesThrough("bestmove");
    int deepest = 0;
    for (const std::string& l : lines)
        deepest = std::max(deepest, InfoDepth(l));
    EXPECT_GT(deepest, 5);
}

TEST(UciProtocol, CommandsDuringASearchReportItFirst) {
    UciEngine u;
    u.Send("position fen " + pawnEnding);
    // "go" during an analysis: the analysis's bestmove, then the new search's.
    u.Send("go infinite");
    u.Send("go depth 2");
    std::vector<std::string> lines = u.LinesThrough("bestmove");
    EXPECT_TRUE(LegalAfter(pawnEnding, {}, BestMoveOf(lines.back()))) << lines.back();
    lines = u.LinesThrough("bestmove");
    EXPECT_TRUE(TranscriptMatches(lines, {UciInfoLine(1), UciInfoLine(2),
                                          "~bestmove [a-h][1-8][a-h][1-8]( ponder [a-h][1-8][a-h][1-8])?"}));
    // "setoption" during a ponder search: one bestmove, then the option.
    u.Send("go ponder wtime 60000 btime 60000");
    u.Send("setoption name Hash value 2");
    u.Send("isready");
    lines = u.LinesThrough("readyok");
    EXPECT_EQ(BestMoveLines(lines), 1);
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
    EXPECT_NE(u.Log().find("Setting hash table to 2 MB\n"), std::string::npos);
}

TEST(UciProtocol, LateUciStillEntersUciMode) {
    // "uci" comes after the start-up wait: the first token still switches to UCI.
    // From a pipe the engine waits for the first word, however late: no console banner.
    ScratchDir dir;  // no books in the way
    std::string out = RunCommand("cd '" + dir.path +
                                 "' && (sleep 1; printf 'uci\\nisready\\nquit\\n') | '" +
                                 EngineBinary() + "'");
    EXPECT_EQ(out, identification +
                       "info string --- No big book: cannot open kitebigb.bin ---\n"
                       "info string --- ERROR: Cannot open book file ---\n"
                       "readyok\n");
}

TEST(UciProtocol, UciAfterTheXboardFlagAnswersInUci) {
    // Started with -xboard, the engine still speaks UCI when "uci" comes first.
    EnginePipe u("-xboard");
    u.Send("uci");
    u.WaitFor("uciok");
    u.Send("position fen " + boxedKing + " w - - 0 1");
    u.Send("go depth 2");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {UnsearchedMoveLine("h3h4"),
                                   "~bestmove h3h4( ponder [a-h][1-8][a-h][1-8])?"}));
}

TEST(UciProtocol, SetOptionHashAndClearHash) {
    UciEngine u;
    u.Send("setoption name Hash value 8");
    u.Send("setoption name Clear Hash");
    u.Send("setoption name clear hash");
    u.Send("setoption name Hash value lots");      // no number: said so, nothing changes
    u.Send("setoption nonsense Hash value 4");     // no name: ignored
    u.Send("isready");
    EXPECT_EQ(u.ReadLine(), "info string Invalid value for Hash: lots");
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
    // A refused FEN sets no position and plays none of its moves: no move is made from a
    // position the interface never sent.
    u.Send("position fen 8/8/8/8/8/8/8/8 w - - 0 1 moves e7e5");
    u.Send("go depth 2");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {"info string Illegal position: White has no king",
                                   "bestmove 0000"}));
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

// Nodes of the last "info depth" line of a search to depth 7 of the position set last.
static long long NodesToDepthSeven(UciEngine& u) {
    u.Send("go depth 7");
    long long nodes = -1;
    for (const std::string& l : u.LinesBefore("bestmove")) {
        std::vector<std::string> w = Words(l);
        for (size_t i = 0; i + 1 < w.size(); i++)
            if (w[0] == "info" && w[1] == "depth" && w[i] == "nodes")
                nodes = std::stoll(w[i + 1]);
    }
    return nodes;
}

// An interface playing a game from a set-up position sends the same FEN before every
// move: the game goes on and the tables stay. Another FEN, or the same one after
// "ucinewgame", starts afresh with empty tables.
TEST(UciProtocol, TheSameFenKeepsTheTablesAnotherClearsThem) {
    const std::string game = "position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3";
    UciEngine u;
    u.Send(game);
    const long long fresh = NodesToDepthSeven(u);
    u.Send(game);
    const long long again = NodesToDepthSeven(u);
    EXPECT_LT(again, fresh);  // the table answers much of the second search
    u.Send("position fen 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
    NodesToDepthSeven(u);
    u.Send(game);
    EXPECT_EQ(NodesToDepthSeven(u), fresh);  // cleared: the search of the first time
    u.Send(game);
    EXPECT_EQ(NodesToDepthSeven(u), again);
    u.Send("ucinewgame");  // a new game from the same position starts afresh too
    u.Send(game);
    EXPECT_EQ(NodesToDepthSeven(u), fresh);
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
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

// Checks that the log's search summary after each of the engine's moves starts its
// principal variation with that move: the summaries describe the engine's own search.
static void ExpectSummariesMatchTheMoves(const std::string& log) {
    int checked = 0;
    for (const std::vector<std::string>& m :
         AllMatches(log, "\n[0-9]+\\.(\\.\\.)? (\\S+)\n(   [^\n]*\n)*?   PV: (\\S+)")) {
        EXPECT_EQ(m[2], m[4]) << m[0];
        checked++;
    }
    EXPECT_GT(checked, 0) << log;
}

TEST(UciProtocol, ScriptedGameOfPositionGoPairs) {
    // 150 moves sent as an interface sends them: the whole game after "position startpos
    // moves" and a "go" for each ply, with depth, node and clock limits in turn. The engine
    // plays both sides; should a game end early, a new one follows, so that there are
    // always 300 searches. The clock is a short one, so that each search on it ends
    // within a fifth of a second.
    static constexpr int Plies = 300;
    static const char* const goLines[] = {"go depth 2", "go nodes 3000",
                                          "go wtime 1200 btime 1200 winc 0 binc 0"};
    UciEngine u;
    auto game = NewTestEngine();
    std::vector<std::string> moves;
    int longest = 0;
    for (int ply = 0; ply < Plies; ply++) {
        std::string line = "position startpos";
        if (!moves.empty()) {
            line += " moves";
            for (const std::string& m : moves)
                line += " " + m;
        }
        u.Send(line);
        u.Send(goLines[ply % 3]);
        std::vector<std::string> lines = u.LinesThrough("bestmove");
        // Iterations in order, then exactly one bestmove (a stray one would show up as the
        // answer to the next "go" or before the last "readyok").
        int lastDepth = 0;
        for (size_t i = 0; i + 1 < lines.size(); i++) {
            if (IsUciProgressLine(lines[i]) || LineMatches(lines[i], UciCurrentMoveLine))
                continue;
            int depth = InfoDepth(lines[i]);
            if (IsUciBoundLine(lines[i])) {
                // A failed window of the iteration after the last one reported.
                EXPECT_TRUE(LineMatches(lines[i], UciBoundLine(lastDepth + 1, "(lower|upper)bound")))
                    << "ply " << ply << ": " << lines[i];
                continue;
            }
            if (depth == 0 && LineMatches(lines[i], "~info depth 0 (seldepth 0 )?score (cp|mate) 0.*")) {
                lastDepth = 0;  // a move from the book, the only one, or none at all
                continue;
            }
            ASSERT_TRUE(depth > lastDepth &&
                        LineMatches(lines[i], UciInfoLine(depth, "", "(cp|mate) -?[0-9]+")))
                << "ply " << ply << ": " << lines[i];
            lastDepth = depth;
        }
        std::string best = BestMoveOf(lines.back());
        if (game->pos.currentPly->moveCount == 0) {
            EXPECT_EQ(lines.back(), "bestmove 0000");
            u.Send("ucinewgame");
            game = NewTestEngine();
            moves.clear();
            continue;
        }
        ASSERT_TRUE(PlayUciMove(*game, best)) << "ply " << ply << ": " << lines.back();
        moves.push_back(best);
        longest = std::max(longest, int(moves.size()));
    }
    EXPECT_GE(longest, 40);
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"), {"readyok"}));
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
    ExpectSummariesMatchTheMoves(u.Log());
}

// Limits with no move overhead, so the rules show plainly; the overhead has its own test.
static UciLimits Limits(const UciGoParams& go, int whiteToMove) {
    return UciGoLimits(go, whiteToMove, 0);
}

TEST(UciGoLimits, ClockAndFixedLimits) {
    UciGoParams go;
    go.wtime = go.btime = 60000;  // one minute each, no increment: (60 s + 15 s) / 30
    UciLimits l = Limits(go, 1);
    EXPECT_EQ(l.maxTime, 2500);
    EXPECT_EQ(l.clockRemaining, 60000);
    EXPECT_EQ(l.panicCeiling, 54000);
    EXPECT_EQ(l.searchDepth, 30);
    EXPECT_EQ(l.maxNodes, 0);
    EXPECT_EQ(l.state, Thinking);

    go = UciGoParams{};
    go.movetime = 250;  // milliseconds, and a hard limit
    l = Limits(go, 1);
    EXPECT_EQ(l.maxTime, 250);
    EXPECT_EQ(l.panicCeiling, 250);
    EXPECT_EQ(l.clockRemaining, 0);

    go = UciGoParams{};
    go.depth = 6;
    l = Limits(go, 0);
    EXPECT_EQ(l.searchDepth, 6);
    EXPECT_EQ(l.maxTime, 3600000);
    EXPECT_EQ(l.panicCeiling, -1);

    // A bare "go": the default ten seconds at the default depth.
    l = Limits(UciGoParams{}, 1);
    EXPECT_EQ(l.searchDepth, 30);
    EXPECT_EQ(l.maxTime, 10000);
    EXPECT_EQ(l.maxNodes, 0);
}

TEST(UciGoLimits, OwnClockIncrementAndMovesToGo) {
    UciGoParams go;
    go.wtime = 5000;
    go.btime = 120000;
    go.winc = 7000;
    go.binc = 2000;
    // Black to move: its two minutes and two seconds.
    UciLimits l = Limits(go, 0);
    EXPECT_EQ(l.maxTime, (120000 + 15000) / 30 + 2000);
    // White to move: a short clock with an increment plays on the increment less a second.
    l = Limits(go, 1);
    EXPECT_EQ(l.maxTime, 4000);  // 6 s, capped below the 5 s left
    go.movestogo = 20;
    l = Limits(go, 0);
    EXPECT_EQ(l.maxTime, (120000 - 3000) / 20 + 2000);
    // Ten seconds and one a move: never less than half the increment. Less time on the
    // clock never means more thinking.
    go = UciGoParams{};
    go.wtime = go.btime = 10000;
    go.winc = go.binc = 1000;
    EXPECT_EQ(Limits(go, 1).maxTime, 500);
    go.wtime = go.btime = 5000;
    go.winc = go.binc = 2000;
    EXPECT_EQ(Limits(go, 1).maxTime, 1000);
}

TEST(UciGoLimits, MoveOverheadIsKeptBack) {
    UciGoParams go;
    go.wtime = go.btime = 60000;
    UciLimits l = UciGoLimits(go, 1, 30);
    EXPECT_EQ(l.maxTime, 2500 - 30);
    EXPECT_EQ(l.panicCeiling, 54000 - 30);
    go = UciGoParams{};
    // A fixed move time keeps back the overhead, at most a tenth of it, at least 5 ms.
    go.movetime = 1000;
    EXPECT_EQ(UciGoLimits(go, 1, 30).maxTime, 970);
    EXPECT_EQ(UciGoLimits(go, 1, 0).maxTime, 1000);
    go.movetime = 250;
    EXPECT_EQ(UciGoLimits(go, 1, 30).maxTime, 225);
    go.movetime = 100;
    EXPECT_EQ(UciGoLimits(go, 1, 30).maxTime, 90);
    EXPECT_EQ(UciGoLimits(go, 1, 5).maxTime, 95);
    go.movetime = 10;
    EXPECT_EQ(UciGoLimits(go, 1, 30).maxTime, 5);
    go.movetime = 3;
    EXPECT_EQ(UciGoLimits(go, 1, 30).maxTime, 0);  // the move comes at the first check
    // A bare "go" has no clock to keep a margin from.
    EXPECT_EQ(UciGoLimits(UciGoParams{}, 1, 30).maxTime, 10000);
}

TEST(UciGoLimits, NodesMateInfinitePonder) {
    UciGoParams go;
    go.nodes = 50000;
    UciLimits l = Limits(go, 1);
    EXPECT_EQ(l.maxNodes, 50000);
    EXPECT_EQ(l.maxTime, 3600000);  // the node limit decides, not the clock rule's 0 seconds

    // A mate sought: the search goes on to the deepest depth until the mate is proven, or
    // until another limit given with it ends the search.
    go = UciGoParams{};
    go.mate = 3;
    l = Limits(go, 1);
    EXPECT_EQ(l.mateMoves, 3);
    EXPECT_EQ(l.searchDepth, 60);
    EXPECT_EQ(l.maxTime, 3600000);
    go.depth = 4;
    l = Limits(go, 1);
    EXPECT_EQ(l.mateMoves, 3);
    EXPECT_EQ(l.searchDepth, 4);
    go.depth = -1;
    go.movetime = 500;
    l = Limits(go, 1);
    EXPECT_EQ(l.mateMoves, 3);
    EXPECT_EQ(l.maxTime, 500);
    EXPECT_EQ(Limits(UciGoParams{}, 1).mateMoves, 0);

    go = UciGoParams{};
    go.infinite = true;
    go.depth = 12;
    l = Limits(go, 1);
    EXPECT_EQ(l.state, Analyzing);
    EXPECT_EQ(l.searchDepth, 12);

    // Ponder goes with every other limit.
    go = UciGoParams{};
    go.ponder = true;
    go.wtime = go.btime = 60000;
    l = Limits(go, 1);
    EXPECT_EQ(l.state, Pondering);
    EXPECT_EQ(l.maxTime, 2500);
    go.depth = 4;
    go.wtime = go.btime = -1;
    l = Limits(go, 1);
    EXPECT_EQ(l.state, Pondering);
    EXPECT_EQ(l.searchDepth, 4);
}

// Checks the figures of an iteration's line: the deepest ply reached is at least the depth,
// the table's use is a permille, and the speed is there whenever time has passed and is
// worked out from the milliseconds.
static void ExpectConsistentFigures(const std::string& line) {
    std::vector<std::string> w = Words(line);
    int64_t depth = -1, seldepth = -1, nodes = -1, nps = -1, time = -1, hashfull = -1;
    for (size_t i = 0; i + 1 < w.size() && w[i] != "pv"; i++) {
        int64_t* field = w[i] == "depth" ? &depth : w[i] == "seldepth" ? &seldepth
                       : w[i] == "nodes" ? &nodes : w[i] == "nps" ? &nps
                       : w[i] == "time" ? &time : w[i] == "hashfull" ? &hashfull : nullptr;
        if (field)
            *field = std::stoll(w[i + 1]);
    }
    ASSERT_GE(depth, 1) << line;
    EXPECT_GE(seldepth, depth) << line;
    EXPECT_TRUE(hashfull >= 0 && hashfull <= 1000) << line;
    ASSERT_GE(time, 0) << line;
    if (time > 0)
        EXPECT_EQ(nps, nodes * 1000 / time) << line;
    else
        EXPECT_EQ(nps, -1) << line;
}

TEST(UciTranscript, MateScoresInMoves) {
    UciEngine u;
    // White mates at once: the line comes before the move, in moves to mate.
    u.Send("position fen k7/8/1K6/8/8/8/8/7R w - - 0 1");
    u.Send("go depth 5");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {UciInfoLine(1, "h1h8", "mate 1"), "bestmove h1h8"}));
    // Black is mated in two whatever it does: a negative count. Depth 3 fails low first
    // (a bound), then finds the mate.
    u.Send("position fen 1k6/8/1K6/8/8/8/8/7R b - - 0 1");
    u.Send("go depth 4");
    EXPECT_TRUE(TranscriptMatches(
        u.LinesThrough("bestmove"),
        {UciInfoLine(1, "b8c8"), UciInfoLine(2, "b8c8"),
         "~info depth 3 seldepth [0-9]+ score mate -2 upperbound nodes [0-9]+( nps [0-9]+)? "
         "time [0-9]+ hashfull [0-9]+ pv b8c8 h1h7",
         UciInfoLine(3, "b8c8 h1d1 c8b8 d1d8", "mate -2"),
         UciInfoLine(4, "b8c8 h1d1 c8b8 d1d8", "mate -2"), "bestmove b8c8 ponder h1d1"}));
    // Mated and stalemated: the score, then the null move.
    u.Send("position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    u.Send("go depth 3");
    u.Send("position fen " + stalemate);
    u.Send("go movetime 1000");
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"),
                                  {"info depth 0 score mate 0", "bestmove 0000",
                                   "info depth 0 score cp 0", "bestmove 0000", "readyok"}));
}

TEST(UciTranscript, EveryMoveComesWithAScoreAndALine) {
    UciEngine u;
    // A forced move and a stop before the first iteration ends still report a line.
    u.Send("position fen " + boxedKing + " w - - 0 1");
    u.Send("go infinite");
    u.Send("stop");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {UnsearchedMoveLine("h3h4"),
                                   "~bestmove h3h4( ponder [a-h][1-8][a-h][1-8])?"}));
    u.Send("position fen " + pawnEnding);
    u.Send("go nodes 1");
    std::vector<std::string> lines = u.LinesThrough("bestmove");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(LineMatches(lines[lines.size() - 2], "~info depth [0-9]+ seldepth .* pv .*"))
        << lines[lines.size() - 2];
    // The figures of a longer search agree with each other.
    u.Send("position startpos moves e2e4 c7c5 g1f3");
    u.Send("setoption name OwnBook value false");
    u.Send("go depth 7");
    for (const std::string& l : u.LinesBefore("bestmove"))
        if (InfoDepth(l) > 0)
            ExpectConsistentFigures(l);
}

TEST(UciTranscript, RefusedPositionsAreNeverPlayed) {
    UciEngine u;
    const std::pair<std::string, std::string> refused[] = {
        {"garbage", "invalid piece 'g' on rank 8"},
        {"rnbqkbnr/ppppxppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "invalid piece 'x' on rank 7"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNRR w KQkq - 0 1",
         "rank 1 has more than eight squares"},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e9 0 1",
         "invalid en-passant square 'e9'"},
        {"rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ - 0 1", "Black has no king"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1", "invalid side to move 'x'"},
    };
    for (const auto& [fen, defect] : refused) {
        // One line naming the defect; the moves after it are not tried; "go" answers at once.
        u.Send("position fen " + fen + " moves e2e4 e7e5");
        u.Send("go depth 3");
        EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                      {"info string Illegal position: " + defect, "bestmove 0000"}))
            << fen;
    }
    // "go infinite" and "go ponder" are answered when the interface ends them, as UCI asks.
    u.Send("position fen garbage");
    u.Send("go ponder wtime 1000 btime 1000");
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"),
                                  {"info string Illegal position: invalid piece 'g' on rank 8",
                                   "readyok"}));
    u.Send("ponderhit");
    EXPECT_EQ(u.ReadLine(), "bestmove 0000");
    u.Send("position fen 7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    u.Send("go infinite");
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"),
                                  {"info depth 0 score mate 0", "readyok"}));
    u.Send("stop");
    EXPECT_EQ(u.ReadLine(), "bestmove 0000");
    // An accepted position plays again; an illegal move ends the list with one line.
    u.Send("position startpos moves e2e4 e7e5 zz e2e3 g1f3");
    u.Send("go depth 1");
    std::vector<std::string> lines = u.LinesThrough("bestmove");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "info string Illegal move: zz");
    EXPECT_TRUE(LegalAfter("", {"e2e4", "e7e5"}, BestMoveOf(lines.back()))) << lines.back();
}

TEST(UciProtocol, OptionsAndUnknownWords) {
    UciEngine u;
    u.Send("setoption name Ponder value true");
    u.Send("setoption name ponder value False");
    u.Send("setoption name OwnBook value maybe");
    u.Send("setoption name Style value Risky");
    u.Send("setoption name Nalimov Path value /tb");
    // As UCI asks, an unknown word is passed over and the rest of its line read on.
    u.Send("joho debug on");
    u.Send("what is this");
    u.Send("hello isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"),
                                  {"info string Invalid value for OwnBook: maybe",
                                   "info string No such option: Style",
                                   "info string No such option: Nalimov Path",
                                   "info string Unknown command: joho",
                                   "info string Unknown command: what is this",
                                   "info string Unknown command: hello", "readyok"}));
    // "uci" again repeats the identification.
    u.Send("uci");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("uciok"), IdentificationLines()));
}

TEST(UciProtocol, OwnBookFalseMeansNoBookMove) {
    // A small book whose only position is the start, with the move a2a3.
    ScratchDir dir;
    WriteWholeFile(dir.File("kitebook.txt"),
                   "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\na2a3\n#\n");
    std::string out = RunEngineIn(dir,
                                  "uci\nposition startpos\ngo depth 2\n"
                                  "setoption name OwnBook value false\nposition startpos\ngo depth 1\n"
                                  "setoption name OwnBook value TRUE\nposition startpos\ngo depth 2\n"
                                  "stop\nisready\nquit\n");
    // The input is read to its end before the searches finish: each command reports the
    // search before it first, so every "go" is answered.
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);)
        if (l.rfind("info string", 0) != 0 && l.rfind("id ", 0) != 0 && l.rfind("option ", 0) != 0)
            lines.push_back(l);
    EXPECT_TRUE(TranscriptMatches(lines, {"uciok", UnsearchedMoveLine("a2a3"), "bestmove a2a3",
                                          UciInfoLine(1), "~bestmove [a-h][1-8][a-h][1-8].*",
                                          UnsearchedMoveLine("a2a3"),
                                          "~bestmove a2a3( ponder [a-h][1-8][a-h][1-8])?",
                                          "readyok"}));
}

TEST(UciProtocol, StartUpReportsAreInfoStringsAfterTheIdentification) {
    // A book text with a defect, and no big book: everything start-up says follows "uciok".
    ScratchDir dir;
    WriteWholeFile(dir.File("kitebook.txt"),
                   "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\ne2e4 e2e5\n#\n");
    EXPECT_EQ(RunEngineIn(dir, "uci\nisready\nquit\n"),
              identification +
                  "info string --- No big book: cannot open kitebigb.bin ---\n"
                  "info string Reading opening book (kitebook.txt) ...\n"
                  "info string **** Illegal move in book, line: 2\n"
                  "info string 1 positions read in.\n"
                  "info string 2 moves read in.\n"
                  "readyok\n");
}

TEST(UciProtocol, StartUpNoticesWaitForTheInterfacesNextCommand) {
    // A client that reads a chunk at a time and waits for "uciok" as the last line read:
    // nothing follows "uciok" until the interface speaks again.
    UciEngine u;
    EXPECT_EQ(u.Unread(), "");
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
    // The notices answer the first "isready", before "readyok", after what the commands
    // before it had to say ...
    ScratchDir dir;
    const std::string notices = "info string --- No big book: cannot open kitebigb.bin ---\n"
                                "info string --- ERROR: Cannot open book file ---\n";
    EXPECT_EQ(RunEngineIn(dir, "uci\nsetoption name Colour value blue\nisready\nisready\nquit\n"),
              identification + "info string No such option: Colour\n" + notices +
                  "readyok\nreadyok\n");
    // ... or the first "go", before its search says anything.
    std::string out = RunEngineIn(dir, "uci\nposition fen k7/8/8/8/8/1p5P/1P3q2/7K w - - 0 1\n"
                                       "go depth 1\nsetoption name Colour value blue\n"
                                       "isready\nquit\n");
    EXPECT_EQ(out.substr(0, identification.size() + notices.size()), identification + notices)
        << out;
}

// The move each iteration's line begins with, for the lines of a transcript.
static std::vector<std::string> FirstPvMoves(const std::vector<std::string>& lines) {
    std::vector<std::string> moves;
    for (const std::string& l : lines) {
        std::vector<std::string> w = Words(l);
        for (size_t i = 0; i + 1 < w.size() && InfoDepth(l) > 0; i++)
            if (w[i] == "pv") {
                moves.push_back(w[i + 1]);
                break;
            }
    }
    return moves;
}

TEST(UciAnalysis, SearchmovesRestrictsTheRootMoves) {
    UciEngine u;
    u.Send("setoption name OwnBook value false");
    u.Send("position startpos");
    // Two moves: every line and the answer are one of them.
    u.Send("go depth 5 searchmoves a2a3 h2h3");
    std::vector<std::string> lines = u.LinesThrough("bestmove");
    for (const std::string& move : FirstPvMoves(lines))
        EXPECT_TRUE(move == "a2a3" || move == "h2h3") << move;
    std::string best = BestMoveOf(lines.back());
    EXPECT_TRUE(best == "a2a3" || best == "h2h3") << best;
    // An illegal or unknown move is named once and left out; a word of "go" after the
    // moves still counts; a single move left is searched, not played unsearched.
    u.Send("go searchmoves e2e5 castle a2a3 depth 3");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("bestmove"),
                                  {"info string Illegal move in searchmoves: e2e5",
                                   "info string Illegal move in searchmoves: castle",
                                   UciInfoLine(1, "a2a3"), UciInfoLine(2, "a2a3"),
                                   UciInfoLine(3, "a2a3"), "~bestmove a2a3 ponder .*"}));
    // Nothing left: every move is searched.
    u.Send("go depth 2 searchmoves e2e5");
    lines = u.LinesThrough("bestmove");
    EXPECT_EQ(lines[0], "info string Illegal move in searchmoves: e2e5");
    EXPECT_EQ(InfoDepth(lines[1]), 1);
    // The next "go" without searchmoves searches every move again.
    u.Send("position fen 2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - - 0 1");
    EXPECT_EQ(BestMoveOf(u.Go("go depth 6 searchmoves f4f5 e3g4")).substr(0, 2), "e3");
    EXPECT_EQ(BestMoveOf(u.Go("go depth 6")), "h5a5");
    // Several lines, and a helper thread, keep to the moves as well.
    u.Send("setoption name MultiPV value 3");
    u.Send("go depth 3 searchmoves f4f5 e3g4");
    lines = u.LinesThrough("bestmove");
    int lastDepthLines = 0;
    for (const std::string& l : lines)
        lastDepthLines += InfoDepth(l) == 3;
    EXPECT_EQ(lastDepthLines, 2);
    for (const std::string& move : FirstPvMoves(lines))
        EXPECT_TRUE(move == "f4f5" || move == "e3g4") << move;
    u.Send("setoption name MultiPV value 1");
    u.Send("setoption name Threads value 2");
    best = BestMoveOf(u.Go("go depth 7 searchmoves f4f5 e3g4"));
    EXPECT_TRUE(best == "f4f5" || best == "e3g4") << best;
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
}

TEST(UciAnalysis, GoMateSearchesUntilTheMateIsProven) {
    UciEngine u;
    u.Send("setoption name OwnBook value false");
    struct MateSought {
        const char* fen;
        int depth;            // where the mate is proven and the search ends
        const char* move;
        const char* bestmove;
    };
    const MateSought mates[] = {
        // Mate in 2 with Qa5: proven at depth 6.
        {"2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - - 0 1", 6, "h5a5",
         "~bestmove h5a5 ponder .*"},
        // Mate in 2 with Qxb4, found at depth 2, among checks everywhere.
        {"5BQ1/2N4p/6bP/5Pk1/Qp6/1K2NBb1/2pR2R1/2B5 w - - 0 1", 2, "a4b4",
         "~bestmove a4b4 ponder g5f6"},
    };
    std::vector<std::string> lines;
    for (const MateSought& m : mates) {
        u.Send(std::string("position fen ") + m.fen);
        u.Send("go mate 2");
        lines = u.LinesThrough("bestmove");
        ASSERT_GE(lines.size(), 2u);
        EXPECT_TRUE(LineMatches(lines[lines.size() - 2], UciInfoLine(m.depth, m.move, "mate 2")))
            << lines[lines.size() - 2];
        EXPECT_TRUE(LineMatches(lines.back(), m.bestmove)) << lines.back();
    }
    // Another limit given with it ends the search first: a depth ...
    u.Send("position fen 2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - - 0 1");
    u.Send("go mate 2 depth 3");
    lines = u.LinesThrough("bestmove");
    EXPECT_TRUE(LineMatches(lines[lines.size() - 2], UciInfoLine(3))) << lines[lines.size() - 2];
    // ... or a node count, long before the mate is seen.
    u.Send("go nodes 2000 mate 2");
    lines = u.LinesThrough("bestmove");
    for (const std::string& l : lines)
        EXPECT_EQ(l.find("mate"), std::string::npos) << l;
    // A mate longer than the one sought does not end the search: it goes on to its depth.
    u.Send("go mate 1 depth 7");
    lines = u.LinesThrough("bestmove");
    EXPECT_TRUE(LineMatches(lines[lines.size() - 2], UciInfoLine(7, "h5a5", "mate 2")))
        << lines[lines.size() - 2];
    // "stop" ends a search for a mate it does not find.
    u.Send("position fen " + pawnEnding);
    u.Send("go mate 5");
    u.Send("stop");
    EXPECT_EQ(u.WaitFor("bestmove").substr(0, 9), "bestmove ");
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
}

// The "multipv" rank of an info line, 0 when it has none.
static int MultiPvOf(const std::string& line) {
    std::vector<std::string> w = Words(line);
    for (size_t i = 0; i + 1 < w.size(); i++)
        if (w[i] == "multipv")
            return std::stoi(w[i + 1]);
    return 0;
}

// The centipawn score of an info line.
static int ScoreOf(const std::string& line) {
    std::vector<std::string> w = Words(line);
    for (size_t i = 0; i + 2 < w.size(); i++)
        if (w[i] == "score")
            return w[i + 1] == "cp" ? std::stoi(w[i + 2]) : 100000 * (std::stoi(w[i + 2]) > 0 ? 1 : -1);
    return 0;
}

// The first move of an info line's PV.
static std::string FirstPvMove(const std::string& line) {
    size_t pv = line.find(" pv ");
    return pv == std::string::npos ? "" : Words(line.substr(pv + 4)).at(0);
}

TEST(UciProtocol, SearchOptionChoosesTheTreeSearch) {
    // Modern reaches in a few thousand nodes a depth that Classic needs far more for.
    const std::string middlegame = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 9";
    auto nodesOfDepth = [&](UciEngine& u) {
        u.Send("position fen " + middlegame);
        u.Send("go depth 7");
        std::vector<std::string> lines = u.LinesBefore("bestmove");
        EXPECT_TRUE(LegalAfter(middlegame, {}, BestMoveOf(u.Transcript().back())));
        for (auto l = lines.rbegin(); l != lines.rend(); ++l) {
            std::vector<std::string> w = Words(*l);
            for (size_t i = 0; i + 1 < w.size(); i++)
                if (w[i] == "nodes" && w[1] == "depth" && w[2] == "7")
                    return std::stoll(w[i + 1]);
        }
        return -1LL;
    };
    UciEngine classic;
    const long long classicNodes = nodesOfDepth(classic);
    classic.Send("quit");
    EXPECT_EQ(classic.Finish(), 0);

    UciEngine u;
    u.Send("setoption name Search value Rocket");
    u.Send("setoption name Search");
    u.Send("setoption name search value MODERN");
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"),
                                  {"info string Invalid value for Search: Rocket",
                                   "info string Invalid value for Search: ", "readyok"}));
    const long long modernNodes = nodesOfDepth(u);
    EXPECT_GT(modernNodes, 0);
    EXPECT_LT(modernNodes * 4, classicNodes);
    u.Send("setoption name Search value Classic");
    u.Send("ucinewgame");
    EXPECT_EQ(nodesOfDepth(u), classicNodes);
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
}

TEST(UciThreads, OptionsTakeTheirValuesAndRefuseBadOnes) {
    UciEngine u;
    u.Send("setoption name Threads value 0");
    u.Send("setoption name threads value many");
    u.Send("setoption name MultiPV value -3");
    u.Send("setoption name Threads value 2");
    u.Send("setoption name Threads value 1000");  // taken as the most the machine has
    u.Send("setoption name MultiPV value 1000");  // taken as 64
    u.Send("setoption name MultiPV value 1");
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"),
                                  {"info string Invalid value for Threads: 0",
                                   "info string Invalid value for threads: many",
                                   "info string Invalid value for MultiPV: -3", "readyok"}));
    // One line: no info line names a rank.
    u.Send("position fen " + pawnEnding);
    u.Send("go depth 4");
    for (const std::string& l : u.LinesBefore("bestmove"))
        EXPECT_EQ(MultiPvOf(l), 0) << l;
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
}

TEST(UciThreads, StopPonderHitNewGameAndQuitWithFourThreads) {
    UciEngine u;
    u.Send("setoption name Threads value 4");
    u.Send("position startpos moves e2e4 c7c5");
    u.Send("go infinite");
    u.WaitFor("info depth 4 ");
    u.Send("stop");
    std::string best = BestMoveOf(u.WaitFor("bestmove"));
    EXPECT_TRUE(LegalAfter("", {"e2e4", "c7c5"}, best)) << best;

    // Pondering with helpers: the ponder hit turns it into the real search.
    u.Send("position startpos moves e2e4 c7c5 g1f3 d7d6");
    u.Send("go ponder depth 5");
    u.WaitFor("info depth 5 ");
    u.Send("ponderhit");
    best = BestMoveOf(u.WaitFor("bestmove"));
    EXPECT_TRUE(LegalAfter("", {"e2e4", "c7c5", "g1f3", "d7d6"}, best)) << best;

    // The node limit counts every thread's nodes: each may run on to its next poll, and
    // the helpers see the main thread's count as of its last poll.
    u.Send("ucinewgame");
    u.Send("position fen " + pawnEnding);
    u.Send("go nodes 30000");
    for (const std::string& l : u.LinesBefore("bestmove")) {
        std::vector<std::string> w = Words(l);
        for (size_t i = 0; i + 1 < w.size(); i++) {
            if (w[i] == "nodes") {
                EXPECT_LE(std::stoll(w[i + 1]), 30000 + 6 * 2048) << l;
            }
        }
    }
    EXPECT_TRUE(LegalAfter(pawnEnding, {}, BestMoveOf(u.Transcript().back())));

    // "quit" in the middle of a search with helpers ends the program at once.
    u.Send("go infinite");
    u.WaitFor("info depth 3 ");
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
}

TEST(UciThreads, EndOfInputDuringASearchWithHelpers) {
    UciEngine u;
    u.Send("setoption name Threads value 2");
    u.Send("position startpos");
    u.Send("go infinite");
    u.WaitFor("info depth 3 ");
    EXPECT_EQ(u.Finish(), 0);
}

TEST(UciThreads, MultiPvReportsOrderedLinesAndPlaysTheFirst) {
    UciEngine u;
    u.Send("setoption name MultiPV value 3");
    u.Send("setoption name OwnBook value false");
    u.Send("position startpos moves e2e4 e7e5");
    u.Send("go depth 6");
    std::vector<std::string> info = u.LinesBefore("bestmove");
    const std::string best = BestMoveOf(u.Transcript().back());
    // Each depth reports ranks 1, 2 and 3 in turn, scores falling, three different moves.
    std::vector<std::string> lines;
    for (const std::string& l : info)
        if (InfoDepth(l) > 0)
            lines.push_back(l);
    ASSERT_EQ(lines.size(), 18u);
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string& l = lines[i];
        EXPECT_EQ(InfoDepth(l), int(i / 3) + 1) << l;
        EXPECT_EQ(MultiPvOf(l), int(i % 3) + 1) << l;
        EXPECT_TRUE(LegalAfter("", {"e2e4", "e7e5"}, FirstPvMove(l))) << l;
        if (i % 3 > 0) {
            EXPECT_LE(ScoreOf(l), ScoreOf(lines[i - 1])) << l;
            EXPECT_NE(FirstPvMove(l), FirstPvMove(lines[i - 1])) << l;
        }
    }
    EXPECT_NE(FirstPvMove(lines[15]), FirstPvMove(lines[17]));
    EXPECT_EQ(best, FirstPvMove(lines[15]));

    // Fewer legal moves than lines: a line for each of the king's three moves.
    u.Send("setoption name MultiPV value 5");
    u.Send("position fen k7/8/8/8/8/8/8/7K w - - 0 1");
    u.Send("go depth 3");
    int lastDepthLines = 0;
    for (const std::string& l : u.LinesBefore("bestmove"))
        if (InfoDepth(l) == 3)
            lastDepthLines = std::max(lastDepthLines, MultiPvOf(l));
    EXPECT_EQ(lastDepthLines, 3);
}
