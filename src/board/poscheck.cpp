// Consistency check: every incremental field against a recomputation from the board.
#include "board/poscheck.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "board/attacks.h"
#include "board/geometry.h"
#include "board/hashkey.h"
#include "board/validate.h"
#include "board/position.h"

// The switch of MOSSKITE_CHECK_POSITION; read by whichever thread makes the moves.
static std::atomic<bool> positionChecks{true};

// Formats the name of a broken invariant that carries a number or a side into this thread's
// buffer: only a failing check writes it, so the passing ones allocate nothing.
__attribute__((format(printf, 1, 2))) static std::string_view Broken(const char* format, ...) {
    thread_local char text[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// True when every border cell holds the border code and every square a code from -King to
// King. Looks at every cell without stopping early, so that it runs without branches.
static bool CellsHoldValidCodes(const Position& p) {
    bool valid = true;
    for (int sq = 0; sq < SqA1; sq++)
        valid &= p.board[sq] == Border;
    for (int sq = SqH8 + 1; sq < 120; sq++)
        valid &= p.board[sq] == Border;
    for (int file = 1; file <= 8; file++) {
        const int32_t* column = p.board + MakeSquare(0, file);  // its lower border cell
        valid &= (column[0] == Border) & (column[9] == Border);
        for (int rank = 1; rank <= 8; rank++)
            valid &= unsigned(column[rank] + King) <= unsigned(2 * King);
    }
    return valid;
}

// One piece list of a side, with what its squares must hold.
struct PieceList {
    const char* kind;
    const uint8_t* squares;
    int count;
    int capacity;
    int code;
};

// The five piece lists of a side, pawns first.
static void ListsOf(const SideState& s, int sign, PieceList (&lists)[5]) {
    lists[0] = {"pawn", s.pawnSquares, s.pawnCount, 8, sign * Pawn};
    lists[1] = {"knight", s.knightSquares, s.knightCount, MaxPieceList, sign * Knight};
    lists[2] = {"bishop", s.bishopSquares, s.bishopCount, MaxPieceList, sign * Bishop};
    lists[3] = {"rook", s.rookSquares, s.rookCount, MaxPieceList, sign * Rook};
    lists[4] = {"queen", s.queenSquares, s.queenCount, MaxPieceList, sign * Queen};
}

// True when the list's count fits and each of its squares, none twice, holds its code.
static bool EntriesHoldTheCode(const Position& p, const PieceList& l) {
    if (l.count < 0 || l.count > l.capacity)
        return false;
    for (int i = 0; i < l.count; i++) {
        if (l.squares[i] >= 120 || p.board[l.squares[i]] != l.code)
            return false;
        if (std::count(l.squares, l.squares + i, l.squares[i]) != 0)
            return false;
    }
    return true;
}

// Checks that the lists and king squares of both sides hold exactly the pieces of the board,
// on a board whose cells hold valid codes; returns the first list that does not, or "".
static std::string_view CheckPieceLists(const Position& p) {
    static const char* const sideNames[2] = {"White", "Black"};
    PieceList lists[2][5];
    ListsOf(p.white, 1, lists[0]);
    ListsOf(p.black, -1, lists[1]);
    // Distinct squares that hold their codes: when as many as the board has pieces, they are
    // all of them, each in its own list.
    int listed = 0;
    for (int side = 0; side < 2; side++)
        for (const PieceList& l : lists[side]) {
            if (!EntriesHoldTheCode(p, l))
                return Broken("%s %s list", sideNames[side], l.kind);
            listed += l.count;
        }
    for (int side = 0; side < 2; side++) {
        const int king = side == 0 ? p.white.kingSquare : p.black.kingSquare;
        if (king >= 120 || p.board[king] != (side == 0 ? King : -King))
            return Broken("%s kingSquare", sideNames[side]);
        listed++;
    }
    int occupied = 0;
    for (int file = 1; file <= 8; file++)
        for (int rank = 1; rank <= 8; rank++)
            occupied += p.board[MakeSquare(rank, file)] != Empty;
    if (occupied == listed)
        return "";
    // A piece of the board is missing from its list: count the codes to find which.
    int onBoard[2 * King + 1] = {};
    for (int file = 1; file <= 8; file++)
        for (int rank = 1; rank <= 8; rank++)
            onBoard[p.board[MakeSquare(rank, file)] + King]++;
    for (int side = 0; side < 2; side++)
        for (const PieceList& l : lists[side])
            if (l.count != onBoard[l.code + King])
                return Broken("%s %s list", sideNames[side], l.kind);
    return onBoard[King + King] != 1 ? "White king count" : "Black king count";
}

// Checks a side's counts, material, rooks on the seventh rank and king and knight attack
// counts against its piece lists, which CheckPieceLists found sound.
static std::string_view CheckSide(const SideState& s, int sign, const char* name) {
    auto fail = [name](const char* what) { return Broken("%s %s", name, what); };
    int pieces = 1 + s.knightCount + s.bishopCount + s.rookCount + s.queenCount;
    if (s.pieceCount != pieces)
        return fail("pieceCount");
    int material = KnightValue * s.knightCount + BishopValue * s.bishopCount
                 + RookValue * s.rookCount + QueenValue * s.queenCount;
    if (s.material != material)
        return fail("material");
    int seventh = 0;
    for (int i = 0; i < s.rookCount; i++)
        if (rankOf[s.rookSquares[i]] == (sign > 0 ? 7 : 2))
            seventh++;
    if (s.rooksOnSeventh != seventh)
        return fail("rooksOnSeventh");
    // The king and the knights counted on the squares they reach; the eight squares of a
    // file lie side by side.
    uint8_t reach[120] = {};
    for (int step : kingSteps)
        reach[s.kingSquare + step]++;
    for (int i = 0; i < s.knightCount; i++)
        for (int step : knightSteps)
            reach[s.knightSquares[i] + step]++;
    for (int file = 1; file <= 8; file++) {
        const int first = MakeSquare(1, file);
        if (std::memcmp(reach + first, s.kingKnightAttacks + first, 8) == 0)
            continue;
        for (int sq = first;; sq++)
            if (s.kingKnightAttacks[sq] != reach[sq])
                return Broken("%s kingKnightAttacks of square %d", name, sq);
    }
    return "";
}

std::string_view CheckPosition(const Position& p) {
    if (!CellsHoldValidCodes(p))
        for (int sq = 0; sq < 120; sq++) {
            int code = p.board[sq];
            if (IsBorder(sq) ? code != Border : (code < -King || code > King))
                return Broken("board cell %d", sq);
        }
    if (p.whiteToMove != 0 && p.whiteToMove != 1)
        return "whiteToMove";
    if (p.us != (p.whiteToMove ? &p.white : &p.black) || p.them == p.us)
        return "side pointers";
    std::string_view broken = CheckPieceLists(p);
    if (broken.empty())
        broken = CheckSide(p.white, 1, "White");
    if (broken.empty())
        broken = CheckSide(p.black, -1, "Black");
    if (!broken.empty())
        return broken;
    int balance = p.white.material - p.black.material
                + PawnValue * (p.white.pawnCount - p.black.pawnCount);
    if (p.materialBalance != balance)
        return "materialBalance";
    int files[10] = {};
    int knights = 0;
    for (int i = 0; i < p.white.rookCount; i++)
        files[fileOf[p.white.rookSquares[i]]]++;
    for (int i = 0; i < p.black.rookCount; i++)
        files[fileOf[p.black.rookSquares[i]]]--;
    for (int i = 0; i < p.white.knightCount; i++)
        knights += knightSquareValue[p.white.knightSquares[i]];
    for (int i = 0; i < p.black.knightCount; i++)
        knights -= knightSquareValue[p.black.knightSquares[i]];
    for (int f = 0; f < 10; f++)
        if (p.rookFileBalance[f] != files[f])
            return Broken("rookFileBalance of file %d", f);
    if (p.knightPlacement != knights)
        return "knightPlacement";
    if (p.hashKey != ComputeHashKey(p))
        return "hashKey";
    if (p.pawnKey != ComputePawnKey(p))
        return "pawnKey";
    if (p.castleRights & 1 || p.castleRights > CastleAll)
        return "castleRights bits";
    // A castling right needs its king and rook on their home squares.
    struct HomeSquares { int right, kingSq, king, rookSq, rook; };
    static constexpr HomeSquares homes[4] = {
        {CastleWhiteKing, SqE1, King, SqH1, Rook}, {CastleWhiteQueen, SqE1, King, SqA1, Rook},
        {CastleBlackKing, SqE8, -King, SqH8, -Rook}, {CastleBlackQueen, SqE8, -King, SqA8, -Rook},
    };
    for (const HomeSquares& h : homes)
        if ((p.castleRights & h.right) && (p.board[h.kingSq] != h.king || p.board[h.rookSq] != h.rook))
            return "castleRights without king or rook at home";
    if (p.epSquare && !EnPassantSquareConsistent(p))
        return "epSquare";
    const PlyRecord* r = p.currentPly;
    if (r < p.plyStack || r >= p.plyStack + PlyStackSize)
        return "currentPly outside the ply stack";
    if (r->hashKey != p.hashKey)
        return "record hashKey";
    if (r->epSquare != p.epSquare || r->castleRights != p.castleRights)
        return "record epSquare or castleRights";
    if (p.lastGamePly < p.rootPly || p.rootPly > r)
        return "rootPly and lastGamePly";
    if (r->moves < p.moveArea || r->moves + r->moveCount > p.moveArea + MoveAreaSize)
        return "move list outside the move area";
    return "";
}

// True when two sides' maps over the playing cells and pin lists agree.
static bool SameMapsAndPins(const SideState& a, const SideState& b) {
    for (int sq = SqA1; sq <= SqH8; sq++)
        if (a.attacks[sq] != b.attacks[sq] || a.pinDir[sq] != b.pinDir[sq])
            return false;
    if (a.pinCount != b.pinCount)
        return false;
    for (int i = 0; i < a.pinCount; i++)
        if (a.pinnedSquares[i] != b.pinnedSquares[i] || a.pinnerSquares[i] != b.pinnerSquares[i])
            return false;
    return true;
}

bool MapsDescribeBoard(const Position& p) {
    Position rebuilt = p;
    ResetAttackMaps(rebuilt);
    BuildSliderAttacks(rebuilt, WhiteSide);
    BuildSliderAttacks(rebuilt, BlackSide);
    return rebuilt.mobilityBalance == p.mobilityBalance && SameMapsAndPins(rebuilt.white, p.white)
        && SameMapsAndPins(rebuilt.black, p.black);
}

bool PositionChecks() {
    return positionChecks.load(std::memory_order_relaxed);
}

void SetPositionChecks(bool on) {
    positionChecks.store(on, std::memory_order_relaxed);
}

void AssertPositionConsistent(const Position& p, const char* function) {
    if (!PositionChecks())
        return;
    std::string_view broken = CheckPosition(p);
    if (broken.empty())
        return;
    std::fprintf(stderr, "Position inconsistent after %s: %.*s\n", function, int(broken.size()),
                 broken.data());
    assert(!"the Position is inconsistent");
}
