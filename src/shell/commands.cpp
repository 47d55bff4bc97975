// The command interpreter: command words tested in table order, and the console commands
// that show or switch things.
#include "shell/commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine.h"
#include "eval/evalreport.h"
#include "notation/boardtext.h"
#include "notation/epd.h"
#include "output.h"
#include "search/report.h"
#include "search/tables.h"
#include "search/transtable.h"
#include "search/treedump.h"
#include "shell/bookcommands.h"
#include "shell/displayboard.h"
#include "shell/filedialog.h"
#include "shell/gamecommands.h"
#include "shell/hashsize.h"
#include "shell/inputring.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/playgame.h"
#include "shell/searchoption.h"
#include "shell/strengthoption.h"
#include "shell/searchthread.h"
#include "shell/timecommands.h"
#include "shell/toolcommands.h"
#include "shell/xboard.h"

// Modes in which a command word is recognised.
enum CommandMode { Always, FritzOnly, XboardOnly, Version2Only };

// Carries out a command; returns true when the console prompt follows.
using CommandHandler = bool (*)(Engine& e);

// One command word of the table.
struct Command {
    const char* word;
    CommandMode mode;
    CommandHandler handler;
};

// Entry sizes of the tables that "mem" reports besides the transposition table.
static constexpr unsigned TransEntryBytes = 20;
static constexpr unsigned PawnHashEntries = 32768;
static constexpr unsigned PawnHashEntryBytes = 20;
static constexpr unsigned SmallBookEntries = 4096;
static constexpr unsigned SmallBookEntryBytes = 20;
static constexpr unsigned BigBookEntries = 32768;
static constexpr unsigned BigBookEntryBytes = 32;

static const char* const dashLine =
    "----------------------------------------------------------------\n";

