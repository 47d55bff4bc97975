// Test runs through the real binary: "-test" at a fixed depth with its result file, the
// abort messages, "am" scoring and files that do not open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "pattern.h"
#include "support.h"

// A scratch folder for one engine run, removed with the object.
struct RunFolder {
    std::string path;
    RunFolder() {
        char name[] = "/tmp/mosskite-suite-XXXXXX";
        if (mkdtemp(name))
            path = name;
    }
    ~RunFolder() {
        if (!path.empty())
            std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(File(name)) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Runs the engine here with arguments and standard input; returns its output.
    std::string Run(const std::string& args, const std::string& input, int* status) const {
        Write("input.txt", input);
        return RunCommand("cd '" + path + "' && '" + EngineBinary() + "' " + args +
                              " < input.txt",
                          status);
    }
};

static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream s(text);
    for (std::string line; std::getline(s, line);)
        lines.push_back(line);
    return lines;
}

// The lone-rook mate Ra8# (or Ra1# for Black) in every form the runner reads.
static const std::string mateSuite =
    "echo mossKite check\n"
    "svfe 6k1/5ppp/8/8/8/8/8/R5K1 w - -\n"
    "srch Ra8#\n"
    "noop\n"
    "\n"
    "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Ra8#; id \"" + std::string(300, 'x') + "\";\n"
    "8/8/8/8/8/5k2/8/8 w - - bm Kf1;\n"          // no White king: skipped, not counted
    "6k1/5ppp/8/8/8/8/8/R5K1 w - - am Ra8#;\n"   // the engine plays the avoided move
    "6k1/5ppp/8/8/8/8/8/R5K1 w - - am Ra7 Rb1;\n"
    "r5k1/8/8/8/8/8/5PPP/6K1 b - - bm Ra1#;\n"
    "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Ra8;\n"    // without its mate sign: another move
    "rtrn\n"
    "not a suite line\n";

TEST(TestSuite, FixedDepthRunWritesTheResultFile) {
    RunFolder dir;
    dir.Write("mates.epd", mateSuite);
    int status = -1;
    std::string out = dir.Run("-hash 1 -test mates.epd results.txt 60 3", "", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.find("mossKite version"), std::string::npos);  // no console banner
    EXPECT_NE(out.find("mossKite check\n"), std::string::npos);
    EXPECT_NE(out.find("Suite position skipped: the set-up refused it\n"), std::string::npos);
    EXPECT_NE(out.find("Correct!\nTime taken = "), std::string::npos);
    EXPECT_NE(out.find("Incorrect\nTime taken = "), std::string::npos);
    EXPECT_NE(out.find("4 solved correctly out of 6 positions.\n\n*** Test Finished ***\n"
                       "4 solved correctly out of 6 positions.\nTotal nodes: "),
              std::string::npos)
        << out;

    const char* verdicts[] = {"  Correct! ", "  Correct! ", "  Incorrect", "  Correct! ",
                              "  Correct! ", "  Incorrect"};
    const char* moves[] = {"1. Ra8#       White mates in 1     ",
                           "1. Ra8#       White mates in 1     ",
                           "1. Ra8#       White mates in 1     ",
                           "1. Ra8#       White mates in 1     ",
                           "1. .. Ra1#    Black mates in 1     ",
                           "1. Ra8#       White mates in 1     "};
    std::vector<std::string> lines = Lines(dir.Read("results.txt"));
    ASSERT_GE(lines.size(), 7u + 6 * 4 + 21) << dir.Read("results.txt");
    EXPECT_EQ(lines[0], "******* mossKite Version 10.88 *******");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "   Running test file mates.epd");
    EXPECT_EQ(lines[3], "   Max. time per move: 60sec");
    EXPECT_EQ(lines[4], "   Max. nodes per move: 0");
    EXPECT_EQ(lines[5], "   Max. Full width depth: 3");
    EXPECT_TRUE(FullMatch(lines[6], "   Transposition table size: [0-9]+ bytes"))
        << lines[6];
    EXPECT_EQ(lines[7], "");
    const std::string figures = " *[0-9]+sec *[0-9]+\\.[0-9]+ply";
    for (int i = 0; i < 6; i++) {
        const std::string* record = &lines[8 + 4 * i];
        char head[32];
        std::snprintf(head, sizeof head, "Position %4d   ", i + 1);
        std::string used = head + std::string(moves[i]) + "Used:";
        EXPECT_EQ(record[0].substr(0, used.size()), used) << i;
        EXPECT_TRUE(FullMatch(record[0].substr(used.size()), figures)) << record[0];
        std::string found = verdicts[i] + std::string(36, ' ') + "Found in:";
        EXPECT_EQ(record[1].substr(0, found.size()), found) << record[1];
        EXPECT_TRUE(FullMatch(record[1].substr(found.size()), figures)) << record[1];
        EXPECT_EQ(record[2].substr(0, 9), i == 4 ? "  PV: Ra1" : "  PV: Ra8") << record[2];
        EXPECT_TRUE(FullMatch(record[3], "Nodes: [1-9][0-9]*")) << record[3];
    }
    const std::string* summary = &lines[8 + 4 * 6];
    EXPECT_EQ(summary[0], "");
    EXPECT_EQ(summary[1], "4 solved correctly out of 6 positions.");
    EXPECT_EQ(summary[2], "");
    const char* labels[] = {"Total time:", "Total of move times:", "Max time used on a position:",
                            "Mean time per position:", "Total Nodes:", "Quies. Nodes:",
                            "Fail Highs:", "First Move Fail Highs:", "2nd   Move Fail Highs:",
                            "Hash Hits:", "Pawn Hash Hits:", "Nodes/second:", "Sum Solved Times:",
                            "Sum Solved Times Squared:"};
    for (int i = 0; i < 14; i++) {
        std::string label = labels[i];
        label.resize(31, ' ');
        EXPECT_EQ(summary[3 + i].substr(0, 31), label) << summary[3 + i];
    }
    EXPECT_EQ(summary[17], "");
    EXPECT_EQ(summary[18], "Ply Summary:");
    EXPECT_TRUE(FullMatch(summary[19], "(([1-9]): [0-9]+, ){9}")) << summary[19];
    EXPECT_EQ(summary[20], "Time Summary:");
    EXPECT_TRUE(FullMatch(summary[21], "5s: [0-9], 10s: [0-9], 20s: [0-9], 30s: [0-9], "))
        << summary[21];
}

