// Start-up through the real binary: banner, board, log file, command line, quit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "enginerun.h"
#include "shell/commandline.h"
#include "shell/displayboard.h"
#include "shell/logfile.h"
#include "support.h"

// A scratch folder holding a copy of the binary under a chosen name.
static std::string CopyBinary(const std::string& name) {
    char folder[] = "/tmp/mosskite-startup-XXXXXX";
    if (!mkdtemp(folder))
        return "";
    std::string path = std::string(folder) + "/" + name;
    std::string cmd = "cp '" + EngineBinary() + "' '" + path + "'";
    if (std::system(cmd.c_str()) != 0)
        return "";
    return path;
}

TEST(Startup, ConsoleBannerBoardAndQuit) {
    int status = -1;
    std::string out = RunCommand("printf 'quit\\n' | '" + EngineBinary() + "'", &status);
    EXPECT_EQ(out, consoleBanner);
    EXPECT_EQ(status, 0);
}

TEST(Startup, EndOfInputEndsTheProgram) {
    int status = -1;
    std::string out = RunCommand("'" + EngineBinary() + "' < /dev/null", &status);
    EXPECT_EQ(out, consoleBanner);
    EXPECT_EQ(status, 0);
}

TEST(Startup, UnknownTokenIsAnIllegalMove) {
    std::string out = RunCommand("printf 'xyzzy\\nquit\\n' | '" + EngineBinary() + "' -xboard");
    EXPECT_EQ(out, noBookFiles + "Illegal move (no matching move)xyzzy\n");
}

TEST(Startup, XboardAsFirstTokenSkipsTheBanner) {
    EXPECT_EQ(RunCommand("printf 'xboard\\nquit\\n' | '" + EngineBinary() + "'"), noBookFiles);
    EXPECT_EQ(RunCommand("printf 'fritz\\nxboard\\nquit\\n' | '" + EngineBinary() + "'"),
              noBookFiles);
}

TEST(Startup, LongTokenIsTruncatedWithAMessage) {
    std::string token(300, 'a');
    std::string out = RunCommand("printf '" + token + "\\nquit\\n' | '" + EngineBinary() + "' -xboard");
    EXPECT_EQ(out, noBookFiles + "Input token longer than 95 characters, truncated.\n"
                   "Illegal move (no matching move)" + std::string(95, 'a') + "\n");
}

TEST(Startup, LogFileNamedAfterTheProgram) {
    std::string binary = CopyBinary("Kite.EXE");
    ASSERT_FALSE(binary.empty());
    int status = -1;
    // Started from another folder: the log goes beside the program all the same.
    RunCommand("printf 'quit\\n' | '" + binary + "' -xboard", &status);
    EXPECT_EQ(status, 0);
    std::string folder = binary.substr(0, binary.rfind('/'));
    EXPECT_EQ(ReadWholeFile(folder + "/Kite.log"), "======= MossKite 10.88 Log File =======\n\n");
    std::system(("rm -rf '" + folder + "'").c_str());
}

TEST(Startup, LogFileThatCannotBeOpened) {
    std::string binary = CopyBinary("kite");
    ASSERT_FALSE(binary.empty());
    std::string folder = binary.substr(0, binary.rfind('/'));
    std::system(("mkdir '" + folder + "/kite.log'").c_str());  // a folder in the way
    int status = -1;
    std::string out = RunCommand("printf 'quit\\n' | '" + binary + "'", &status);
    EXPECT_EQ(out, "--- No big book: cannot open kitebigb.bin ---\n"
                   "ERROR - Cannot open log file: " + folder + "/kite.log\n");
    EXPECT_EQ(status, 1);
    std::system(("rm -rf '" + folder + "'").c_str());
}

TEST(Startup, LogFileNameRules) {
    EXPECT_EQ(LogFileName("mosskite"), "mosskite.log");
    EXPECT_EQ(LogFileName("C:\\games\\kite.exe"), "C:\\games\\kite.log");
    EXPECT_EQ(LogFileName("kite.ExE"), "kite.log");
    EXPECT_EQ(LogFileName(".exe"), ".exe.log");
    EXPECT_EQ(LogFileName("a.ex"), "a.ex.log");
    std::string longPath(500, 'x');
    EXPECT_EQ(LogFileName(longPath + ".exe"), longPath + ".log");
}

