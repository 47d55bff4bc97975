// The strength options through the real binary: UCI, xboard and the console read and
// refuse them alike, a seeded limited engine repeats its moves, and "stop" ends a limited
// search's wait for its clock at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "enginepipe.h"
#include "enginerun.h"
#include "search/strength.h"
#include "transcript.h"

namespace {

// An engine in UCI mode with its identification read.
struct Uci : EnginePipe {
    Uci() {
        Send("uci");
        WaitFor("uciok");
    }
    // The move of the "bestmove" line that answers a "go" line.
    std::string Go(const std::string& go) {
        Send(go);
        const std::string line = WaitFor("bestmove");
        return line.substr(9, line.find(' ', 9) - 9);
    }
};

// The console's output for an input, without the start-up notices, banner and board.
std::string Console(const std::string& input) {
    const std::string out = RunEngine(input);
    return out.substr(consoleBanner.size());
}

// The level of an Elo as the console shows it.
std::string LevelText(int elo) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", LevelOfElo(elo));
    return text;
}

const std::string topElo = std::to_string(StrengthEloMax);
const std::string noSeed = "Seed: 0 (each game draws one from the clock)\n";

TEST(StrengthOptions, UciReadsRefusesAndClamps) {
    Uci u;
    u.Send("setoption name UCI_Elo value strong");
    u.Send("setoption name Skill Level value");
    u.Send("setoption name UCI_LimitStrength value maybe");
    u.Send("setoption name Seed value -1");              // below the range: 0
    u.Send("setoption name UCI_Elo value 9999");         // above the range: the top
    u.Send("setoption name uci_limitstrength value 1");  // as polyglot forwards a check
    u.Send("setoption name skill level value 3");
    u.Send("isready");
    EXPECT_TRUE(TranscriptMatches(u.LinesThrough("readyok"),
                                  {"info string Invalid value for UCI_Elo: strong",
                                   "info string Invalid value for Skill Level: ",
                                   "info string Invalid value for UCI_LimitStrength: maybe",
                                   "readyok"}));
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
    // The limit at the top Elo is full strength, so the log names level 20.
    EXPECT_NE(u.Log().find("Strength: limit 1, Elo " + topElo + ", skill 3, seed 0: level 20.00\n"),
              std::string::npos)
        << u.Log();
}

TEST(StrengthOptions, SeededLimitedEngineRepeatsItsMoves) {
    // Two runs with the same seed play the same two games; the level's node budget ends
    // each search long before the depth asked for.
    std::vector<std::string> games[2];
    for (auto& moves : games) {
        Uci u;
        u.Send("setoption name UCI_LimitStrength value true");
        u.Send("setoption name UCI_Elo value 1500");
        u.Send("setoption name Seed value 12345");
        u.Send("setoption name OwnBook value false");
        for (int game = 0; game < 2; game++) {
            u.Send("ucinewgame");
            std::string line = "position startpos moves";
            for (int ply = 0; ply < 8; ply++) {
                u.Send(line);
                moves.push_back(u.Go("go depth 40"));
                line += " " + moves.back();
            }
        }
        u.Send("quit");
        EXPECT_EQ(u.Finish(), 0);
    }
    EXPECT_EQ(games[0], games[1]);
}

TEST(StrengthOptions, StopEndsTheWaitForTheClock) {
    // On a clock or a time a move, a limited engine holds its move for most of the move's
    // time; "stop" answers at once (the wait for this move time, far beyond the pipe's
    // guard, would otherwise fail here).
    Uci u;
    u.Send("setoption name Skill Level value 0");
    u.Send("setoption name OwnBook value false");
    u.Send("position startpos moves d2d4");
    u.Send("go movetime 800000");
    u.WaitFor("info depth 1");
    u.Send("stop");
    EXPECT_EQ(u.WaitFor("bestmove").substr(0, 9), "bestmove ");
    u.Send("quit");
    EXPECT_EQ(u.Finish(), 0);
}

// The version 2 features with the strength settings given.
std::string Features(const std::string& limit, const std::string& elo, const std::string& skill,
                     const std::string& seed) {
    return "feature option=\"Search -combo *Classic /// Modern\"\n"
           "feature option=\"UCI_LimitStrength -check " + limit + "\"\n"
           "feature option=\"UCI_Elo -spin " + elo + " 1400 " + topElo + "\"\n"
           "feature option=\"Skill Level -spin " + skill + " 0 20\"\n"
           "feature option=\"Seed -spin " + seed + " 0 2147483647\"\n"
           "feature ping=1 setboard=1 usermove=1 sigint=0 sigterm=0 analyze=1 "
           "myname=\"mossKite 10.88\" memory=1 smp=1 exclude=1 done=1\n";
}

TEST(StrengthOptions, XboardAnnouncesCurrentValuesAndRefusesBadOnes) {
    const std::string out = WithoutStartupNotices(
        RunEngine("xboard\nprotover 2\noption UCI_Elo=1500\noption UCI_LimitStrength=1\n"
                  "option Skill Level=4\noption Seed=77\noption UCI_Elo=weak\n"
                  "option UCI_LimitStrength=yes\noption Skill Level=\nprotover 2\nquit\n"));
    EXPECT_EQ(out, Features("0", topElo, "20", "0") +
                       "Error (bad value): UCI_Elo=weak\n"
                       "Error (bad value): UCI_LimitStrength=yes\n"
                       "Error (bad value): Skill Level=\n" +
                       Features("1", "1500", "4", "77"));
}

TEST(StrengthOptions, XboardLimitedGameMovesOnItsClock) {
    EnginePipe x;
    for (const char* line : {"xboard", "protover 2", "option UCI_LimitStrength=1",
                             "option UCI_Elo=1400", "new", "level 0 0:10 0", "time 1000",
                             "otim 1000", "usermove e2e4"})
        x.Send(line);
    EXPECT_EQ(x.WaitFor("move ").substr(0, 5), "move ");
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(StrengthOptions, ConsoleCommandsSetAndShow) {
    EXPECT_EQ(Console("strength\nelo 1600\nelo 1000\nelo strong\nelo off\nskill 5\n"
                      "seed 9\nseed x\nstrength\nquit\n"),
              "Strength: full\n" + noSeed + prompt +
                  "Strength: Elo 1600 (level " + LevelText(1600) + " of 20)\n" + noSeed + prompt +
                  "Strength: Elo 1400 (level " + LevelText(1400) + " of 20)\n" + noSeed + prompt +
                  "Usage: elo N (1400 to " + topElo + ") or elo off\n" + prompt +
                  "Strength: full\n" + noSeed + prompt +
                  "Strength: Skill Level 5 of 20\n" + noSeed + prompt +
                  "Strength: Skill Level 5 of 20\nSeed: 9\n" + prompt +
                  "Usage: seed N (0 to 2147483647; 0 draws each game's seed from the clock)\n" +
                  prompt + "Strength: Skill Level 5 of 20\nSeed: 9\n" + prompt);
}

}  // namespace
