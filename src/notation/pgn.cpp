// PGN reader: tag pairs and brace comments are skipped (a FEN tag sets the starting position),
// move numbers are read past, and every other word is a move to play or a result that ends
// the game.
#include "notation/pgn.h"

#include <cctype>
#include <cstring>

#include "board/gameline.h"
#include "board/setup.h"
#include "engine.h"
#include "notation/epd.h"
#include "notation/movetext.h"
#include "output.h"

static constexpr int MaxWordLength = 127;  // longer words are kept cut: no move is that long
static constexpr int MaxTagLength = 255;   // tag lines are kept cut: a FEN is far shorter
static constexpr char FenTag[] = "FEN \"";  // a FEN tag line after its "["

// One word of movetext: the characters between two blanks or line ends.
struct PgnWord {
    char text[MaxWordLength + 1];  // the word, cut to MaxWordLength characters
    char first;                    // first and last character of the whole word
    char last;
};

// Where the reader stands between two words.
struct ReaderState {
    bool lineStart = true;      // the next character begins a line
    bool movetextSeen = false;  // a word of this game was read
    int commentDepth = 0;       // open brace comments
    bool setUp = false;         // a FEN tag gave the game's starting position, in fen
    char fen[MaxTagLength + 1]; // the FEN tag's value
};

enum WordResult { GotWord, AtEndOfFile, AtNextGame };

// Bytes of a UTF-8 byte-order mark, skipped at the start of a line.
static bool IsByteOrderMark(int c) { return c == 0xEF || c == 0xBB || c == 0xBF; }

// Reads up to the end of the line; returns false at the end of the file.
static bool SkipLine(FILE* f) {
    int c;
    while ((c = std::getc(f)) != EOF && c != '\n') {
    }
    return c != EOF;
}

// Reads the rest of a tag line, whose "[" was read, and keeps the value of a FEN tag.
// Returns false at the end of the file.
static bool ReadTagLine(FILE* f, ReaderState& s) {
    char line[MaxTagLength + 1];
    int length = 0, c;
    while ((c = std::getc(f)) != EOF && c != '\n') {
        if (length < MaxTagLength)
            line[length++] = char(c);
    }
    line[length] = '\0';
    constexpr int prefix = sizeof FenTag - 1;
    if (std::strncmp(line, FenTag, prefix) == 0) {
        const char* end = std::strchr(line + prefix, '"');
        int valueLength = end ? int(end - line) - prefix : length - prefix;
        std::memcpy(s.fen, line + prefix, size_t(valueLength));
        s.fen[valueLength] = '\0';
        s.setUp = true;
    }
    return c != EOF;
}

// Reads the next word, skipping tag lines. A tag line after the game's movetext belongs to
// the next game: the reader stops before it. Lines are never cut, whatever their length.
static WordResult NextWord(FILE* f, ReaderState& s, PgnWord& w) {
    for (;;) {
        int c = std::getc(f);
        if (c == EOF)
            return AtEndOfFile;
        if (s.lineStart) {
            if (IsByteOrderMark(c))
                continue;
            if (c == '[' && s.commentDepth == 0) {
                if (s.movetextSeen) {
                    std::ungetc(c, f);
                    return AtNextGame;
                }
                if (!ReadTagLine(f, s))
                    return AtEndOfFile;
                continue;
            }
            s.lineStart = false;
        }
        if (c == '\n') {
            s.lineStart = true;
            continue;
        }
        if (std::isspace(c))
            continue;
        int length = 0;
        w.first = char(c);
        do {
            if (length < MaxWordLength)
                w.text[length++] = char(c);
            w.last = char(c);
            c = std::getc(f);
        } while (c != EOF && !std::isspace(c));
        w.text[length] = '\0';
        if (c != EOF)
            std::ungetc(c, f);  // leave the file just after the word
        return GotWord;
    }
}

static bool IsResult(const char* word) {
    return std::strcmp(word, "1-0") == 0 || std::strcmp(word, "0-1") == 0 ||
           std::strcmp(word, "1/2-1/2") == 0 || std::strcmp(word, "*") == 0;
}

// Castling written with zeros (0-0, 0-0-0) becomes the letter O the move reader knows.
static void SpellCastlingWithLetters(char* move) {
    if (std::strncmp(move, "0-0", 3) != 0)
        return;
    move[0] = move[2] = 'O';
    if (std::strncmp(move + 3, "-0", 2) == 0)
        move[4] = 'O';
}

int ReadPgnGame(Engine& e, FILE* f, PgnGame* game) {
    PgnGame local;
    PgnGame& g = game ? *game : local;
    g.playedPlies = 0;
    g.endOfFile = 0;
    SetInitialPosition(e.pos);

    ReaderState s;
    PgnWord w;
    for (;;) {
        WordResult result = NextWord(f, s, w);
        if (result == AtEndOfFile)
            g.endOfFile = 1;
        if (result != GotWord)
            return g.playedPlies;
        // A game from a set-up position: its moves are played from there, not from the
        // standard start. A position the engine cannot play from ends the game.
        if (!s.movetextSeen && s.setUp && !ReadEpdPosition(e.pos, s.fen))
            return -1;
        s.movetextSeen = true;

        // Brace comments: a word opening one, every word inside, the word closing it.
        if (s.commentDepth > 0) {
            if (w.last == '}')
                s.commentDepth--;
            continue;
        }
        if (w.first == '{') {
            if (w.last != '}')
                s.commentDepth++;
            continue;
        }
        if (IsResult(w.text))
            return g.playedPlies;

        // Move numbers: 12, 12. and 12... are skipped; 12.Nf3 and 12...Nf6 hold a move after
        // the dots (exporters number Black's moves with three dots after comments and
        // variations, glued to the move or not).
        char* move = w.text;
        if (std::isdigit(static_cast<unsigned char>(w.first)) && std::strncmp(move, "0-0", 3) != 0) {
            char* dot = std::strchr(move, '.');
            if (!dot)
                continue;
            while (*dot == '.')
                dot++;
            if (*dot == '\0')
                continue;
            move = dot;
        }
        SpellCastlingWithLetters(move);

        Move m = ParseMove(e, move);
        if (MoveFrom(m) == 0) {
            Print("Invalid move, ply: %d move: '%s'\n", g.playedPlies, move);
            return -1;
        }
        if (g.playedPlies < PgnRecordedPlies) {
            g.keys[g.playedPlies] = e.pos.hashKey;
            g.moves[g.playedPlies] = m;
        }
        GameMakeMove(e.pos, m);
        g.playedPlies++;
    }
}

bool SkipToNextGame(FILE* f) {
    if (!SkipLine(f))
        return false;
    for (;;) {
        int c = std::getc(f);
        if (c == EOF)
            return false;
        if (c == '[') {
            std::ungetc(c, f);
            return true;
        }
        if (c != '\n' && !SkipLine(f))
            return false;
    }
}
