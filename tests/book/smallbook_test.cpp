// Small book: compiling book text with its messages, and loading or rebuilding the image.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "book/bookimage.h"
#include "book/probe.h"
#include "book/smallbook.h"
#include "bookfiles.h"
#include "support.h"

static const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
static const char* const afterE4Fen = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3";

// Compiles book text into e's small book; returns what was printed.
static std::string Compile(Engine& e, const std::string& text) {
    FILE* f = std::tmpfile();
    std::fputs(text.c_str(), f);
    std::rewind(f);
    testing::internal::CaptureStdout();
    ReadSmallBookText(e, f);
    std::fclose(f);
    return testing::internal::GetCapturedStdout();
}

// The moves stored for a position, as from-to pairs "62-64 ...", or "none".
static std::string StoredMoves(Engine& e, const std::string& fen) {
    SetFen(e, fen);
    int slot = FindSmallBookEntry(e, false);
    if (slot < 0)
        return "none";
    std::string text;
    for (const BookMove& m : e.book.smallBook[slot].moves) {
        if (m.from == 0)
            break;
        text += std::to_string(m.from) + "-" + std::to_string(m.to) + " ";
    }
    return text;
}

static int OccupiedSlots(const Engine& e) {
    int n = 0;
    for (const SmallBookEntry& entry : e.book.smallBook)
        n += entry.moves[0].from != 0;
    return n;
}

TEST(SmallBook, HashLineEndsTheBook) {
    auto e = NewTestEngine();
    EXPECT_EQ(Compile(*e, std::string("#\n") + startFen + "\ne4\n"),
              "Reading opening book (kitebook.txt) ...\n\n0 positions read in.\n0 moves read in.\n");
    EXPECT_EQ(OccupiedSlots(*e), 0);
    EXPECT_EQ(Compile(*e, std::string(startFen) + "\ne4 d4\n# the end\n" + afterE4Fen + "\ne5\n"),
              "Reading opening book (kitebook.txt) ...\n\n1 positions read in.\n2 moves read in.\n");
    EXPECT_EQ(StoredMoves(*e, startFen), "62-64 52-54 ");
    EXPECT_EQ(StoredMoves(*e, afterE4Fen), "none");
}

TEST(SmallBook, CommentsBlankLinesAndMoveForms) {
    auto e = NewTestEngine();
    std::string out = Compile(*e,
                              "// the start\n"
                              "   \t// indented comment line\n" +
                                  std::string(startFen) + "  // position with a comment\n"
                                  "e2e4 Nf3\tc4 // three moves\n" +
                                  afterE4Fen + "\n"
                                  "\n"  // a blank line is a moves line: no moves
                                  "8/8/8/8/8/8/8/k6K w - -\n"
                                  "Kg2\n");
    EXPECT_EQ(out, "Reading opening book (kitebook.txt) ...\n\n3 positions read in.\n4 moves read in.\n");
    EXPECT_EQ(StoredMoves(*e, startFen), "62-64 81-73 42-44 ");
    EXPECT_EQ(StoredMoves(*e, afterE4Fen), "none");
    EXPECT_EQ(StoredMoves(*e, "8/8/8/8/8/8/8/k6K w - -"), "91-82 ");
    SetFen(*e, afterE4Fen);
    Move m = 0;
    EXPECT_EQ(ProbeBook(*e, &m), BookSource::None);  // the record without moves is no entry
}

TEST(SmallBook, OverflowIllegalMoveAndDuplicateMessages) {
    auto e = NewTestEngine();
    std::string out = Compile(*e, std::string(startFen) + "\n"
                                  "e4 d4 c4 Nf3 g3\n" +
                                  afterE4Fen + "\n"
                                  "c5 Ke2 e5\n" +
                                  startFen + "\n"
                                  "b3\n");
    EXPECT_EQ(out,
              "Reading opening book (kitebook.txt) ...\n"
              "Number of moves for a book position exceeded, line: 2.\n"
              "**** Illegal move in book, line: 4\n"
              "**** Duplicate position or hashing error!, line: 6.\n"
              "\n3 positions read in.\n8 moves read in.\n");
    EXPECT_EQ(StoredMoves(*e, startFen), "62-64 52-54 42-44 81-73 ");  // the first record wins
    EXPECT_EQ(StoredMoves(*e, afterE4Fen), "47-45 ");               // cut at the illegal move
    EXPECT_EQ(OccupiedSlots(*e), 3);
}

TEST(SmallBook, FullTableOverwritesTheSlotTheWalkEndsOn) {
    auto e = NewTestEngine();
    for (int i = 0; i < SmallBookSize; i++) {
        e->book.smallBook[i].keyLow = uint32_t(i);
        e->book.smallBook[i].moves[0] = BookMove{22, 23, 0};
    }
    std::string out = Compile(*e, std::string(startFen) + "\ne4\n");
    EXPECT_NE(out.find("**** Opening book hash table is full!\n"), std::string::npos);
    EXPECT_EQ(StoredMoves(*e, startFen), "62-64 ");
    EXPECT_EQ(OccupiedSlots(*e), SmallBookSize);
}

