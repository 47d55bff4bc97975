// Pondering through the real binary. After the engine's forced first move Black has two
// replies, Kg8 and b4: the engine ponders on one of them, so of the two games below one
// is a ponder hit and the other a miss, whichever reply the engine predicts.
#include <gtest/gtest.h>

#include "engineprocess.h"
#include "enginerun.h"

// White's only move is Kb1; then Black may play Kg8 or b4.
static const char* const forcedStart = "7k/7p/7P/1p6/8/p7/P7/K7 w - -";
static const char* const afterKb1 = "7k/7p/7P/1p6/8/p7/P7/1K6 b - -";

// Starts a game with pondering on, in which the engine has played Kb1 and ponders.
static void StartPonderGame(const ScratchDir& dir, EngineProcess& engine) {
    WriteWholeFile(dir.File("start.fen"), std::string(forcedStart) + "\n");
    engine.Send("beep hard search y n 4 time y 1000 n load start.fen go\n");
    std::string out = engine.ReadUntil("My move is: 1. Kb1\n");
    EXPECT_NE(out.find("Thinking...\n"), std::string::npos);
    EXPECT_EQ(engine.ReadUntil(prompt), BoardOf(afterKb1) + prompt);
}

// Plays Black's reply in a ponder game; returns true when it was a ponder hit.
static bool PlayReply(const std::string& reply, const std::string& fenAfter) {
    ScratchDir dir;
    EngineProcess engine(dir);
    StartPonderGame(dir, engine);
    engine.Send(reply + "\n");
    std::string out = engine.ReadUntil("My move is: 2. ");
    std::string rest;
    EXPECT_EQ(engine.Finish(&rest), 0);
    std::string log = ReadWholeFile(dir.File("mosskite.log"));
    bool predicted = log.find("   Pondering " + reply + "\n") != std::string::npos;
    bool hit = log.find("   Ponder hit, gained ") != std::string::npos;
    EXPECT_EQ(predicted, hit) << log;
    EXPECT_NE(log.find("1... " + reply + "\n"), std::string::npos) << log;
    // A hit continues the running search; a miss takes the prediction back and thinks.
    std::string echo = "Your move was: 1. .. " + reply + "\n" + BoardOf(fenAfter);
    EXPECT_EQ(out, echo + (hit ? "" : "Thinking...\n") + "My move is: 2. ");
    return hit;
}

TEST(Pondering, HitAndMiss) {
    bool hitOnKing = PlayReply("Kg8", "6k1/7p/7P/1p6/8/p7/P7/1K6 w - -");
    bool hitOnPawn = PlayReply("b4", "7k/7p/7P/8/1p6/p7/P7/1K6 w - -");
    EXPECT_NE(hitOnKing, hitOnPawn);
}

TEST(Pondering, TakeBackWhilePonderingForgetsThePrediction) {
    ScratchDir dir;
    EngineProcess engine(dir);
    StartPonderGame(dir, engine);
    // "undo" leaves the ponder search, takes back the predicted reply and then Kb1; the
    // prediction was never played, so "forward" has only Kb1 and is refused.
    engine.Send("undo forward easy undo\n");
    std::string rest;
    EXPECT_EQ(engine.Finish(&rest), 0);
    std::string start = BoardOf(forcedStart);
    EXPECT_EQ(rest, start + prompt + start + prompt + prompt + start + prompt);
}

TEST(Pondering, GoWhilePonderingPlaysForTheSideToMove) {
    ScratchDir dir;
    EngineProcess engine(dir);
    StartPonderGame(dir, engine);
    engine.Send("go\n");
    std::string out = engine.ReadUntil("My move is: 1. .. ");
    EXPECT_EQ(out, "Thinking...\nMy move is: 1. .. ");
    std::string move = engine.ReadUntil("\n");
    EXPECT_TRUE(move == "Kg8\n" || move == "b4\n") << move;
    EXPECT_EQ(engine.Finish(), 0);
}

TEST(Pondering, BoardsShownWhilePonderingAreTheGame) {
    ScratchDir dir;
    EngineProcess engine(dir);
    StartPonderGame(dir, engine);
    // The Engine holds the predicted reply and belongs to the search: the boards drawn now
    // show the game as played.
    engine.Send("invert invert text text ref\n");
    std::string board = BoardOf(afterKb1);
    EXPECT_EQ(engine.ReadUntil(board + prompt + board + prompt + board + prompt),
              BoardOf(afterKb1, 1) + prompt + board + prompt + board + prompt + board + prompt);
    EXPECT_EQ(engine.Finish(), 0);
}

TEST(Pondering, DepthEnteredWhilePonderingStays) {
    // The search dialog stops the ponder search before it changes the depth: a search still
    // running would put its own depth back when it ends.
    // White's only move is g3, after which the ponder search has work for a long time.
    ScratchDir dir;
    WriteWholeFile(dir.File("check.fen"),
                   "rnb1kbnr/pppp1ppp/8/4p3/7q/5P2/PPPPP1PP/RNBQKBNR w KQkq -\n");
    EngineProcess engine(dir);
    engine.Send("beep hard search y n 60 time y 1000 n pv load check.fen go\n");
    engine.ReadUntil("My move is: 1. g3\n");
    engine.ReadUntil(prompt);
    // A thinking line of the second iteration: the ponder search is deepening.
    engine.ReadUntil("\n 2 ");
    engine.ReadUntil("\n");
    engine.Send("search y n 7 search n\n");
    std::string first = engine.ReadUntil("Enter full-width depth:\n" + prompt);
    EXPECT_NE(first.find("Max. Full width depth: 60\n"), std::string::npos) << first;
    EXPECT_EQ(engine.ReadUntil("(Y/N) ?:\n"),
              "Search Paramaters\n-----------------\nBook off.\nMax. Full width depth: 7\n"
              "\nChange parameters (Y/N) ?:\n");
    EXPECT_EQ(engine.Finish(), 0);
}
