// The strict FEN check that interfaces' positions pass before they are set up.
#include <gtest/gtest.h>

#include <string>

#include "notation/fencheck.h"

// The defect named for a text, or "" when it is a well-formed FEN.
static std::string DefectOf(const char* text) {
    const char* defect = FenDefect(text);
    return defect ? defect : "";
}

TEST(FenCheck, WellFormedFens) {
    for (const char* fen : {
             "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
             "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
             "4k3/8/8/8/8/8/8/4K3 w - -",        // four fields, as EPD has them
             "4k3/8/8/8/8/8/8/4K3 b",            // castling and en passant left out
             "4k3/8/8/8/8/8/8/4K3 w kq - 12",    // one counter
             "  4k3/8/8/8/8/8/8/4K3   w   qK  -  0  99 ",
             "44/8/8/8/8/8/8/4K3 w - -",         // two digits for one run of empty squares
         })
        EXPECT_EQ(DefectOf(fen), "") << fen;
}

TEST(FenCheck, EachDefectIsNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "no position given"},
        {"   ", "no position given"},
        {"garbage", "invalid piece 'g' on rank 8"},
        {"rnbqkbnr/pppp0ppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -", "invalid piece '0' on rank 7"},
        {"rnbqkbnr/pppp9ppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -", "invalid piece '9' on rank 7"},
        {"rnbqkbnrp/8/8/8/8/8/8/4K3 w - -", "rank 8 has more than eight squares"},
        {"4k3/8/8/4P4/8/8/8/4K3 w - -", "rank 5 has more than eight squares"},
        {"4k3/7/8/8/8/8/8/4K3 w - -", "rank 7 has fewer than eight squares"},
        {"4k3/8/8/8/8/8/8/4K2 w - -", "rank 1 has fewer than eight squares"},
        {"4k3/8/8/8/8/8/8 w - -", "the board has fewer than eight ranks"},
        {"4k3/8/8/8/8/8/8/4K3/8 w - -", "the board has more than eight ranks"},
        {"4k3/8/8/8/8/8/8/4K3", "no side to move"},
        {"4k3/8/8/8/8/8/8/4K3 white - -", "invalid side to move 'white'"},
        {"4k3/8/8/8/8/8/8/4K3 w KQx -", "invalid castling field 'KQx'"},
        {"4k3/8/8/8/8/8/8/4K3 w KK -", "invalid castling field 'KK'"},
        {"4k3/8/8/8/8/8/8/4K3 w -K -", "invalid castling field '-K'"},
        {"4k3/8/8/8/8/8/8/4K3 w - e9", "invalid en-passant square 'e9'"},
        {"4k3/8/8/8/8/8/8/4K3 w - e4", "invalid en-passant square 'e4'"},
        {"4k3/8/8/8/8/8/8/4K3 w - i3", "invalid en-passant square 'i3'"},
        {"4k3/8/8/8/8/8/8/4K3 w - - x 1", "invalid move counter 'x'"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 -1", "invalid move counter '-1'"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1 moves", "text after the move counters"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1 e2e4 e7e5", "text after the move counters"},
        {"4k3/8/8/8/8/8/8/4K3 w - abcdefghijklmnopqrstuvwxyz",
         "invalid en-passant square 'abcdefghijklmnopqrst'"},
    };
    for (const auto& [text, defect] : cases)
        EXPECT_EQ(DefectOf(text), defect) << text;
}