TEST(SmallBook, UnplayablePositionLineSkipsItsMoves) {
    auto e = NewTestEngine();
    std::string out = Compile(*e, std::string("8/8/8/8/8/8/8/8 w - -\ne4\n") + startFen + "\nd4\n");
    EXPECT_NE(out.find("**** Illegal position in book, line: 1\n"), std::string::npos);
    EXPECT_NE(out.find("\n1 positions read in.\n1 moves read in.\n"), std::string::npos);
    EXPECT_EQ(StoredMoves(*e, startFen), "52-54 ");
    EXPECT_EQ(OccupiedSlots(*e), 1);
}

// Loads the small book of a folder into a fresh Engine; returns what was printed.
static std::string Load(Engine& e, const std::string& folder) {
    testing::internal::CaptureStdout();
    LoadSmallBook(e, folder.c_str(), nullptr);
    return testing::internal::GetCapturedStdout();
}

TEST(SmallBook, ImageIsWrittenOnceAndRebuiltWhenDamaged) {
    std::string folder = ScratchFolder();
    auto e = NewTestEngine();
    EXPECT_EQ(Load(*e, folder), "--- ERROR: Cannot open book file ---\n");

    WriteFile(folder + "/kitebook.txt", std::string(startFen) + "\ne4 d4\n");
    EXPECT_EQ(Load(*e, folder),
              "Reading opening book (kitebook.txt) ...\n\n1 positions read in.\n2 moves read in.\n");
    EXPECT_EQ(long(ReadFile(folder + "/kitebook.bin").size()), SmallBookImageBytes);

    // Once the image exists the text is not read again.
    WriteFile(folder + "/kitebook.txt", "#\n");
    auto second = NewTestEngine();
    EXPECT_EQ(Load(*second, folder), "");
    EXPECT_EQ(StoredMoves(*second, startFen), "62-64 52-54 ");

    // A short or long image is reported and rebuilt from the text.
    WriteFile(folder + "/kitebook.txt", std::string(startFen) + "\nc4\n");
    for (long size : {SmallBookImageBytes - 1, SmallBookImageBytes + 1}) {
        std::string image = ReadFile(folder + "/kitebook.bin");
        image.resize(size_t(size));
        WriteFile(folder + "/kitebook.bin", image);
        auto third = NewTestEngine();
        EXPECT_EQ(Load(*third, folder),
                  "--- ERROR: " + folder + "/kitebook.bin is not 81920 bytes long, not used ---\n"
                  "Reading opening book (kitebook.txt) ...\n\n1 positions read in.\n1 moves read in.\n");
        EXPECT_EQ(StoredMoves(*third, startFen), "42-44 ");
        EXPECT_EQ(long(ReadFile(folder + "/kitebook.bin").size()), SmallBookImageBytes);
    }

    // An image that cannot be read is reported and the text compiled instead; the image
    // cannot be replaced either, which is said too.
    std::remove((folder + "/kitebook.bin").c_str());
    ASSERT_EQ(std::system(("mkdir '" + folder + "/kitebook.bin'").c_str()), 0);
    auto blocked = NewTestEngine();
    EXPECT_EQ(Load(*blocked, folder),
              "--- ERROR: Cannot read " + folder + "/kitebook.bin, not used ---\n"
              "Reading opening book (kitebook.txt) ...\n\n1 positions read in.\n1 moves read in.\n"
              "--- ERROR: Cannot write " + folder + "/kitebook.bin ---\n");
    EXPECT_EQ(StoredMoves(*blocked, startFen), "42-44 ");
    ASSERT_EQ(std::system(("rmdir '" + folder + "/kitebook.bin'").c_str()), 0);

    // A damaged image without a text leaves the book empty.
    std::remove((folder + "/kitebook.txt").c_str());
    WriteFile(folder + "/kitebook.bin", "x");
    auto fourth = NewTestEngine();
    EXPECT_EQ(Load(*fourth, folder),
              "--- ERROR: " + folder + "/kitebook.bin is not 81920 bytes long, not used ---\n"
              "--- ERROR: Cannot open book file ---\n");
    EXPECT_EQ(OccupiedSlots(*fourth), 0);
}

TEST(SmallBook, ShippedBookCompilesWithoutMessages) {
    std::string path = std::string(MOSSKITE_SOURCE_DIR) + "/kitebook.txt";
    FILE* f = std::fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr) << path;
    auto e = NewTestEngine();
    testing::internal::CaptureStdout();
    ReadSmallBookText(*e, f);
    std::string out = testing::internal::GetCapturedStdout();
    std::fclose(f);
    // Only the progress counts may stand between the first line and the totals.
    std::string head = "Reading opening book (kitebook.txt) ...\n";
    ASSERT_EQ(out.substr(0, head.size()), head);
    size_t totals = out.find("\n", head.size());
    std::string progress = out.substr(head.size(), totals - head.size());
    EXPECT_EQ(progress.find_first_not_of("0123456789 "), std::string::npos) << out;
    int positions = 0, moves = 0;
    ASSERT_EQ(std::sscanf(out.c_str() + totals, "\n%d positions read in.\n%d moves read in.",
                          &positions, &moves), 2) << out;
    EXPECT_GE(positions, 150);
    EXPECT_EQ(OccupiedSlots(*e), positions);
    RecordProperty("positions", positions);
    RecordProperty("moves", moves);
}
