// The strict FEN check: every field is read as the FEN standard writes it.
#include "notation/fencheck.h"

#include <cstdio>
#include <cstring>

static constexpr int BoardSize = 8;        // ranks, and squares in a rank
static constexpr int FenFields = 6;        // board, side, castling, en passant, two counters
static constexpr int QuotedLength = 20;    // a quoted field is cut after so many characters
static constexpr int DefectTextSize = 96;

static char defectText[DefectTextSize];

// One whitespace-separated field of the text.
struct Field {
    const char* start;
    int length;
};

static bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Splits the text into fields; returns how many there are, counting any beyond the room.
static int SplitFields(const char* text, Field* fields, int room) {
    int n = 0;
    const char* s = text;
    for (;;) {
        while (IsBlank(*s))
            s++;
        if (!*s)
            return n;
        const char* start = s;
        while (*s && !IsBlank(*s))
            s++;
        if (n < room)
            fields[n] = Field{start, int(s - start)};
        n++;
    }
}

// Returns the defect text made from a format with one quoted field.
static const char* Quoted(const char* format, const Field& f) {
    int length = f.length < QuotedLength ? f.length : QuotedLength;
    char quoted[QuotedLength + 1];
    std::memcpy(quoted, f.start, size_t(length));
    quoted[length] = '\0';
    std::snprintf(defectText, sizeof defectText, format, quoted);
    return defectText;
}

static bool IsPieceLetter(char c) {
    return c && std::strchr("PNBRQKpnbrqk", c) != nullptr;
}

// Checks the board field: eight ranks from the eighth down, each of exactly eight squares.
static const char* BoardDefect(const Field& f) {
    int rank = BoardSize;
    int squares = 0;
    for (int i = 0; i < f.length; i++) {
        char c = f.start[i];
        if (c == '/') {
            if (squares < BoardSize) {
                std::snprintf(defectText, sizeof defectText, "rank %d has fewer than eight squares", rank);
                return defectText;
            }
            if (rank == 1)
                return "the board has more than eight ranks";
            rank--;
            squares = 0;
            continue;
        }
        if (c >= '1' && c <= '8') {
            squares += c - '0';
        } else if (IsPieceLetter(c)) {
            squares++;
        } else {
            std::snprintf(defectText, sizeof defectText, "invalid piece '%c' on rank %d", c, rank);
            return defectText;
        }
        if (squares > BoardSize) {
            std::snprintf(defectText, sizeof defectText, "rank %d has more than eight squares", rank);
            return defectText;
        }
    }
    if (squares < BoardSize) {
        std::snprintf(defectText, sizeof defectText, "rank %d has fewer than eight squares", rank);
        return defectText;
    }
    if (rank > 1)
        return "the board has fewer than eight ranks";
    return nullptr;
}

// True for "-" or for castling letters, each of K, Q, k and q at most once.
static bool CastlingWellFormed(const Field& f) {
    if (f.length == 1 && f.start[0] == '-')
        return true;
    static constexpr char letters[] = "KQkq";
    bool seen[4] = {};
    for (int i = 0; i < f.length; i++) {
        const char* at = std::strchr(letters, f.start[i]);
        if (!f.start[i] || !at || seen[at - letters])
            return false;
        seen[at - letters] = true;
    }
    return f.length > 0;
}

// True for "-" or a square on the third or sixth rank, the only ones a double step passes.
static bool EnPassantWellFormed(const Field& f) {
    if (f.length == 1 && f.start[0] == '-')
        return true;
    return f.length == 2 && f.start[0] >= 'a' && f.start[0] <= 'h'
        && (f.start[1] == '3' || f.start[1] == '6');
}

// True for a decimal number of at most nine digits.
static bool CounterWellFormed(const Field& f) {
    if (f.length < 1 || f.length > 9)
        return false;
    for (int i = 0; i < f.length; i++)
        if (f.start[i] < '0' || f.start[i] > '9')
            return false;
    return true;
}

const char* FenDefect(const char* text) {
    Field fields[FenFields];
    int n = SplitFields(text ? text : "", fields, FenFields);
    if (n == 0)
        return "no position given";
    if (const char* defect = BoardDefect(fields[0]))
        return defect;
    if (n < 2)
        return "no side to move";
    if (fields[1].length != 1 || (fields[1].start[0] != 'w' && fields[1].start[0] != 'b'))
        return Quoted("invalid side to move '%s'", fields[1]);
    if (n > 2 && !CastlingWellFormed(fields[2]))
        return Quoted("invalid castling field '%s'", fields[2]);
    if (n > 3 && !EnPassantWellFormed(fields[3]))
        return Quoted("invalid en-passant square '%s'", fields[3]);
    for (int k = 4; k < n && k < FenFields; k++)
        if (!CounterWellFormed(fields[k]))
            return Quoted("invalid move counter '%s'", fields[k]);
    if (n > FenFields)
        return "text after the move counters";
    return nullptr;
}