TEST(TestSuite, MalformedLinesAbortWithTheSummary) {
    const char* const cases[][2] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Ra8# id \"open\"\n",
         "Can't parse best moves on epd line, aborting test suite\n"},
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - am Ra7\n",
         "Can't parse avoid moves on epd line, aborting test suite\n"},
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - id \"neither\";\n",
         "6k1/5ppp/8/8/8/8/8/R5K1 w - - id \"neither\";\nUnrecognized line type, aborting test suite\n"},
    };
    for (const auto& c : cases) {
        RunFolder dir;
        dir.Write("bad.epd", "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Ra8#;\n" + std::string(c[0]) +
                                 "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm Ra8#;\n");
        int status = -1;
        std::string out = dir.Run("-hash 1 -test bad.epd results.txt 60 2", "", &status);
        EXPECT_EQ(status, 0);
        EXPECT_NE(out.find(std::string(c[1]) + "*** Test Finished ***\n"
                           "1 solved correctly out of 1 positions.\n"),
                  std::string::npos)
            << out;
        EXPECT_NE(dir.Read("results.txt").find("\n1 solved correctly out of 1 positions.\n\n"),
                  std::string::npos);
    }
}

TEST(TestSuite, FilesThatDoNotOpenEndWithStatusOne) {
    RunFolder dir;
    dir.Write("mates.epd", mateSuite);
    int status = -1;
    const std::string error = "--- ERROR: Cannot open file ---\n";
    std::string out = dir.Run("-test missing.epd results.txt 5 3", "", &status);
    EXPECT_EQ(out.substr(out.size() - std::min(out.size(), error.size())), error) << out;
    EXPECT_EQ(status, 1);
    out = dir.Run("-test mates.epd no/such/folder/results.txt 5 3", "", &status);
    EXPECT_EQ(out.substr(out.size() - std::min(out.size(), error.size())), error) << out;
    EXPECT_EQ(status, 1);
    // The result file is appended to, run after run.
    dir.Run("-hash 1 -test mates.epd results.txt 60 2", "", &status);
    dir.Run("-hash 1 -test mates.epd results.txt 60 2", "", &status);
    std::string results = dir.Read("results.txt");
    EXPECT_NE(results.find("******* mossKite Version 10.88 *******"),
              results.rfind("******* mossKite Version 10.88 *******"));
}
