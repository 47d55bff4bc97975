// State of the opening books held by the Engine.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

// ---- Opening book tables (small book and big book) ----

constexpr int SmallBookSize = 4096;   // records of the small book's hash table
constexpr int SmallBookMoves = 4;     // moves per small-book position
constexpr int BigBookSize = 32768;    // entries of the big book's hash table
constexpr int BigBookMoves = 5;       // moves per big-book position

// A book move as the book files store it.
struct BookMove {
    uint8_t from;       // 0 ends a move list
    uint8_t to;
    int8_t promotion;   // promotion PieceCode, 0 for none
};

// One position of the small book: its key and up to four moves.
struct SmallBookEntry {
    uint32_t keyLow;                      // low 32 bits of hashKey
    uint32_t keyHigh;                     // high 32 bits of hashKey
    BookMove moves[SmallBookMoves];       // the list ends at the first from-square 0
};

// One position of the big book: its key, up to five moves and how often each was played.
struct BigBookEntry {
    uint32_t keyLow;                      // low 32 bits of hashKey
    uint32_t keyHigh;                     // high 32 bits of hashKey
    BookMove moves[BigBookMoves];
    uint8_t counts[BigBookMoves];         // games that played each move; 0 ends the list
    uint8_t spare[4];                     // written as 0, never read
};

// ---- End of the opening book tables ----

struct BookData {
    int useBook = 1;          // 1 when book moves may be played
    // Entry of randomTable drawn last; -1 before the first draw. Atomic: the main thread (the
    // clock's early-game extension) and the search thread (a book move) may both draw.
    std::atomic<int32_t> randomIndex = -1;

    // ---- Opening book tables ----
    SmallBookEntry smallBook[SmallBookSize] = {};  // empty: every first from-square is 0
    std::unique_ptr<BigBookEntry[]> bigBook;       // BigBookSize entries, made with the Engine
};
