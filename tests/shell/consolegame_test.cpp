// Games at the console through the real binary: moves in any spelling, take-back and
// replay, mate and draw reports, and the log of the game.
#include <gtest/gtest.h>

#include "engineprocess.h"
#include "enginerun.h"

static const std::string afterE4 = BoardOf("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -");
static const std::string afterE5 = BoardOf("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -");
static const std::string afterNf3 =
    BoardOf("rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -");
static const std::string loadPrompt = "Enter a file name to load a position from:\n";

TEST(ConsoleGame, TakeBackAndReplayInForceMode) {
    ScratchDir dir;
    std::string out = RunEngineIn(
        dir, "force e2e4 e5 g1f3 undo remove forward forward undo forward undo undo undo "
             "undo quit\n");
    EXPECT_EQ(out, consoleBanner + prompt +
                       "Your move was: 1. e4\n" + afterE4 +
                       "Your move was: 1. .. e5\n" + afterE5 +
                       "Your move was: 2. Nf3\n" + afterNf3 +
                       afterE5 + prompt +      // undo
                       startBoard + prompt +   // remove
                       afterE5 + prompt +      // forward
                       afterE5 + prompt +      // forward: only one ply left, refused
                       afterE4 + prompt +      // undo
                       afterNf3 + prompt +     // forward
                       afterE5 + prompt + afterE4 + prompt + startBoard + prompt +
                       startBoard + prompt);   // undo at the start is refused
    EXPECT_EQ(ReadWholeFile(dir.File("mosskite.log")),
              "======= MossKite 10.88 Log File =======\n\n1. e4\n1... e5\n2. Nf3\n");
}

TEST(ConsoleGame, MoveSpellingsAndIllegalMoves) {
    std::string out = RunEngine("force E4 e4 e7e5 nf3 Nc6 Bb5 a6 Bxc6 dxc6 O-O Bd6 d5 quit\n");
    EXPECT_NE(out.find("Your move was: 1. e4\n"), std::string::npos);  // files read case-blind
    EXPECT_NE(out.find("Illegal move (no matching move)e4\n"), std::string::npos);
    EXPECT_NE(out.find("Your move was: 2. Nf3\n"), std::string::npos);
    EXPECT_NE(out.find("Your move was: 4. Bxc6\n"), std::string::npos);
    EXPECT_NE(out.find("Your move was: 4. .. dxc6\n"), std::string::npos);
    EXPECT_NE(out.find("Your move was: 5. O-O\n"), std::string::npos);
    EXPECT_NE(out.find("Your move was: 5. .. Bd6\n"), std::string::npos);
    EXPECT_NE(out.find("Illegal move (no matching move)d5\n"), std::string::npos);
}

TEST(ConsoleGame, UserMateIsReportedAndNoSearchStarts) {
    ScratchDir dir;
    WriteWholeFile(dir.File("mate.fen"), "6k1/5ppp/8/8/8/8/8/R5K1 w - -\n");
    std::string out = RunEngineIn(dir, "load mate.fen Ra8# quit\n");
    EXPECT_EQ(out, consoleBanner + loadPrompt + BoardOf("6k1/5ppp/8/8/8/8/8/R5K1 w - -") +
                       prompt + "Your move was: 1. Ra8\n" +
                       BoardOf("R5k1/5ppp/8/8/8/8/8/6K1 b - -") + "White Mates!\n");
    // The same with Black mating, read from a file with ".fen" appended.
    WriteWholeFile(dir.File("black.fen"), "6k1/8/8/8/8/8/r4PPP/6K1 b - -\n");
    out = RunEngineIn(dir, "load black Ra2-a1 Ra1 quit\n");
    EXPECT_EQ(out, consoleBanner + loadPrompt + BoardOf("6k1/8/8/8/8/8/r4PPP/6K1 b - -") +
                       prompt + "Illegal move (no matching move)Ra2-a1\n" +
                       "Your move was: 1. .. Ra1\n" +
                       BoardOf("6k1/8/8/8/8/8/5PPP/r5K1 w - -") + "Black mates!\n");
}

TEST(ConsoleGame, StalemateIsADraw) {
    ScratchDir dir;
    WriteWholeFile(dir.File("stale.fen"), "k7/8/3Q4/8/8/8/8/6K1 w - -\n");
    std::string out = RunEngineIn(dir, "load stale.fen Qc7 quit\n");
    EXPECT_EQ(out, consoleBanner + loadPrompt + BoardOf("k7/8/3Q4/8/8/8/8/6K1 w - -") + prompt +
                       "Your move was: 1. Qc7\n" + BoardOf("k7/2Q5/8/8/8/8/8/6K1 b - -") +
                       "Draw\n");
}

TEST(ConsoleGame, XboardMovesAreLoggedButNotEchoed) {
    ScratchDir dir;
    std::string out = RunEngineIn(dir, "xboard force e2e4 e7e5 quit\n");
    EXPECT_EQ(out, xboardNoBookFiles);
    EXPECT_EQ(ReadWholeFile(dir.File("mosskite.log")),
              "======= MossKite 10.88 Log File =======\n\n1. e4\n1... e5\n");
}

// Settings for games against the engine that do not depend on the machine's speed: no book,
// a fixed depth, and far more time than that depth needs.
static const std::string fixedDepth = "beep search y n 4 time y 1000 n\n";

