// The awkward moments of a session, through the real binary: odd hash sizes, commands that
// arrive while a search runs, a ponder hit as the ponder search ends, "?" with nothing to
// stop, and input that closes mid-search or mid-command. Each must end with status 0 and
// without a hang (the sanitizer builds fail the status on any report).
#include <gtest/gtest.h>

#include "engineprocess.h"
#include "enginerun.h"

// Searches that end by depth on any machine, with the bell off.
static const std::string shortSearches = "beep search y n 3 time y 1000 n\n";
// Searches that run until something ends them.
static const std::string endlessSearches = "beep search y n 60 time y 100000 n\n";

// White's only move is Kb1; Black's only reply is then Kg8.
static const char* const forcedStart = "7k/7p/7P/8/8/p7/P7/K7 w - -";
static const char* const afterKb1 = "7k/7p/7P/8/8/p7/P7/1K6 b - -";
static const char* const afterKg8 = "6k1/7p/7P/8/8/p7/P7/1K6 w - -";

static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

static bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The "mem" line of a transposition table of so many entries.
static std::string TableLine(long long entries) {
    return "Trans. hash table: " + std::to_string(entries) + " x 20 = " +
           std::to_string(entries * 20) + " bytes.\n";
}

// Waits for the next move the engine announces and returns it.
static std::string NextEngineMove(EngineProcess& engine) {
    engine.ReadUntil("My move is: ");
    return engine.ReadUntil("\n");
}

// Starts a search that runs until something ends it: the engine's own move (Thinking), a
// ponder search after its forced move Kb1 (Pondering), or an analysis (Analyzing).
static void StartEndlessSearch(const ScratchDir& dir, EngineProcess& engine, SearchState s) {
    switch (s) {
    case Thinking:
        engine.Send(endlessSearches + "go\n");
        engine.ReadUntil("Thinking...\n");
        break;
    case Pondering:
        WriteWholeFile(dir.File("forced.fen"), std::string(forcedStart) + "\n");
        engine.Send(endlessSearches + "hard load forced.fen go\n");
        engine.ReadUntil("My move is: 1. Kb1\n");
        EXPECT_EQ(engine.ReadUntil(prompt), BoardOf(afterKb1) + prompt);
        break;
    default:
        // "info" (on, then off again) marks the moment the analysis has been asked for.
        engine.Send(endlessSearches + "analyze info info\n");
        engine.ReadUntil("Search information turned off.\n" + prompt);
        break;
    }
}

static const SearchState busyStates[] = {Thinking, Pondering, Analyzing};

TEST(Awkward, HashSizesZeroOneAndLargest) {
    const std::pair<const char*, long long> sizes[] = {{"0", 0}, {"1", 32768}, {"256", 8388608}};
    for (auto [megabytes, entries] : sizes) {
        ScratchDir dir;
        EngineProcess engine(dir, std::string("-hash ") + megabytes);
        engine.Send(shortSearches + "mem go\n");
        EXPECT_TRUE(Has(engine.ReadUntil("Thinking...\n"), TableLine(entries))) << megabytes;
        EXPECT_FALSE(NextEngineMove(engine).empty());
        EXPECT_EQ(engine.Finish(), 0) << megabytes;
    }
}

TEST(Awkward, HashResizedBetweenAndDuringSearches) {
    ScratchDir dir;
    EngineProcess engine(dir, "-hash 1");
    engine.Send(shortSearches + "go\n");
    NextEngineMove(engine);
    // Each size in turn, with a search after it; sizes beyond the largest are clamped and
    // those below one switch the table off.
    const std::pair<const char*, long long> sizes[] = {
        {"256", 8388608}, {"0", 0}, {"99999", 8388608}, {"-4", 0}, {"16", 524288}};
    for (auto [megabytes, entries] : sizes) {
        engine.Send(std::string("hash ") + megabytes + " mem undo go\n");
        EXPECT_TRUE(Has(engine.ReadUntil("Thinking...\n"), TableLine(entries))) << megabytes;
        EXPECT_FALSE(NextEngineMove(engine).empty()) << megabytes;
    }
    // During a search: the search stops, its move is dropped, and the table is resized.
    engine.Send("undo search y n 60 go\n");
    engine.ReadUntil("Thinking...\n");
    engine.Send("hash 1 mem\n");
    std::string out = engine.ReadUntil(TableLine(32768));
    EXPECT_FALSE(Has(out, "My move"));
    EXPECT_EQ(engine.Finish(), 0);
}

