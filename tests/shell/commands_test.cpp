// Console commands through the real binary: each transcript is compared whole.
#include <gtest/gtest.h>

#include "enginerun.h"

static const std::string dashes =
    "----------------------------------------------------------------\n";

// The starting position drawn from Black's side.
static const std::string invertedStartBoard =
    "    _______________________   White to play\n"
    " 1 |WR|WN|WB|WK|WQ|WB|WN|WR|\n"
    " 2 |WP|WP|WP|WP|WP|WP|WP|WP|\n"
    " 3 |__|__|__|__|__|__|__|__|\n"
    " 4 |__|__|__|__|__|__|__|__|\n"
    " 5 |__|__|__|__|__|__|__|__|\n"
    " 6 |__|__|__|__|__|__|__|__|\n"
    " 7 |bp|bp|bp|bp|bp|bp|bp|bp|\n"
    " 8 |br|bn|bb|bk|bq|bb|bn|br|\n"
    "     h  g  f  e  d  c  b  a\n";

TEST(Commands, HelpTexts) {
    int status = -1;
    std::string out = RunEngine("help\nhelp2\nquit\n", "", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, consoleBanner + dashes + "mossKite's Basic Commands\n" + dashes +
                       "new      start a new game\n"
                       "quit     exit mossKite\n"
                       "exit     exit mossKite\n"
                       "go       make mossKite move (swap sides)\n"
                       "invert   invert the text chess board\n"
                       "help2    more commands!\n" +
                       dashes + prompt + dashes + "More mossKite Commands\n" + dashes +
                       "play     turn mosskite's playing on/off\n"
                       "remove   undo a complete move (2-ply)\n"
                       "forward  redo a complete move\n"
                       "load     load an EPD position\n"
                       "loadnth  load nth pos. from a test suite\n"
                       "loadgame load a PGN game\n"
                       "save     save an EPD position\n"
                       "test     run a test suite\n"
                       "testgen  tests move generator\n"
                       "tree     turn saving tree to file on/off\n"
                       "search   set search parameters\n"
                       "modern   use the Modern search (classic: the default one)\n"
                       "elo      play at Elo N (elo off: full strength)\n"
                       "skill    play at skill level N, 0 to 20 (20: full strength)\n"
                       "seed     seed N of the weaker levels' choices (0: the clock)\n"
                       "strength show the playing strength\n"
                       "time     set thinking time parameters\n"
                       "beep     turn beep on/off\n"
                       "bench    speed bench mark\n"
                       "mem      some memory usage information.\n"
                       "hash     set hash table size.\n"
                       "info     turn display of search info. on/off\n"
                       "pv       turn display of PV on/off\n"
                       "text     turn display of text board on/off\n"
                       "refresh  redisplay the text board (ref does the same).\n"
                       "Command line parameters: -xboard or -hash X (where is number of MB)\n" +
                       dashes + prompt);
}

TEST(Commands, SearchChoiceAtTheConsole) {
    // "modern" and "classic" switch the tree search and say which one runs; the benchmark
    // runs the chosen one, and Classic counts its nodes as ever.
    std::string out = RunEngine("modern\nbench\nclassic\nbench\nquit\n");
    size_t modern = out.find("Search: Modern\n");
    size_t classic = out.find("Search: Classic\n");
    ASSERT_NE(modern, std::string::npos);
    ASSERT_NE(classic, std::string::npos);
    std::string first = out.substr(modern, classic - modern);
    std::string second = out.substr(classic);
    size_t n1 = first.find("Benchmark nodes: ");
    size_t n2 = second.find("Benchmark nodes: ");
    ASSERT_NE(n1, std::string::npos);
    ASSERT_NE(n2, std::string::npos);
    EXPECT_LT(std::stoll(first.substr(n1 + 17)), std::stoll(second.substr(n2 + 17)));
}

TEST(Commands, SwitchesAndBoards) {
    std::string out = RunEngine("info info pv pv beep beep invert refresh ref invert\n"
                                "text text quit\n");
    EXPECT_EQ(out, consoleBanner + "Search information turned on.\n" + prompt +
                       "Search information turned off.\n" + prompt +
                       "Display PV during search turned on.\n" + prompt +
                       "Display PV during search turned off.\n" + prompt + prompt + prompt +
                       invertedStartBoard + prompt + startBoard + prompt + startBoard +
                       prompt + startBoard + prompt +
                       // "text" off prints nothing; on again, the board and the prompt
                       startBoard + prompt);
}

