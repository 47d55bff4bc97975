// Running the real engine binary on a scripted standard input, in a scratch folder.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "notation/boardtext.h"
#include "search/tables.h"
#include "support.h"

// The starting position's text board with White to move, not inverted.
inline const std::string startBoard =
    "    _______________________\n"
    " 8 |br|bn|bb|bq|bk|bb|bn|br|\n"
    " 7 |bp|bp|bp|bp|bp|bp|bp|bp|\n"
    " 6 |__|__|__|__|__|__|__|__|\n"
    " 5 |__|__|__|__|__|__|__|__|\n"
    " 4 |__|__|__|__|__|__|__|__|\n"
    " 3 |__|__|__|__|__|__|__|__|\n"
    " 2 |WP|WP|WP|WP|WP|WP|WP|WP|\n"
    " 1 |WR|WN|WB|WQ|WK|WB|WN|WR|\n"
    "     a  b  c  d  e  f  g  h   White to play\n";

inline const std::string prompt = "Enter a move or command:\n";

// The Engine's text board of a position, drawn from Black's side when inverted.
inline std::string BoardOf(const std::string& fen, int inverted = 0) {
    auto e = NewTestEngine();
    EXPECT_TRUE(SetUpEpdPosition(*e, fen.c_str())) << fen;
    return DrawBoard(e->pos.board, e->pos.whiteToMove, inverted);
}

// What the engine prints first in a folder without book files.
inline const std::string noBookFiles =
    "--- No big book: cannot open kitebigb.bin ---\n"
    "--- ERROR: Cannot open book file ---\n";

// The same as xboard gets them: comments, which it ignores.
inline const std::string xboardNoBookFiles =
    "# --- No big book: cannot open kitebigb.bin ---\n"
    "# --- ERROR: Cannot open book file ---\n";

// What the console prints before the first command, in a folder without book files.
inline const std::string consoleBanner = noBookFiles +
    "\n----------------------------------\n"
    "mossKite version 10.88\n"
    "----------------------------------\n"
    "\ntype help for ... help!\n" +
    startBoard + prompt;

// A scratch folder that is removed with the object.
struct ScratchDir {
    std::string path;
    ScratchDir() {
        char name[] = "/tmp/mosskite-shell-XXXXXX";
        if (mkdtemp(name))
            path = name;
    }
    ~ScratchDir() {
        if (!path.empty())
            std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
}

// Runs a copy of the engine with arguments in folder dir (where its log file "mosskite.log"
// is written) on the given standard input; returns its standard output and sets status to
// its exit status.
inline std::string RunEngineIn(const ScratchDir& dir, const std::string& input,
                               const std::string& args = "", int* status = nullptr) {
    WriteWholeFile(dir.File("input.txt"), input);
    return RunCommand("cd '" + dir.path + "' && cp '" + EngineBinary() +
                          "' mosskite && ./mosskite " + args + " < input.txt",
                      status);
}

// Runs the engine in a fresh scratch folder.
inline std::string RunEngine(const std::string& input, const std::string& args = "",
                             int* status = nullptr) {
    ScratchDir dir;
    return RunEngineIn(dir, input, args, status);
}
