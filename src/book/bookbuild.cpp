// The "build" work: reading every game of a PGN file and counting its opening moves.
#include "book/bookbuild.h"

#include "board/setup.h"
#include "book/bookimage.h"
#include "engine.h"
#include "notation/pgn.h"
#include "output.h"

static_assert(BigBookPlies <= PgnRecordedPlies, "the reader keeps every ply the book counts");

static constexpr int GamesPerProgress = 200;  // a count is printed after this many games
static constexpr int GamesPerLine = 2000;     // and a line is ended after this many

int BuildBigBook(Engine& e, FILE* pgn, const char* imagePath) {
    int games = 0;
    PgnGame game;
    for (;;) {
        int plies = ReadPgnGame(e, pgn, &game);
        if (plies < 0) {
            // A game with an unreadable move counts for nothing: go on at the next tag line.
            if (!SkipToNextGame(pgn))
                break;
            Print(" Bad PGN found after game %d\n", games);
            continue;
        }
        if (plies == 0) {
            if (game.endOfFile)
                break;
            continue;  // a game without moves
        }
        games++;
        if (games % GamesPerProgress == 0)
            Print(games % GamesPerLine == 0 ? "%d \n" : "%d ", games);
        for (int ply = 0; ply < plies && ply < BigBookPlies; ply++)
            RecordBigBookMove(e, game.keys[ply], game.moves[ply]);
    }
    Print("\n%d games read.\n", games);
    if (SaveBigBookImage(e.book.bigBook.get(), imagePath) != ImageSaved)
        Print("--- ERROR: Cannot write %s, the big book was not saved ---\n", imagePath);
    SetInitialPosition(e.pos);
    return games;
}