TEST(Awkward, NewDuringASearch) {
    for (SearchState s : busyStates) {
        ScratchDir dir;
        EngineProcess engine(dir);
        StartEndlessSearch(dir, engine, s);
        engine.Send("new\n");
        // Nothing of the stopped search is announced; the new game's board follows at once.
        EXPECT_EQ(engine.ReadUntil(startBoard + prompt), startBoard + prompt) << s;
        // The engine plays on from the new game.
        engine.Send("force search y n 3 go\n");
        EXPECT_TRUE(EndsWith(engine.ReadUntil("My move is: "), "Thinking...\nMy move is: "))
            << s;
        EXPECT_EQ(engine.ReadUntil("\n").substr(0, 3), "1. ") << s;
        EXPECT_EQ(engine.Finish(), 0) << s;
    }
}

TEST(Awkward, QuitDuringASearch) {
    for (SearchState s : busyStates) {
        ScratchDir dir;
        EngineProcess engine(dir);
        StartEndlessSearch(dir, engine, s);
        // The input stays open, as under an interface: "quit" alone ends the program.
        engine.Send("quit\n");
        std::string rest;
        EXPECT_EQ(engine.WaitForExit(&rest), 0) << s;
        EXPECT_EQ(rest, "") << s;
    }
}

TEST(Awkward, QuitKeepsTheTreeDump) {
    ScratchDir dir;
    EngineProcess engine(dir);
    engine.Send("tree tree.txt search y n 2 go\n");
    NextEngineMove(engine);
    engine.Send("quit\n");
    EXPECT_EQ(engine.WaitForExit(), 0);
    std::string tree = ReadWholeFile(dir.File("tree.txt"));
    EXPECT_EQ(tree.substr(0, startBoard.size() + 1), "\n" + startBoard);
    EXPECT_TRUE(Has(tree, "Full Width Search Depth = 2")) << tree;
}

TEST(Awkward, InputClosedDuringASearch) {
    for (SearchState s : busyStates) {
        ScratchDir dir;
        EngineProcess engine(dir);
        StartEndlessSearch(dir, engine, s);
        std::string rest;
        EXPECT_EQ(engine.Finish(&rest), 0) << s;
        EXPECT_FALSE(Has(rest, "My move")) << s;
    }
    // Under UCI, an infinite search.
    ScratchDir dir;
    EngineProcess engine(dir);
    engine.Send("uci\nposition startpos\ngo infinite\nisready\n");
    engine.ReadUntil("readyok\n");
    EXPECT_EQ(engine.Finish(), 0);
}

TEST(Awkward, InputClosedInsideACommand) {
    // An xboard edit that never gets its ".", and a dialog that never gets its answers.
    for (const char* input : {"xboard\nedit\n#\nPe4\n", "search y", "hash", "load"}) {
        ScratchDir dir;
        EngineProcess engine(dir);
        engine.Send(input);
        EXPECT_EQ(engine.Finish(), 0) << input;
    }
}

TEST(Awkward, AnalyzeThenExit) {
    ScratchDir dir;
    EngineProcess engine(dir);
    engine.Send("xboard\npost\nanalyze\n");
    engine.ReadUntil(xboardNoBookFiles);
    EXPECT_FALSE(engine.ReadUntil("\n").empty());  // a thinking line: the analysis runs
    // The first "exit" ends the analysis, the second the program; no move is played.
    engine.Send("exit\n.\nexit\n");
    engine.ReadUntil("stat01: ");
    std::string rest;
    EXPECT_EQ(engine.Finish(&rest), 0);
    EXPECT_FALSE(Has(rest, "move "));
}

