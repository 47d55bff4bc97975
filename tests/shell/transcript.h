// Protocol transcripts: the lines an engine printed, compared with the lines expected. An
// expected line is literal text, or, after a leading "~", a regular expression that the
// whole line must match; patterns stand only for figures that depend on the machine or on
// the search (times, nodes, scores, the moves of a principal variation).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pattern.h"

// An iteration's UCI line at the given depth; the principal variation starts with the
// move pv0 when it is given, and is any line of moves otherwise. The score is in
// centipawns unless score gives it ("mate 2", "cp 0").
inline std::string UciInfoLine(int depth, const std::string& pv0 = "",
                               const std::string& score = "cp -?[0-9]+") {
    const std::string move = "[a-h][1-8][a-h][1-8][qrbn]?";
    return "~info depth " + std::to_string(depth) + " seldepth [0-9]+ score " + score +
           " nodes [0-9]+( nps [0-9]+)? time [0-9]+ hashfull [0-9]+ pv " +
           (pv0.empty() ? move : pv0) + "( " + move + ")*";
}

// A UCI line whose score is only a bound, printed when a window of the root search fails.
inline std::string UciBoundLine(int depth, const std::string& bound) {
    const std::string move = "[a-h][1-8][a-h][1-8][qrbn]?";
    return "~info depth " + std::to_string(depth) +
           " seldepth [0-9]+ score (cp|mate) -?[0-9]+ " + bound +
           " nodes [0-9]+( nps [0-9]+)? time [0-9]+ hashfull [0-9]+ pv " + move + "( " + move + ")*";
}

// True for a line with a bound.
inline bool IsUciBoundLine(const std::string& line) {
    return line.find(" lowerbound ") != std::string::npos ||
           line.find(" upperbound ") != std::string::npos;
}

// The UCI line naming the root move being searched, printed in the deeper iterations.
inline const std::string UciCurrentMoveLine =
    "~info currmove [a-h][1-8][a-h][1-8][qrbn]? currmovenumber [0-9]+";

// The UCI progress line printed every few seconds of a search: its presence depends on the
// speed of the machine, so transcripts leave it out.
inline bool IsUciProgressLine(const std::string& line) {
    return FullMatch(line, "info nodes [0-9]+ nps [0-9]+");
}

// True when the line is what the expected line asks for.
inline bool LineMatches(const std::string& line, const std::string& expected) {
    if (expected.empty() || expected[0] != '~')
        return line == expected;
    return FullMatch(line, expected.substr(1));
}

// Compares a transcript with the expected lines, progress lines left out, and shows both
// on a mismatch.
inline ::testing::AssertionResult TranscriptMatches(const std::vector<std::string>& lines,
                                                    const std::vector<std::string>& expected) {
    std::vector<std::string> got;
    for (const std::string& l : lines)
        if (!IsUciProgressLine(l))
            got.push_back(l);
    size_t n = std::max(got.size(), expected.size());
    for (size_t i = 0; i < n; i++) {
        if (i < got.size() && i < expected.size() && LineMatches(got[i], expected[i]))
            continue;
        std::string text = "first difference at line " + std::to_string(i + 1) + "\n--- got:\n";
        for (const std::string& l : got)
            text += "  " + l + "\n";
        text += "--- expected:\n";
        for (const std::string& l : expected)
            text += "  " + l + "\n";
        return ::testing::AssertionFailure() << text;
    }
    return ::testing::AssertionSuccess();
}
