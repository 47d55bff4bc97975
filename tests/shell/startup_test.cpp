// Start-up through the real binary: banner, board, log file, command line, quit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <csignal>
#include <unistd.h>

#include "engineprocess.h"
#include "enginerun.h"
#include "notation/boardtext.h"
#include "search/strength.h"
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
    EXPECT_EQ(out, xboardNoBookFiles + "Illegal move (no matching move)xyzzy\n");
}

TEST(Startup, XboardAsFirstTokenSkipsTheBanner) {
    EXPECT_EQ(RunCommand("printf 'xboard\\nquit\\n' | '" + EngineBinary() + "'"), xboardNoBookFiles);
    EXPECT_EQ(RunCommand("printf 'fritz\\nxboard\\nquit\\n' | '" + EngineBinary() + "'"),
              xboardNoBookFiles);
}

TEST(Startup, LongTokenIsTruncatedWithAMessage) {
    std::string token(300, 'a');
    std::string out = RunCommand("printf '" + token + "\\nquit\\n' | '" + EngineBinary() + "' -xboard");
    // Reported by the command that takes the token, after the start-up reports.
    EXPECT_EQ(out, xboardNoBookFiles + "Input token longer than 95 characters, truncated.\n"
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

// Runs a copy of the engine named "kite" from a folder where its log cannot be written (a
// folder is in the way), by absolute path from /tmp, with the environment settings env;
// returns standard output, and standard error in err.
static std::string RunWithoutLogPlace(const std::string& folder, const std::string& env,
                                      std::string& err, int& status) {
    std::string binary = folder + "/kite";
    std::system(("cp '" + EngineBinary() + "' '" + binary + "' && mkdir '" + folder +
                 "/kite.log'").c_str());
    std::string out = RunCommand("cd /tmp && printf 'quit\\n' | env " + env + " '" + binary +
                                     "' 2> '" + folder + "/err.txt'",
                                 &status);
    err = ReadWholeFile(folder + "/err.txt");
    return out;
}

TEST(Startup, LogGoesToTheStateFolderWhenItCannotBeWrittenBesideTheProgram) {
    ScratchDir dir;
    std::string err;
    int status = -1;
    std::string out =
        RunWithoutLogPlace(dir.path, "XDG_STATE_HOME='" + dir.File("state") + "'", err, status);
    EXPECT_EQ(out, consoleBanner);
    EXPECT_EQ(err, "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadWholeFile(dir.File("state/mosskite/kite.log")),
              "======= MossKite 10.88 Log File =======\n\n");
}

TEST(Startup, LogGoesToTheHomeStateFolderWithoutXdgStateHome) {
    // Unset, or relative (which the XDG rules say to ignore): ~/.local/state is used.
    for (const char* xdg : {"-u XDG_STATE_HOME", "XDG_STATE_HOME=relative/state"}) {
        ScratchDir dir;
        std::string err;
        int status = -1;
        std::string out = RunWithoutLogPlace(
            dir.path, std::string(xdg) + " HOME='" + dir.File("home") + "'", err, status);
        EXPECT_EQ(out, consoleBanner) << xdg;
        EXPECT_EQ(err, "") << xdg;
        EXPECT_EQ(status, 0) << xdg;
        EXPECT_EQ(ReadWholeFile(dir.File("home/.local/state/mosskite/kite.log")),
                  "======= MossKite 10.88 Log File =======\n\n")
            << xdg;
    }
}

TEST(Startup, WithoutAnyLogPlaceTheEnginePlaysWithoutALog) {
    // The state folder would lie below a file: it cannot be made. One line on standard
    // error says so; standard output is as always, and the engine plays.
    ScratchDir dir;
    WriteWholeFile(dir.File("file"), "");
    std::string err;
    int status = -1;
    std::string out = RunWithoutLogPlace(dir.path, "XDG_STATE_HOME='" + dir.File("file/state") + "'",
                                         err, status);
    EXPECT_EQ(out, consoleBanner);
    EXPECT_EQ(err, "--- No log file: cannot open " + dir.File("kite.log") + " or " +
                       dir.File("file/state/mosskite/kite.log") + " ---\n");
    EXPECT_EQ(status, 0);
    // Without a home either, only the place beside the program was tried.
    out = RunCommand("cd /tmp && printf 'force e2e4 quit\\n' | env -u XDG_STATE_HOME -u HOME '" +
                         dir.File("kite") + "' 2> '" + dir.File("err.txt") + "'",
                     &status);
    EXPECT_NE(out.find("Your move was: 1. e4\n"), std::string::npos) << out;
    EXPECT_EQ(ReadWholeFile(dir.File("err.txt")),
              "--- No log file: cannot open " + dir.File("kite.log") + " ---\n");
    EXPECT_EQ(status, 0);
}

TEST(Startup, StateFolderLogNames) {
    EXPECT_EQ(StateFolderLogName("/usr/games/mosskite.log", "/x/state", "/home/u"),
              "/x/state/mosskite/mosskite.log");
    EXPECT_EQ(StateFolderLogName("kite.log", nullptr, "/home/u"),
              "/home/u/.local/state/mosskite/kite.log");
    EXPECT_EQ(StateFolderLogName("kite.log", "", "/home/u"), "/home/u/.local/state/mosskite/kite.log");
    EXPECT_EQ(StateFolderLogName("kite.log", "state", "/home/u"),
              "/home/u/.local/state/mosskite/kite.log");
    EXPECT_EQ(StateFolderLogName("kite.log", nullptr, nullptr), "");
    EXPECT_EQ(StateFolderLogName("kite.log", nullptr, ""), "");
}

TEST(Startup, HelpPrintsTheUsage) {
    for (const char* help : {"--help", "-help", "-hash 8 --help"}) {
        int status = -1;
        std::string out = RunCommand("'" + EngineBinary() + "' " + help + " < /dev/null", &status);
        EXPECT_EQ(out, UsageText()) << help;
        EXPECT_EQ(status, 0) << help;
    }
}

TEST(Startup, BadArgumentsAreRefused) {
    const std::pair<const char*, const char*> bad[] = {
        {"-foo", "unknown option \"-foo\""},
        {"kite.epd", "unknown option \"kite.epd\""},
        {"-hash abc", "-hash needs a number of megabytes, not \"abc\""},
        {"-hash -4", "-hash needs a number of megabytes, not \"-4\""},
        {"-hash", "-hash needs a number of megabytes"},
        {"-xboard -hash 8 -verbose", "unknown option \"-verbose\""},
        {"-test suite r.txt x y", "-test needs a number of seconds, not \"x\""},
        {"-test suite r.txt 5 deep", "-test needs a depth in plies, not \"deep\""},
        {"-test suite r.txt 5", "-test needs four arguments: SUITE RESULTS SECONDS DEPTH"},
        {"-search", "-search needs classic or modern"},
        {"-xboard -search fast", "-search needs classic or modern, not \"fast\""},
    };
    for (const auto& [args, message] : bad) {
        ScratchDir dir;
        int status = -1;
        std::string out = RunCommand("cd '" + dir.path + "' && '" + EngineBinary() + "' " + args +
                                         " < /dev/null 2> err.txt",
                                     &status);
        EXPECT_EQ(out, "") << args;
        EXPECT_EQ(ReadWholeFile(dir.File("err.txt")),
                  std::string("mosskite: ") + message +
                      "\nTry \"mosskite --help\" for the options.\n")
            << args;
        EXPECT_EQ(status, 2) << args;
        EXPECT_FALSE(std::ifstream(dir.File("r.txt")).good()) << args;  // nothing was run
    }
}

TEST(Startup, FromAPipeTheFirstWordDecidesHoweverLate) {
    // Runs the engine in a folder without books on input that comes a second late.
    auto late = [](const std::string& first, const std::string& rest) {
        ScratchDir dir;
        return RunCommand("cd '" + dir.path + "' && (printf '" + first + "'; sleep 1; printf '" +
                          rest + "') | '" + EngineBinary() + "'");
    };
    // An interface that speaks only after the console's wait gets no banner and no board.
    EXPECT_EQ(late("", "xboard\\nprotover 2\\nquit\\n"),
              xboardNoBookFiles + "feature option=\"Search -combo *Classic /// Modern\"\n"
                  "feature option=\"UCI_LimitStrength -check 0\"\n"
                  "feature option=\"UCI_Elo -spin " + std::to_string(StrengthEloMax) + " 1400 " +
                  std::to_string(StrengthEloMax) + "\"\n"
                  "feature option=\"Skill Level -spin 20 0 20\"\n"
                  "feature option=\"Seed -spin 0 0 2147483647\"\n"
                  "feature ping=1 setboard=1 usermove=1 sigint=0 sigterm=0 analyze=1 "
                  "myname=\"mossKite 10.88\" memory=1 smp=1 exclude=1 done=1\n");
    // After "fritz" the next word decides, however late.
    EXPECT_EQ(late("fritz\\n", "xboard\\nquit\\n"), xboardNoBookFiles);
    // A person's first word, however late, gets the console.
    EXPECT_EQ(late("", "quit\\n"), consoleBanner);
}

TEST(Startup, InterruptQuitsTheConsoleOnly) {
    // At the console Ctrl-C ends the program as "quit" does: the log is complete.
    {
        ScratchDir dir;
        EngineProcess engine(dir);
        engine.Send("force e2e4\n");
        engine.ReadUntil("Your move was: 1. e4\n");  // logged before it is echoed
        ASSERT_EQ(kill(engine.Pid(), SIGINT), 0);
        EXPECT_EQ(engine.WaitForExit(), 0);
        EXPECT_EQ(ReadWholeFile(dir.File("mosskite.log")),
                  "======= MossKite 10.88 Log File =======\n\n1. e4\n");
    }
    // Under xboard (the command, not the first word) and UCI it is ignored.
    {
        ScratchDir dir;
        EngineProcess engine(dir);
        engine.Send("help\nxboard\nprotover 1\n");
        engine.ReadUntil("feature done=1\n");
        ASSERT_EQ(kill(engine.Pid(), SIGINT), 0);
        engine.Send("protover 1\n");
        EXPECT_EQ(engine.ReadUntil("feature done=1\n"), "feature done=1\n");
        engine.Send("quit\n");
        EXPECT_EQ(engine.WaitForExit(), 0);
    }
    {
        ScratchDir dir;
        EngineProcess engine(dir);
        engine.Send("uci\n");
        engine.ReadUntil("uciok\n");
        ASSERT_EQ(kill(engine.Pid(), SIGINT), 0);
        engine.Send("isready\n");
        EXPECT_NE(engine.ReadUntil("readyok\n").find("readyok\n"), std::string::npos);
        engine.Send("quit\n");
        EXPECT_EQ(engine.WaitForExit(), 0);
    }
}

TEST(Startup, StartUpReportsAreCommentsForXboard) {
    ScratchDir dir;
    WriteWholeFile(dir.File("kitebook.txt"),
                   "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\ne2e4\n#\n");
    EXPECT_EQ(RunEngineIn(dir, "xboard\nquit\n"),
              "# --- No big book: cannot open kitebigb.bin ---\n"
              "# Reading opening book (kitebook.txt) ...\n"
              "# \n"
              "# 1 positions read in.\n"
              "# 1 moves read in.\n");
    // Started with -xboard the first word may still be a console word: comments all the same.
    EXPECT_EQ(RunEngineIn(dir, "protover 1\nquit\n", "-xboard"),
              "# --- No big book: cannot open kitebigb.bin ---\nfeature done=1\n");
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
        // The search is chosen before the other arguments or after them; -xboard stays
        // the first of the others.
        const char* before[] = {"kite", "-search", "modern", "-xboard", "-hash", "8"};
        CommandLine c = ParseCommandLine(6, before);
        EXPECT_EQ(c.searchKind, SearchKind::Modern);
        EXPECT_TRUE(c.xboard);
        EXPECT_EQ(c.hashMegabytes, 8);
        const char* after[] = {"kite", "-xboard", "bench", "-search", "Modern", "-search", "classic"};
        c = ParseCommandLine(7, after);
        EXPECT_EQ(c.searchKind, SearchKind::Classic);
        EXPECT_TRUE(c.xboard && c.bench);
        EXPECT_EQ(ParseCommandLine(1, after).searchKind, SearchKind::Classic);
    }
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
        EXPECT_STREQ(ParseCommandLine(2, argv).error, "-hash needs a number of megabytes");
    }
    {
        // "-hash" also after "-test" and its arguments; the last size given counts.
        const char* argv[] = {"kite", "-test", "s", "r", "1", "2", "-hash", "4", "-h", "2"};
        CommandLine c = ParseCommandLine(10, argv);
        EXPECT_EQ(c.error, nullptr);
        EXPECT_TRUE(c.test);
        EXPECT_EQ(c.hashMegabytes, 2);
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
        CommandLine c = ParseCommandLine(5, argv);  // four arguments must follow
        EXPECT_FALSE(c.test);
        EXPECT_NE(c.error, nullptr);
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