TEST(Commands, UnderXboardTextAndInvertStillShowTheBoard) {
    std::string out = RunEngine("xboard invert text text quit\n");
    EXPECT_EQ(out, xboardNoBookFiles + invertedStartBoard + invertedStartBoard + prompt);
}

TEST(Commands, SearchDialog) {
    std::string out = RunEngine("search\ny\nno\n12\nsearch n quit\n");
    EXPECT_EQ(out, consoleBanner +
                       "Search Paramaters\n-----------------\nBook on.\n"
                       "Max. Full width depth: 30\n"
                       "\nChange parameters (Y/N) ?:\n"
                       "Use opening book(Y/N) ?\n"
                       "Enter full-width depth:\n" +
                       prompt +
                       "Search Paramaters\n-----------------\nBook off.\n"
                       "Max. Full width depth: 12\n"
                       "\nChange parameters (Y/N) ?:\n" +
                       prompt);
}

TEST(Commands, SearchDepthIsClamped) {
    std::string out = RunEngine("search y Yes 500 search n search y y -3 search n quit\n");
    EXPECT_NE(out.find("Book on.\nMax. Full width depth: 60\n"), std::string::npos);
    EXPECT_NE(out.find("Book on.\nMax. Full width depth: 1\n"), std::string::npos);
}

TEST(Commands, TimeDialog) {
    std::string out = RunEngine("time y 5 yes 100000 time n n quit\n");
    std::string settings = "Time Settings\n-------------\n";
    EXPECT_EQ(out, consoleBanner + settings + "Maximum move time: 10\n" +
                       "Maximum move nodes (zero means no maximum): 0\n" +
                       "\nchange max time (Y/N) ?:\n" + "Enter max. move time:\n" +
                       "\nchange max nodes (Y/N) ?:\n" + "Enter max. move nodes:\n" + prompt +
                       settings + "Maximum move time: 5\n" +
                       "Maximum move nodes (zero means no maximum): 100000\n" +
                       "\nchange max time (Y/N) ?:\n" + "\nchange max nodes (Y/N) ?:\n" +
                       prompt);
}

TEST(Commands, LevelDialog) {
    std::string out = RunEngine("level y y 40 120 20 60 0 30 5 level n level y n level n quit\n");
    std::string asks =
        "Change settings (Y/N)? Use tournament mode (Y/N)? "
        "\nNumber of moves for FIRST time control ? "
        "Number of minutes for FIRST time control ? "
        "\nNumber of moves for SECOND time control ? "
        "Number of minutes for SECOND time control ? "
        "\nNumber of moves for THIRD time control ? "
        "Number of minutes for THIRD time control ? "
        "\nAuto sync every how many moves (0 for never) ? ";
    EXPECT_EQ(out, consoleBanner + "Tournament Mode Off\n" + asks + prompt +
                       "Tournament Mode On\n"
                       "Time control 1: 40 moves in 120 minutes\n"
                       "Time control 2: 20 moves in 60 minutes\n"
                       "Time control 3: 0 moves in 30 minutes\n"
                       "Auto sync. every 5 moves\n\n"
                       "Change settings (Y/N)? " +
                       prompt + "Tournament Mode On\n"
                       "Time control 1: 40 moves in 120 minutes\n"
                       "Time control 2: 20 moves in 60 minutes\n"
                       "Time control 3: 0 moves in 30 minutes\n"
                       "Auto sync. every 5 moves\n\n"
                       "Change settings (Y/N)? Use tournament mode (Y/N)? " +
                       prompt + "Tournament Mode Off\nChange settings (Y/N)? " + prompt);
}

TEST(Commands, SyncDialog) {
    std::string out = RunEngine("sync y 3 sync n sync y 99999999999 sync n quit\n");
    EXPECT_EQ(out, consoleBanner + "Total thinking time used so far: 0 min, 0 sec\n" +
                       "Change settings (Y/N)? Enter number of minutes used on clock: " +
                       prompt + "Total thinking time used so far: 3 min, 0 sec\n" +
                       "Change settings (Y/N)? " + prompt +
                       "Total thinking time used so far: 3 min, 0 sec\n" +
                       "Change settings (Y/N)? Enter number of minutes used on clock: " +
                       prompt + "Total thinking time used so far: 2147483647 min, 0 sec\n" +
                       "Change settings (Y/N)? " + prompt);
}

