// Helpers shared by the tests: an Engine per test and checked position set-up.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "board/poscheck.h"
#include "engine.h"
#include "search/tables.h"
#include "shell/thinking.h"

// Creates an Engine with a small transposition table, set to the starting position.
inline std::unique_ptr<Engine> NewTestEngine() {
    auto e = CreateEngine(1);
    e->search.report = ThinkingReport;  // reports as the console and xboard show them
    SetUpStartPosition(*e, 1);
    return e;
}

// Sets a position that must be accepted, and checks every derived field.
inline void SetFen(Engine& e, const std::string& fen) {
    ASSERT_TRUE(SetUpEpdPosition(e, fen.c_str())) << fen;
    ASSERT_EQ(CheckPosition(e.pos), "") << fen;
}

// True when m is a legal move of the current position (whose list this regenerates).
inline bool IsLegal(Engine& e, Move m) {
    GenerateMoves(e.pos);
    const PlyRecord* r = e.pos.currentPly;
    for (int i = 0; i < r->moveCount; i++)
        if (EntryMove(r->moves[i]) == m)
            return true;
    return false;
}

// Switches off, for its scope, the consistency check that the test build makes after every
// make, unmake, null move and set-up: long perft and search runs would spend most of their
// time in it. The switch goes back to what it was.
struct PositionChecksOff {
    bool was = PositionChecks();
    PositionChecksOff() { SetPositionChecks(false); }
    ~PositionChecksOff() { SetPositionChecks(was); }
    PositionChecksOff(const PositionChecksOff&) = delete;
    PositionChecksOff& operator=(const PositionChecksOff&) = delete;
};

// Runs a shell command and returns its standard output.
std::string RunCommand(const std::string& command, int* status = nullptr);

// Path of the engine binary built with the tests.
inline std::string EngineBinary() { return MOSSKITE_BINARY; }

// File of the test material kept in the repository (tests/data/): positions with their
// perft counts, EPD positions and PGN games.
inline std::string TestDataPath(const std::string& name) {
    return std::string(MOSSKITE_SOURCE_DIR) + "/tests/data/" + name;
}

// The positions of an EPD file: each line's fields before its first operation.
std::vector<std::string> ReadEpdFens(const std::string& path);

// Folder of the larger shared material (suites, perft data, PGN collections) when it is
// there: $MOSSKITE_SHARED, else ../shared beside the source tree; "" when neither holds it.
// Tests run on the repository's own material first and add the shared runs on top.
std::string SharedDir();
