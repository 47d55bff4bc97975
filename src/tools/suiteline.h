// Suite files: lines read whole, their record types, and the move lists they carry.
#pragma once

#include <cstdio>
#include <string_view>

// Bytes of a suite line buffer; a longer line is skipped whole and reported.
constexpr int SuiteLineCapacity = 4096;

// Outcome of reading one suite line.
enum class SuiteLineRead { Line, TooLong, End };

// Record types of a suite line.
enum class SuiteLineKind {
    Return,       // "rtrn": end of the suite
    Noop,         // "noop": ignored
    Empty,        // nothing but blanks: ignored
    Echo,         // "echo": print the rest of the line
    SetPosition,  // "svfe": set the position from the rest of the line
    Search,       // "srch": search the current position; the line lists the accepted moves
    BestMoves,    // EPD line with " bm": position, then the best moves up to ";"
    AvoidMoves,   // EPD line with " am" and no " bm": position, then moves to avoid up to ";"
    Unknown       // anything else aborts a test run
};

// Reads the next line of a suite into buffer (SuiteLineCapacity bytes) without its line end
// ("\n" or "\r\n"). A line that does not fit is read to its end and reported as TooLong.
SuiteLineRead ReadSuiteLine(FILE* file, char* buffer);

// Returns the record type of a line, by its first four characters or its EPD operations.
SuiteLineKind ClassifySuiteLine(const char* line);

// Returns the text of a record after its five-character head ("svfe ", "echo "), or "".
const char* RecordText(const char* line);

// The EPD operation " bm" or " am" of a line, split into the position before it and the
// move list after it up to the ";".
struct EpdMoveOperation {
    std::string_view position;  // text before the operation
    std::string_view moves;     // text between "bm"/"am" and ";"
    bool terminated;            // false when no ";" follows the operation
};

// Splits an EPD line at its first " bm", or at " am" when it has no " bm".
EpdMoveOperation SplitEpdMoves(const char* line);

// True when move occurs in list as a whole word: a blank before it, and a blank or the end
// of the list after it.
bool ListsMove(std::string_view list, std::string_view move);