// Prints the Engine's text board, inverted when the user asked for it. While a search runs
// the Engine's board belongs to the search thread (and is a ply ahead when pondering), so
// the game as played, on the display board, is drawn instead.
static void PrintEngineBoard(const Engine& e) {
    SearchState s = GetSearchState(e);
    if (s == Idle || s == Done)
        Write(DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
    else
        Write(DrawBoard(e.shell.display.board, e.shell.display.whiteToMove, e.shell.invertBoard));
}

static bool CommandHelp(Engine&) {
    Write(std::string(dashLine) + "mossKite's Basic Commands\n" + dashLine +
          "new      start a new game\n"
          "quit     exit mossKite\n"
          "exit     exit mossKite\n"
          "go       make mossKite move (swap sides)\n"
          "invert   invert the text chess board\n"
          "help2    more commands!\n" +
          dashLine);
    return true;
}

static bool CommandHelp2(Engine&) {
    Write(std::string(dashLine) + "More mossKite Commands\n" + dashLine +
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
          dashLine);
    return true;
}

static bool CommandQuit(Engine& e) {
    ExitProgram(e);
    return false;
}

static bool CommandXboard(Engine& e) {
    e.shell.xboardMode = 1;
    e.shell.consoleMode = 0;
    e.shell.interruptQuits.store(0, std::memory_order_release);  // xboard may send SIGINT
    return true;
}

static bool CommandInvert(Engine& e) {
    e.shell.invertBoard = !e.shell.invertBoard;
    PrintEngineBoard(e);
    return true;
}

// File names are single tokens; the buffer also holds an appended ".fen".
static constexpr int FileNameSize = 100;
// Longest EPD line read from a position file, without its end of line.
static constexpr int EpdLineLength = 199;

static bool CommandLoad(Engine& e) {
    StopSearchForCommand(e);
    Print("Enter a file name to load a position from:\n");
    char token[SlotSize];
    TakeToken(token);
    char name[FileNameSize];
    std::snprintf(name, sizeof name, "%s", token);
    FILE* file = std::fopen(name, "r");
    if (!file) {
        std::snprintf(name, sizeof name, "%s.fen", token);
        file = std::fopen(name, "r");
    }
    if (!file) {
        Print("--- ERROR: Cannot open file ---\n");
        return true;
    }
    char line[EpdLineLength + 1] = "";
    if (!std::fgets(line, sizeof line, file))
        line[0] = '\0';
    std::fclose(file);
    if (!SetUpEpdPosition(e, line))
        return true;  // the refusal was reported; the game goes on unchanged
    e.shell.positionRefused = 0;
    e.shell.plyNumber = 1;
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
    if (e.shell.consoleMode)
        PrintEngineBoard(e);
    return true;
}

static bool CommandLoadnth(Engine& e) {
    StopSearchForCommand(e);
    return LoadNthCommand(e);
}

static bool CommandSave(Engine& e) {
    StopSearchForCommand(e);
    FILE* f = AskAndOpenFile("Enter a file name to save the position to:\n", "a");
    if (!f)
        return true;
    std::fprintf(f, "%s\n", PositionToEpd(e.pos));
    std::fprintf(f, "\n%s", DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
    std::fclose(f);
    return true;
}

static bool CommandTest(Engine& e) {
    StopSearchForCommand(e);
    return TestCommand(e);
}

static bool CommandTestgenSuite(Engine& e) {
    StopSearchForCommand(e);
    return TestgenSuiteCommand(e);
}

static bool CommandTestgen(Engine& e) {
    StopSearchForCommand(e);
    TestgenCommand(e);
    // The count made its moves in the records above the game: nothing there can be replayed.
    e.pos.lastGamePly = e.pos.currentPly;
    return true;
}

static bool CommandTree(Engine& e) {
    // The search writes to the file: it must not run while the file changes hands.
    StopSearchForCommand(e);
    if (FILE* open = e.search.treeDumpFile) {
        StopTreeDump(e);
        std::fclose(open);
        return true;
    }
    FILE* f = AskAndOpenFile("Enter a file name to save the tree to:\n", "a");
    if (!f)
        return true;
    std::fprintf(f, "\n%s", DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
    StartTreeDump(e, f);
    return true;
}

// Switches to the search named and says which one runs now.
static bool SwitchSearch(Engine& e, SearchKind kind) {
    StopSearchForCommand(e);
    ChooseSearch(e, kind);
    Print("Search: %s\n", SearchKindName(kind));
    return true;
}

static bool CommandClassic(Engine& e) {
    return SwitchSearch(e, SearchKind::Classic);
}

static bool CommandModern(Engine& e) {
    return SwitchSearch(e, SearchKind::Modern);
}

static bool CommandSearch(Engine& e) {
    // The running search uses the depth word for its iterations and restores it at the end.
    StopSearchForCommand(e);
    Print("Search Paramaters\n");
    Print("-----------------\n");
    Print(e.book.useBook ? "Book on.\n" : "Book off.\n");
    Print("Max. Full width depth: %d\n", int(e.search.searchDepth));
    Print("\nChange parameters (Y/N) ?:\n");
    if (!TakeYes())
        return true;
    Print("Use opening book(Y/N) ?\n");
    e.book.useBook = TakeYes() ? 1 : 0;
    Print("Enter full-width depth:\n");
    e.search.searchDepth = std::clamp(TakeInt(), 1, MaxDepthSetting);
    return true;
}

static bool CommandBeep(Engine& e) {
    e.shell.beepText[0] = e.shell.beepText[0] == '\a' ? '\0' : '\a';
    return true;
}

// Prints the sizes of the engine's tables, as one message: "mem" runs during a search,
// whose lines must not split the report.
static void ShowMemory(const Engine& e) {
    static constexpr int LineSize = 96;  // a label and three numbers of at most 20 digits
    char report[4 * LineSize];
    int used = 0;
    auto line = [&](const char* label, unsigned long long count, unsigned size) {
        used += std::snprintf(report + used, sizeof report - size_t(used),
                              "%s%llu x %u = %llu bytes.\n", label, count, size, count * size);
    };
    line("Trans. hash table: ", e.search.ttEntries, TransEntryBytes);
    line("Pawn hash table:   ", PawnHashEntries, PawnHashEntryBytes);
    line("Small book table:  ", SmallBookEntries, SmallBookEntryBytes);
    line("Big book table:    ", BigBookEntries, BigBookEntryBytes);
    Write(std::string_view(report, size_t(used)));
}

static bool CommandBench(Engine& e) {
    StopSearchForCommand(e);
    return BenchCommand(e);
}

static bool CommandMem(Engine& e) {
    ShowMemory(e);
    return true;
}

static bool CommandHash(Engine& e) {
    StopSearchForCommand(e);
    ShowMemory(e);
    Print("\nEnter maximum size (in mb) for main transpositions hash table:\n");
    ResizeHash(e, TakeInt());
    return true;
}

static bool CommandInfo(Engine& e) {
    e.shell.showSearchInfo = !e.shell.showSearchInfo;
    Print(e.shell.showSearchInfo ? "Search information turned on.\n"
                                 : "Search information turned off.\n");
    return true;
}

static bool CommandPv(Engine& e) {
    e.shell.post = !e.shell.post;
    Print(e.shell.post ? "Display PV during search turned on.\n"
                        : "Display PV during search turned off.\n");
    return true;
}

static bool CommandText(Engine& e) {
    if (e.shell.consoleMode) {
        e.shell.consoleMode = 0;
        return true;
    }
    e.shell.consoleMode = 1;
    PrintEngineBoard(e);
    return true;
}

static bool CommandEval(Engine& e) {
    StopSearchForCommand(e);  // the evaluation reads the position and the pawn hash
    Write(EvaluationReport(e));
    return true;
}

static bool CommandRefresh(Engine& e) {
    Write(DrawBoard(e.shell.display.board, e.shell.display.whiteToMove, 0));
    return true;
}

// The command words in the order they are tested.
static const Command commandTable[] = {
    {"help", Always, CommandHelp},
    {"help2", Always, CommandHelp2},
    {"protover", Always, CommandProtover},
    {"accepted", Always, CommandAccepted},
    {"rejected", Version2Only, CommandAccepted},
    {"ping", Version2Only, CommandPing},
    {"setboard", Version2Only, CommandSetboard},
    {"usermove", Version2Only, CommandUsermove},
    {"memory", Version2Only, CommandMemory},
    {"cores", Version2Only, CommandCores},
    {"exclude", Version2Only, CommandExclude},
    {"include", Version2Only, CommandInclude},
    {"option", Version2Only, CommandOption},
    {"draw", Version2Only, CommandNoEffect},  // a draw offer is declined by silence
    {"new", Always, CommandNew},
    {"reset", FritzOnly, CommandReset},
    {"fritz", Always, CommandFritz},
    {"name", XboardOnly, CommandName},
    {"rating", XboardOnly, CommandRating},
    {"result", XboardOnly, CommandResult},
    {"quit", Always, CommandQuit},
    {"exit", Always, CommandExit},
    {"?", Always, CommandMoveNow},
    {"go", Always, CommandGo},
    {"play", Always, CommandForce},
    {"force", Always, CommandForce},
    {"analyze", Always, CommandAnalyze},
    {".", Always, CommandStatus},
    {"xboard", Always, CommandXboard},
    {"black", XboardOnly, CommandNoEffect},
    {"white", XboardOnly, CommandNoEffect},
    {"random", XboardOnly, CommandNoEffect},
    {"computer", XboardOnly, CommandNoEffect},  // xboard says the opponent is an engine
    {"hard", Always, CommandHard},
    {"easy", Always, CommandEasy},
    {"invert", Always, CommandInvert},
    {"remove", Always, CommandRemove},
    {"undo", Always, CommandUndo},
    {"forward", Always, CommandForward},
    {"edit", Always, CommandEdit},
    {"load", Always, CommandLoad},
    {"loadnth", Always, CommandLoadnth},
    {"book", Always, CommandBook},
    {"build", Always, CommandBuild},
    {"loadgame", Always, CommandLoadGame},
    {"save", Always, CommandSave},
    {"test", Always, CommandTest},
    {"testgensuite", Always, CommandTestgenSuite},
    {"testgen", Always, CommandTestgen},
    {"tree", Always, CommandTree},
    {"search", Always, CommandSearch},
    {"classic", Always, CommandClassic},
    {"modern", Always, CommandModern},
    {"elo", Always, CommandElo},
    {"skill", Always, CommandSkill},
    {"seed", Always, CommandSeed},
    {"strength", Always, CommandStrength},
    {"sync", Always, CommandSync},
    {"level", Always, CommandLevel},
    {"sd", XboardOnly, CommandSd},
    {"st", XboardOnly, CommandSt},
    {"otim", XboardOnly, CommandOtim},
    {"time", Always, CommandTime},
    {"beep", Always, CommandBeep},
    {"bench", Always, CommandBench},
    {"mem", Always, CommandMem},
    {"hash", Always, CommandHash},
    {"info", Always, CommandInfo},
    {"pv", Always, CommandPv},
    {"post", Always, CommandPost},
    {"nopost", Always, CommandNopost},
    {"text", Always, CommandText},
    {"refresh", Always, CommandRefresh},
    {"ref", Always, CommandRefresh},
    {"eval", Always, CommandEval},
};

// True when the command's word is recognised in the current mode.
static bool Recognised(const Engine& e, const Command& c) {
    switch (c.mode) {
    case FritzOnly:
        return e.shell.fritzMode != 0;
    case XboardOnly:
        return e.shell.xboardMode != 0;
    case Version2Only:
        return e.shell.xboardVersion2 != 0;
    default:
        return true;
    }
}

int InterpretCommand(Engine& e, const char* token) {
    for (const Command& c : commandTable) {
        if (std::strcmp(token, c.word) != 0 || !Recognised(e, c))
            continue;
        if (c.handler(e) && e.shell.consoleMode)
            Print("Enter a move or command:\n");
        StartSearchAfterCommand(e);
        return 1;
    }
    return 0;
}
