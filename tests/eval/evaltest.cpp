// Helpers of the evaluation tests.
#include "evaltest.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

#include "eval/evaluate.h"
#include "eval/pawnhash.h"

std::string FlipFen(const std::string& fen) {
    std::istringstream in(fen);
    std::string board, side, castling, ep, rest, word;
    in >> board >> side >> castling >> ep;
    while (in >> word)
        rest += " " + word;
    std::vector<std::string> ranks;
    std::stringstream rows(board);
    std::string row;
    while (std::getline(rows, row, '/'))
        ranks.push_back(row);
    std::reverse(ranks.begin(), ranks.end());
    std::string flipped;
    for (size_t i = 0; i < ranks.size(); i++) {
        for (char c : ranks[i])
            flipped += std::isupper(uint8_t(c)) ? char(std::tolower(uint8_t(c)))
                                                : char(std::toupper(uint8_t(c)));
        if (i + 1 < ranks.size())
            flipped += '/';
    }
    std::string rights;
    for (char c : std::string("KQkq")) {
        char mirror = std::isupper(uint8_t(c)) ? char(std::tolower(uint8_t(c)))
                                               : char(std::toupper(uint8_t(c)));
        if (castling.find(mirror) != std::string::npos)
            rights += c;
    }
    if (rights.empty())
        rights.push_back('-');
    if (ep != "-" && ep.size() == 2)
        ep[1] = char('1' + ('8' - ep[1]));
    return flipped + " " + (side == "w" ? "b" : "w") + " " + rights + " " + ep + rest;
}

int WhiteEval(Engine& e) {
    int s = Evaluate(e);
    return e.pos.whiteToMove ? s : -s;
}

EvalTrace TraceEval(Engine& e) {
    EvalTrace trace = {};
    e.eval.trace = &trace;
    Evaluate(e);
    e.eval.trace = nullptr;
    return trace;
}

const PawnHashEntry& PawnEntry(Engine& e) {
    return ProbePawnHash(e);
}