TEST(Commands, MemoryAndHash) {
    std::string out = RunEngine("mem hash 1 mem quit\n", "-hash 16");
    std::string others =
        "Pawn hash table:   32768 x 20 = 655360 bytes.\n"
        "Small book table:  4096 x 20 = 81920 bytes.\n"
        "Big book table:    32768 x 32 = 1048576 bytes.\n";
    std::string big = "Trans. hash table: 524288 x 20 = 10485760 bytes.\n" + others;
    std::string small = "Trans. hash table: 32768 x 20 = 655360 bytes.\n" + others;
    EXPECT_EQ(out, consoleBanner + big + prompt + big +
                       "\nEnter maximum size (in mb) for main transpositions hash table:\n" +
                       prompt + small + prompt);
}

TEST(Commands, SaveAppendsEpdAndBoard) {
    ScratchDir dir;
    std::string out = RunEngineIn(dir, "invert save pos.epd save pos.epd quit\n");
    std::string saveText = "Enter a file name to save the position to:\n";
    EXPECT_EQ(out, consoleBanner + invertedStartBoard + prompt + saveText + prompt + saveText +
                       prompt);
    std::string entry = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\n\n" +
                        invertedStartBoard;
    EXPECT_EQ(ReadWholeFile(dir.File("pos.epd")), entry + entry);
}

TEST(Commands, FilesThatCannotBeOpened) {
    std::string out = RunEngine("save /no/such/folder/pos.epd tree /no/such/folder/t.txt quit\n");
    EXPECT_EQ(out, consoleBanner + "Enter a file name to save the position to:\n" +
                       "--- ERROR: Cannot open file ---\n" + prompt +
                       "Enter a file name to save the tree to:\n" +
                       "--- ERROR: Cannot open file ---\n" + prompt);
}

TEST(Commands, TreeOnAndOff) {
    ScratchDir dir;
    std::string out = RunEngineIn(dir, "tree tree.txt tree quit\n");
    EXPECT_EQ(out, consoleBanner + "Enter a file name to save the tree to:\n" + prompt + prompt);
    EXPECT_EQ(ReadWholeFile(dir.File("tree.txt")), "\n" + startBoard);
}

TEST(Commands, NewGameShowsTheBoardAndIsLogged) {
    ScratchDir dir;
    std::string out = RunEngineIn(dir, "new quit\n");
    EXPECT_EQ(out, consoleBanner + startBoard + prompt);
    EXPECT_EQ(ReadWholeFile(dir.File("mosskite.log")),
              "======= MossKite 10.88 Log File =======\n\n\n\nNew Game\n");
}

TEST(Commands, XboardOnlyWordsAreMovesAtTheConsole) {
    std::string out = RunEngine("sd 3 st otim quit\n");
    std::string bad = "Illegal move (no matching move)";
    EXPECT_EQ(out, consoleBanner + bad + "sd\n" + bad + "3\n" + bad + "st\n" + bad + "otim\n");
}

TEST(Commands, ArgumentsMaySpanLines) {
    std::string out = RunEngine("time\ny\n7\nn time n\nn quit\n");
    EXPECT_NE(out.find("Maximum move time: 7\n"), std::string::npos);
}

TEST(Commands, EndOfInputInsideADialog) {
    int status = -1;
    std::string out = RunEngine("search y", "", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("Use opening book(Y/N) ?\nEnter full-width depth:\n"), std::string::npos);
}

TEST(InputRing, MoreTokensThanSlots) {
    std::string input = "xboard";
    std::string expected;
    for (int i = 0; i < 101; i++) {
        input += " info";
        expected += i % 2 ? "Search information turned off.\n" : "Search information turned on.\n";
    }
    int status = -1;
    EXPECT_EQ(RunEngine(input + " quit\n", "", &status), xboardNoBookFiles + expected);
    EXPECT_EQ(status, 0);
}

TEST(Commands, FileNamesLongerThanATokenAreCut) {
    ScratchDir dir;
    std::string longName(300, 'p');
    std::string out = RunEngineIn(dir, "load " + longName + " save " + longName + " quit\n");
    // The name keeps its first 95 characters: no such position file, and the saved one
    // goes to the cut name. Each cut is reported by the command that takes the name.
    std::string cut = "Input token longer than 95 characters, truncated.\n";
    EXPECT_EQ(out, consoleBanner + "Enter a file name to load a position from:\n" + cut +
                       "--- ERROR: Cannot open file ---\n" + prompt +
                       "Enter a file name to save the position to:\n" + cut + prompt);
    EXPECT_EQ(ReadWholeFile(dir.File(longName.substr(0, 95))),
              "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\n\n" + startBoard);
}