TEST(ConsoleGame, ShortGameToMate) {
    ScratchDir dir;
    EngineProcess engine(dir);
    engine.Send(fixedDepth + "f3\n");
    std::string first = engine.ReadUntil("My move is: 1. .. e5\n");
    EXPECT_NE(first.find("Your move was: 1. f3\n" +
                         BoardOf("rnbqkbnr/pppppppp/8/8/8/5P2/PPPPP1PP/RNBQKBNR b KQkq -") +
                         "Thinking...\n"),
              std::string::npos);
    engine.Send("g4\n");
    std::string second = engine.ReadUntil("Black mates!\n");
    EXPECT_EQ(second,
              BoardOf("rnbqkbnr/pppp1ppp/8/4p3/8/5P2/PPPPP1PP/RNBQKBNR w KQkq -") + prompt +
                  "Your move was: 2. g4\n" +
                  BoardOf("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq -") +
                  "Thinking...\n" + "My move is: 2. .. Qh4#\n" +
                  BoardOf("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -") +
                  "Black mates!\n");
    std::string rest;
    EXPECT_EQ(engine.Finish(&rest), 0);
    EXPECT_EQ(rest, prompt);
    std::string log = ReadWholeFile(dir.File("mosskite.log"));
    EXPECT_NE(log.find("1. f3\n1... e5\n   Found in: "), std::string::npos);
    EXPECT_NE(log.find("2. g4\n2... Qh4#\n   Found in: "), std::string::npos);
}

TEST(ConsoleGame, EngineMatesAndGoWithoutLegalMoves) {
    ScratchDir dir;
    WriteWholeFile(dir.File("mate.fen"), "7k/8/5K2/8/8/8/8/6Q1 w - -\n");
    EngineProcess engine(dir);
    engine.Send(fixedDepth + "load mate.fen go\n");
    std::string out = engine.ReadUntil("White Mates!\n");
    EXPECT_NE(out.find(prompt + "Thinking...\nMy move is: 1. Qg7#\n" +
                       BoardOf("7k/6Q1/5K2/8/8/8/8/8 b - -") + "White Mates!\n"),
              std::string::npos);
    // Mated: "go" announces nothing, plays nothing, and the move number stays: after two
    // of them and "undo", White's move is still move 1.
    engine.Send("go\n");
    EXPECT_EQ(engine.ReadUntil("Thinking...\n" + prompt), prompt + "Thinking...\n" + prompt);
    engine.Send("go\n");
    EXPECT_EQ(engine.ReadUntil("Thinking...\n" + prompt), "Thinking...\n" + prompt);
    engine.Send("force undo Qh2\n");
    std::string rest;
    EXPECT_EQ(engine.Finish(&rest), 0);
    EXPECT_EQ(rest, prompt + BoardOf("7k/8/5K2/8/8/8/8/6Q1 w - -") + prompt +
                        "Your move was: 1. Qh2\n" +
                        BoardOf("7k/8/5K2/8/8/8/7Q/8 b - -"));
}

TEST(ConsoleGame, BellAfterTheMoveAndPlayStopsAnswering) {
    ScratchDir dir;
    WriteWholeFile(dir.File("mate.fen"), "7k/8/5K2/8/8/8/8/6Q1 w - -\n");
    EngineProcess engine(dir);
    engine.Send("search y n 4 load mate.fen go\n");
    EXPECT_NE(engine.ReadUntil("White Mates!\n").find("My move is: 1. Qg7#\a\n"),
              std::string::npos);
    // "play" is force mode: moves are played and nothing answers them.
    engine.Send("undo play Qg8\n");
    std::string rest;
    EXPECT_EQ(engine.Finish(&rest), 0);
    EXPECT_EQ(rest, prompt + BoardOf("7k/8/5K2/8/8/8/8/6Q1 w - -") + prompt + prompt +
                        "Your move was: 1. Qg8\n" + BoardOf("6Qk/8/5K2/8/8/8/8/8 b - -"));
}

TEST(ConsoleGame, MoveNowWhileIdleDoesNothing) {
    EXPECT_EQ(RunEngine("xboard ? ? quit\n"), xboardNoBookFiles);
    EXPECT_EQ(RunEngine("? quit\n"), consoleBanner);
}

TEST(ConsoleGame, MoveNowPlaysALegalMove) {
    ScratchDir dir;
    EngineProcess engine(dir);
    engine.Send("beep search y n 60 time y 1000 n go ?\n");
    std::string out = engine.ReadUntil("My move is: 1. ");
    EXPECT_NE(out.find("Thinking...\n"), std::string::npos);
    std::string line = engine.ReadUntil("\n");
    engine.Send("undo\n");
    std::string rest;
    EXPECT_EQ(engine.Finish(&rest), 0);
    // The move was played on the board, and "undo" takes it back.
    EXPECT_EQ(rest.substr(0, rest.find('\n')), "    _______________________   Black to play")
        << line;
    std::string end = prompt + startBoard + prompt;
    ASSERT_GE(rest.size(), end.size());
    EXPECT_EQ(rest.substr(rest.size() - end.size()), end);
}

TEST(ConsoleGame, EndOfInputDuringASearch) {
    ScratchDir dir;
    EngineProcess engine(dir);
    engine.Send("search y n 60 time y 100000 n e4\n");
    engine.ReadUntil("Thinking...\n");
    std::string rest;
    EXPECT_EQ(engine.Finish(&rest), 0);
    EXPECT_EQ(rest.find("My move is"), std::string::npos);
}

TEST(ConsoleGame, ForwardAfterASearchIsRefused) {
    // Taken-back moves are overwritten by a search: after one was asked for, nothing is
    // replayed.
    std::string out = RunEngine("force e4 e5 Nf3 Nc6 remove go force forward quit\n");
    std::string tail = afterE5 + prompt + "Thinking...\n" + prompt + afterE5 + prompt;
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    // The node count makes its moves there too.
    out = RunEngine("force e4 e5 remove testgen 2 forward quit\n");
    tail = "\n" + prompt + startBoard + prompt;
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}