TEST(Startup, CommandLineRules) {
    {
        const char* argv[] = {"kite", "-hash", "64", "-xboard"};
        CommandLine c = ParseCommandLine(4, argv);
        EXPECT_EQ(c.hashMegabytes, 64);
        EXPECT_FALSE(c.xboard);
    }
    {
        const char* argv[] = {"kite", "-xboard", "-hash", "32"};
        CommandLine c = ParseCommandLine(4, argv);
        EXPECT_EQ(c.hashMegabytes, 32);
        EXPECT_TRUE(c.xboard);
    }
    {
        const char* argv[] = {"kite", "-xb"};
        EXPECT_TRUE(ParseCommandLine(2, argv).xboard);
        EXPECT_EQ(ParseCommandLine(2, argv).hashMegabytes, 16);
    }
    {
        const char* argv[] = {"kite", "-h", "8"};
        EXPECT_EQ(ParseCommandLine(3, argv).hashMegabytes, 8);
    }
    {
        const char* argv[] = {"kite", "-hash"};
        EXPECT_EQ(ParseCommandLine(2, argv).hashMegabytes, 16);
    }
    {
        // Numbers beyond 32 bits are clamped, not wrapped into small or negative sizes.
        const char* argv[] = {"kite", "-hash", "4294967360"};
        EXPECT_EQ(ParseCommandLine(3, argv).hashMegabytes, INT32_MAX);
    }
    {
        const char* argv[] = {"kite", "-xboard", "-test", "wac.epd", "out.txt", "5", "7"};
        CommandLine c = ParseCommandLine(7, argv);
        EXPECT_TRUE(c.test);
        EXPECT_STREQ(c.suite, "wac.epd");
        EXPECT_STREQ(c.results, "out.txt");
        EXPECT_EQ(c.seconds, 5);
        EXPECT_EQ(c.depth, 7);
    }
    {
        const char* argv[] = {"kite", "-test", "wac.epd", "out.txt", "5"};
        EXPECT_FALSE(ParseCommandLine(5, argv).test);  // four arguments must follow
    }
}

TEST(TextBoard, InvertedWithBlackToMove) {
    auto e = NewTestEngine();
    SetFen(*e, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    std::string text = DrawBoard(e->pos.board, e->pos.whiteToMove, 1);
    EXPECT_EQ(text,
              "    _______________________\n"
              " 1 |WR|WN|WB|WK|WQ|WB|WN|WR|\n"
              " 2 |WP|WP|WP|__|WP|WP|WP|WP|\n"
              " 3 |__|__|__|__|__|__|__|__|\n"
              " 4 |__|__|__|WP|__|__|__|__|\n"
              " 5 |__|__|__|__|__|__|__|__|\n"
              " 6 |__|__|__|__|__|__|__|__|\n"
              " 7 |bp|bp|bp|bp|bp|bp|bp|bp|\n"
              " 8 |br|bn|bb|bk|bq|bb|bn|br|\n"
              "     h  g  f  e  d  c  b  a   Black to play\n");
    text = DrawBoard(e->pos.board, e->pos.whiteToMove, 0);
    EXPECT_EQ(text.substr(0, text.find('\n')), "    _______________________   Black to play");
    int odd[120];
    for (int i = 0; i < 120; i++)
        odd[i] = 9;
    text = DrawBoard(odd, 1, 1);
    EXPECT_NE(text.find("|:("), std::string::npos);
    EXPECT_EQ(text.substr(0, text.find('\n')), "    _______________________   White to play");
}

TEST(DisplayBoard, CastlingPromotionAndEnPassant) {
    auto e = NewTestEngine();
    SetFen(*e, "r3k2r/1P6/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1");
    DisplayBoard d;
    InitDisplayBoard(d);
    CopyToDisplayBoard(*e, d);
    DisplayBoardApplyMove(d, MakeMoveValue(SqE1, SqG1));
    EXPECT_EQ(d.board[SqF1], Rook);
    EXPECT_EQ(d.board[SqH1], 0);
    EXPECT_EQ(d.board[SqG1], King);
    EXPECT_EQ(d.castleRights, CastleBlackKing | CastleBlackQueen);
    EXPECT_EQ(d.whiteToMove, 0);
    DisplayBoardApplyMove(d, MakeMoveValue(SqE8, SqC8));
    EXPECT_EQ(d.board[SqD8], -Rook);
    EXPECT_EQ(d.board[SqA8], 0);
    EXPECT_EQ(d.castleRights, 0);
    DisplayBoardApplyMove(d, MakeMoveValue(MakeSquare(7, 2), MakeSquare(8, 2), Knight));
    EXPECT_EQ(d.board[MakeSquare(8, 2)], Knight);
    EXPECT_EQ(d.board[MakeSquare(7, 2)], 0);
    d.whiteToMove = 1;
    DisplayBoardApplyMove(d, MakeMoveValue(MakeSquare(5, 5), MakeSquare(6, 4)));
    EXPECT_EQ(d.board[MakeSquare(6, 4)], Pawn);
    EXPECT_EQ(d.board[MakeSquare(5, 4)], 0);
}