TEST(Awkward, PonderHitAsThePonderSearchEnds) {
    // Black's reply is forced, so the engine ponders on it and the reply is a hit; the
    // shallow ponder searches end before, as or just after the hit arrives.
    ScratchDir dir;
    WriteWholeFile(dir.File("forced.fen"), std::string(forcedStart) + "\n");
    EngineProcess engine(dir);
    engine.Send("beep hard time y 1000 n\n");
    const int rounds = 6;
    for (int round = 0; round < rounds; round++) {
        int depth = 1 + round % 3;
        engine.Send("search y n " + std::to_string(depth) + " load forced.fen go\n");
        engine.ReadUntil("My move is: 1. Kb1\n");
        EXPECT_EQ(engine.ReadUntil(prompt), BoardOf(afterKb1) + prompt);
        // "?" has no search of our own to stop while pondering.
        engine.Send(round == 0 ? "? Kg8\n" : "Kg8\n");
        std::string out = engine.ReadUntil("My move is: 2. ");
        EXPECT_EQ(out, "Your move was: 1. .. Kg8\n" + BoardOf(afterKg8) + "My move is: 2. ")
            << depth;
        engine.ReadUntil(prompt);
    }
    EXPECT_EQ(engine.Finish(), 0);
    std::string log = ReadWholeFile(dir.File("mosskite.log"));
    int hits = 0;
    for (size_t at = log.find("Ponder hit, gained "); at != std::string::npos;
         at = log.find("Ponder hit, gained ", at + 1))
        hits++;
    EXPECT_EQ(hits, rounds) << log;
}

TEST(Awkward, MoveNowWithNothingToStop) {
    ScratchDir dir;
    EngineProcess engine(dir);
    engine.Send(shortSearches + "go\n");
    NextEngineMove(engine);
    engine.ReadUntil(prompt);
    // The finished search's move is never played again: "?" does nothing, and "undo"
    // shows the starting position.
    engine.Send("? ?\nundo\n");
    EXPECT_EQ(engine.ReadUntil(startBoard + prompt), startBoard + prompt);
    // "?" before the search thread has picked "go" up still plays a legal move.
    engine.Send("go ?\n");
    EXPECT_FALSE(NextEngineMove(engine).empty());
    EXPECT_EQ(engine.Finish(), 0);
}

TEST(Awkward, AnalysisOutputFollowsTheCommandThatStartsIt) {
    // "analyze", and "new", "undo" and "edit" while analysing, print all they print, the
    // prompt last, before the analysis they start prints its first thinking line.
    ScratchDir dir;
    EngineProcess engine(dir);
    engine.Send(endlessSearches + "pv analyze\n");
    engine.ReadUntil("Display PV during search turned on.\n" + prompt);
    EXPECT_EQ(engine.ReadUntil(prompt), prompt);
    EXPECT_EQ(engine.ReadUntil("\n").substr(0, 3), " 0 ");
    const int rounds = 8;
    for (int round = 0; round < rounds; round++) {
        // Lines of the analysis running so far may come before the command's output.
        engine.Send("new\n");
        engine.ReadUntil(startBoard);
        EXPECT_EQ(engine.ReadUntil("\n"), prompt) << round;
        EXPECT_EQ(engine.ReadUntil("\n").substr(0, 3), " 0 ") << round;
        engine.Send("undo\n");  // nothing to take back: the board again
        engine.ReadUntil(startBoard);
        EXPECT_EQ(engine.ReadUntil("\n"), prompt) << round;
        EXPECT_EQ(engine.ReadUntil("\n").substr(0, 3), " 0 ") << round;
        engine.Send("edit # Ke1 c Ke8 .\n");
        engine.ReadUntil(prompt);
        EXPECT_EQ(engine.ReadUntil("\n").substr(0, 3), " 0 ") << round;
        engine.Send("new\n");
        engine.ReadUntil(startBoard + prompt);
    }
    engine.Send("exit\n");
    EXPECT_EQ(engine.Finish(), 0);
}

TEST(Awkward, PonderHitEchoAndBoardStayTogether) {
    // The ponder search goes on printing after the hit: the echo of the move and the board
    // after it are one piece of output all the same.
    ScratchDir dir;
    WriteWholeFile(dir.File("forced.fen"), std::string(forcedStart) + "\n");
    EngineProcess engine(dir);
    engine.Send("beep hard pv search y n 60 time y 1 n\n");
    const int rounds = 4;
    for (int round = 0; round < rounds; round++) {
        engine.Send("load forced.fen go\n");
        engine.ReadUntil("My move is: 1. Kb1\n");
        engine.ReadUntil(BoardOf(afterKb1) + prompt);
        engine.ReadUntil("\n 1 ");  // the ponder search is under way
        engine.Send("Kg8\n");
        engine.ReadUntil("Your move was: 1. .. Kg8\n");
        std::string board = BoardOf(afterKg8);
        EXPECT_EQ(engine.ReadUntil(board), board) << round;
        engine.ReadUntil("My move is: 2. ");
        engine.ReadUntil(prompt);
    }
    EXPECT_EQ(engine.Finish(), 0);
}
