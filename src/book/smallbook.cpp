// Small book: compiling kitebook.txt, loading and saving its image.
#include "book/smallbook.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "book/bookimage.h"
#include "engine.h"
#include "notation/epd.h"
#include "notation/movetext.h"
#include "output.h"

static constexpr uint32_t SmallBookMask = SmallBookSize - 1;
static constexpr int BookLineLength = 1024;     // longer lines are cut, with a message
static constexpr int PositionsPerProgress = 50; // a count is printed after this many positions
static constexpr int MaxPathLength = 512;

int FindSmallBookEntry(const Engine& e, bool stopAtZeroKey) {
    const SmallBookEntry* book = e.book.smallBook;
    uint32_t low = uint32_t(e.pos.hashKey), high = uint32_t(e.pos.hashKey >> 32);
    uint32_t slot = low & SmallBookMask;
    for (int looked = 0; looked < SmallBookSize; looked++, slot = (slot + 1) & SmallBookMask) {
        const SmallBookEntry& entry = book[slot];
        if (entry.keyLow == low && entry.keyHigh == high)
            return entry.moves[0].from != 0 ? int(slot) : -1;
        if (entry.moves[0].from == 0)
            return -1;
        if (stopAtZeroKey && entry.keyLow == 0 && entry.keyHigh == 0)
            return -1;
    }
    return -1;
}

// Reads one line of any length, keeping its first size - 1 characters; sets cut when
// characters were dropped. Returns false at the end of the file.
static bool ReadBookLine(FILE* f, char* line, int size, bool& cut) {
    int length = 0, c;
    cut = false;
    while ((c = std::getc(f)) != EOF && c != '\n') {
        if (length < size - 1)
            line[length++] = char(c);
        else
            cut = true;
    }
    if (c == EOF && length == 0 && !cut)
        return false;
    if (length > 0 && line[length - 1] == '\r')
        length--;
    line[length] = '\0';
    return true;
}

// Stores the moves of a moves line for the current position in the next free slot.
static void StoreBookPosition(Engine& e, char* line, int lineNumber, int& movesRead) {
    SmallBookEntry* book = e.book.smallBook;
    uint32_t low = uint32_t(e.pos.hashKey), high = uint32_t(e.pos.hashKey >> 32);
    uint32_t slot = low & SmallBookMask;
    int looked = 0;
    while (looked < SmallBookSize && book[slot].moves[0].from != 0) {
        if (book[slot].keyLow == low && book[slot].keyHigh == high)
            Notice("**** Duplicate position or hashing error!, line: %d.\n", lineNumber);
        slot = (slot + 1) & SmallBookMask;
        looked++;
    }
    if (looked == SmallBookSize)
        Notice("**** Opening book hash table is full!\n");

    SmallBookEntry& entry = book[slot];
    entry.keyLow = low;
    entry.keyHigh = high;
    int stored = 0;
    for (char* word = std::strtok(line, " \t\r"); word; word = std::strtok(nullptr, " \t\r")) {
        if (stored == SmallBookMoves) {
            Notice("Number of moves for a book position exceeded, line: %d.\n", lineNumber);
            break;
        }
        Move m = ParseMove(e, word);
        if (MoveFrom(m) == 0) {
            Notice("**** Illegal move in book, line: %d\n", lineNumber);
            m = 0;
        }
        entry.moves[stored++] = BookMove{uint8_t(MoveFrom(m)), uint8_t(MoveTo(m)),
                                         int8_t(MovePromotion(m))};
        movesRead++;
    }
    if (stored < SmallBookMoves)
        entry.moves[stored].from = 0;
}

void ReadSmallBookText(Engine& e, FILE* f) {
    Notice("Reading opening book (kitebook.txt) ...\n");
    char line[BookLineLength];
    bool cut;
    int linesRead = 0, positionsRead = 0, movesRead = 0;
    bool positionLine = true;   // the next content line holds a position
    bool positionValid = false; // the last position line was accepted
    while (ReadBookLine(f, line, sizeof line, cut)) {
        linesRead++;
        if (line[0] == '#')
            break;
        char* comment = std::strstr(line, "//");
        if (cut && !comment)
            Notice("**** Book line too long, cut, line: %d\n", linesRead);
        if (comment) {
            *comment = '\0';
            if (std::all_of(line, comment, [](char c) { return c == ' ' || c == '\t'; }))
                continue;
        }
        if (positionLine) {
            // Hundreds of set-ups: clearing a large hash table for each would take seconds.
            positionValid = ReadEpdPosition(e.pos, line);
            if (positionValid) {
                positionsRead++;
                if (positionsRead % PositionsPerProgress == 0)
                    Notice("%d ", positionsRead);
            } else {
                Notice("**** Illegal position in book, line: %d\n", linesRead);
            }
        } else if (positionValid) {
            StoreBookPosition(e, line, linesRead, movesRead);
        }
        positionLine = !positionLine;
    }
    Notice("\n%d positions read in.\n%d moves read in.\n", positionsRead, movesRead);
}

// Builds folder/name into path; the working folder "." gives the bare name.
static void BookPath(char* path, const char* folder, const char* name) {
    if (std::strcmp(folder, ".") == 0)
        std::snprintf(path, MaxPathLength, "%s", name);
    else
        std::snprintf(path, MaxPathLength, "%s/%s", folder, name);
}

// Loads the image from folder/kitebook.bin; reports a damaged image in one line.
static ImageResult LoadImageFrom(Engine& e, const char* folder) {
    char path[MaxPathLength];
    BookPath(path, folder, SmallBookImageName);
    ImageResult result = LoadSmallBookImage(e.book.smallBook, path);
    if (result == ImageWrongSize)
        Notice("--- ERROR: %s is not %ld bytes long, not used ---\n", path, SmallBookImageBytes);
    else if (result == ImageUnreadable)
        Notice("--- ERROR: Cannot read %s, not used ---\n", path);
    return result;
}

// Opens folder/kitebook.txt for reading, or returns nullptr.
static FILE* OpenBookText(const char* folder) {
    char path[MaxPathLength];
    BookPath(path, folder, SmallBookTextName);
    return std::fopen(path, "r");
}

void LoadSmallBook(Engine& e, const char* folder, const char* fallbackFolder) {
    if (LoadImageFrom(e, folder) == ImageLoaded)
        return;
    if (fallbackFolder && LoadImageFrom(e, fallbackFolder) == ImageLoaded)
        return;
    FILE* text = OpenBookText(folder);
    if (!text && fallbackFolder)
        text = OpenBookText(fallbackFolder);
    if (!text) {
        Notice("--- ERROR: Cannot open book file ---\n");
        return;
    }
    ReadSmallBookText(e, text);
    std::fclose(text);
    // The image goes to the working folder; a folder that is not writable is no error.
    char path[MaxPathLength];
    BookPath(path, folder, SmallBookImageName);
    if (SaveSmallBookImage(e.book.smallBook, path) == ImageWriteFailed)
        Notice("--- ERROR: Cannot write %s ---\n", path);
}

void LoadStartupSmallBook(Engine& e) {
    LoadSmallBook(e, ".", DataFolder());
}
