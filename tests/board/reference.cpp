// Slow reference answers for the board tests, written independently of the generator.
#include "board/reference.h"

#include <cstring>

#include "board/geometry.h"

static const int rookDirs[4] = {1, -1, 10, -10};
static const int bishopDirs[4] = {9, -9, 11, -11};
static const int kingDirs[8] = {1, -1, 10, -10, 9, -9, 11, -11};
static const int knightDirs[8] = {12, 21, 19, 8, -12, -21, -19, -8};

bool RefAttacked(const int32_t* board, int sq, bool byWhite) {
    int s = byWhite ? 1 : -1;
    if (byWhite ? (board[sq - 11] == Pawn || board[sq + 9] == Pawn)
                : (board[sq - 9] == -Pawn || board[sq + 11] == -Pawn))
        return true;
    for (int d : knightDirs) {
        int t = sq + d;
        if (t >= 0 && t < 120 && board[t] == s * Knight)
            return true;
    }
    for (int d : kingDirs)
        if (board[sq + d] == s * King)
            return true;
    for (int d : rookDirs) {
        int t = sq + d;
        while (board[t] == Empty)
            t += d;
        if (board[t] == s * Rook || board[t] == s * Queen)
            return true;
    }
    for (int d : bishopDirs) {
        int t = sq + d;
        while (board[t] == Empty)
            t += d;
        if (board[t] == s * Bishop || board[t] == s * Queen)
            return true;
    }
    return false;
}

// Plays a move on a copy of the board and says whether the mover's king is left safe.
static bool LeavesKingSafe(const Position& p, const RefMove& m) {
    int b[120];
    std::memcpy(b, p.board, sizeof b);
    bool white = p.whiteToMove;
    int piece = b[m.from];
    int kind = piece > 0 ? piece : -piece;
    int step = m.to - m.from;
    bool diagonal = step == 9 || step == -9 || step == 11 || step == -11;
    if (kind == Pawn && m.to == p.epSquare && b[m.to] == Empty && diagonal)
        b[m.to - (white ? 1 : -1)] = Empty;
    if (kind == King && m.to - m.from == 20) {
        b[m.from + 10] = b[m.from + 30];
        b[m.from + 30] = Empty;
    }
    if (kind == King && m.to - m.from == -20) {
        b[m.from - 10] = b[m.from - 40];
        b[m.from - 40] = Empty;
    }
    b[m.to] = m.promotion ? m.promotion : piece;
    b[m.from] = Empty;
    int king = 0;
    for (int sq = 21; sq <= 98; sq++)
        if (b[sq] == (white ? King : -King))
            king = sq;
    return !RefAttacked(b, king, !white);
}

std::vector<RefMove> ReferenceMoves(const Position& p) {
    std::vector<RefMove> pseudo;
    const int32_t* b = p.board;
    bool white = p.whiteToMove;
    int s = white ? 1 : -1;
    auto own = [&](int c) { return c != Border && c * s > 0; };
    auto enemy = [&](int c) { return c != Border && c * s < 0; };
    auto add = [&](int from, int to) {
        if (b[from] * s == Pawn && (rankOf[to] == 1 || rankOf[to] == 8)) {
            for (int k : {Queen, Rook, Bishop, Knight})
                pseudo.push_back({from, to, s * k});
        } else {
            pseudo.push_back({from, to, 0});
        }
    };
    for (int sq = 21; sq <= 98; sq++) {
        int c = b[sq];
        if (!own(c))
            continue;
        switch (c * s) {
        case Pawn: {
            int up = s;
            if (b[sq + up] == Empty) {
                add(sq, sq + up);
                if (rankOf[sq] == (white ? 2 : 7) && b[sq + 2 * up] == Empty)
                    add(sq, sq + 2 * up);
            }
            for (int d : {up + 10, up - 10}) {
                int t = sq + d;
                if (enemy(b[t]) || (p.epSquare && t == p.epSquare))
                    add(sq, t);
            }
            break;
        }
        case Knight:
            for (int d : knightDirs) {
                int t = sq + d;
                if (b[t] != Border && !own(b[t]))
                    add(sq, t);
            }
            break;
        case King:
            for (int d : kingDirs) {
                int t = sq + d;
                if (b[t] != Border && !own(b[t]))
                    add(sq, t);
            }
            break;
        default: {
            std::vector<int> dirs;
            if (c * s != Bishop)
                dirs.insert(dirs.end(), rookDirs, rookDirs + 4);
            if (c * s != Rook)
                dirs.insert(dirs.end(), bishopDirs, bishopDirs + 4);
            for (int d : dirs) {
                int t = sq + d;
                while (b[t] == Empty) {
                    add(sq, t);
                    t += d;
                }
                if (enemy(b[t]))
                    add(sq, t);
            }
        }
        }
    }
    // Castling: rights, empty squares, king not in check and not passing an attacked square.
    int home = white ? SqE1 : SqE8;
    int kingRight = white ? CastleWhiteKing : CastleBlackKing;
    int queenRight = white ? CastleWhiteQueen : CastleBlackQueen;
    if (b[home] == s * King && !RefAttacked(b, home, !white)) {
        if ((p.castleRights & kingRight) && b[home + 10] == Empty && b[home + 20] == Empty
            && !RefAttacked(b, home + 10, !white))
            pseudo.push_back({home, home + 20, 0});
        if ((p.castleRights & queenRight) && b[home - 10] == Empty && b[home - 20] == Empty
            && b[home - 30] == Empty && !RefAttacked(b, home - 10, !white))
            pseudo.push_back({home, home - 20, 0});
    }
    std::vector<RefMove> legal;
    for (const RefMove& m : pseudo)
        if (LeavesKingSafe(p, m))
            legal.push_back(m);
    std::sort(legal.begin(), legal.end());
    return legal;
}

std::vector<RefMove> GeneratedMoves(const Engine& e) {
    const PlyRecord* r = e.pos.currentPly;
    std::vector<RefMove> moves;
    for (int i = 0; i < r->moveCount; i++) {
        const MoveListEntry& m = r->moves[i];
        bool promotes = (e.pos.board[m.from] == Pawn || e.pos.board[m.from] == -Pawn)
                     && (rankOf[m.to] == 1 || rankOf[m.to] == 8);
        moves.push_back({m.from, m.to, promotes ? m.promotion : 0});
    }
    std::sort(moves.begin(), moves.end());
    return moves;
}

std::vector<uint16_t> ReferenceAttackMap(const Position& p, bool white) {
    std::vector<uint16_t> map(120, 0);
    int s = white ? 1 : -1;
    struct Ray { int d; uint16_t bishop, rook; };
    static const Ray rays[8] = {{9, 0x01, 0}, {-11, 0x02, 0}, {11, 0x04, 0}, {-9, 0x08, 0},
                                {10, 0, 0x10}, {-10, 0, 0x20}, {-1, 0, 0x40}, {1, 0, 0x80}};
    for (int sq = 21; sq <= 98; sq++) {
        int kind = p.board[sq] * s;
        if (kind != Bishop && kind != Rook && kind != Queen)
            continue;
        for (const Ray& r : rays) {
            uint16_t bit = kind == Queen ? uint16_t((r.bishop | r.rook) << 8)
                         : kind == Bishop ? r.bishop : r.rook;
            if (!bit)
                continue;
            for (int t = sq + r.d; p.board[t] != Border; t += r.d) {
                map[t] |= bit;
                if (p.board[t] != Empty)
                    break;
            }
        }
    }
    return map;
}

std::vector<std::string> ReferencePins(const Position& p, bool white) {
    std::vector<std::string> pins;
    int s = white ? 1 : -1;
    int king = white ? p.white.kingSquare : p.black.kingSquare;
    for (int d : kingDirs) {
        bool diagonal = d == 9 || d == -9 || d == 11 || d == -11;
        int t = king + d;
        while (p.board[t] == Empty)
            t += d;
        if (p.board[t] == Border || p.board[t] * s < 0)
            continue;
        int u = t + d;
        while (p.board[u] == Empty)
            u += d;
        int kind = -p.board[u] * s;
        if (p.board[u] != Border && (kind == Queen || kind == (diagonal ? Bishop : Rook)))
            pins.push_back(std::to_string(t) + ":" + std::to_string(-d) + ":" + std::to_string(u));
    }
    std::sort(pins.begin(), pins.end());
    return pins;
}

std::vector<std::string> StoredPins(const Position& p, bool white) {
    const SideState& side = white ? p.white : p.black;
    std::vector<std::string> pins;
    for (int i = 0; i < side.pinCount; i++) {
        int sq = side.pinnedSquares[i];
        pins.push_back(std::to_string(sq) + ":" + std::to_string(side.pinDir[sq]) + ":"
                       + std::to_string(side.pinnerSquares[i]));
    }
    std::sort(pins.begin(), pins.end());
    return pins;
}

static std::string CompareSide(const SideState& a, const SideState& b, const char* name) {
    auto fail = [name](const char* field) { return std::string(name) + " " + field; };
    if (std::memcmp(a.kingKnightAttacks, b.kingKnightAttacks, sizeof a.kingKnightAttacks))
        return fail("kingKnightAttacks");
    auto list = [](const uint8_t* x, int nx, const uint8_t* y, int ny) {
        return nx == ny && std::equal(x, x + nx, y);
    };
    if (!list(a.pawnSquares, a.pawnCount, b.pawnSquares, b.pawnCount))
        return fail("pawn list");
    if (!list(a.knightSquares, a.knightCount, b.knightSquares, b.knightCount))
        return fail("knight list");
    if (!list(a.bishopSquares, a.bishopCount, b.bishopSquares, b.bishopCount))
        return fail("bishop list");
    if (!list(a.rookSquares, a.rookCount, b.rookSquares, b.rookCount))
        return fail("rook list");
    if (!list(a.queenSquares, a.queenCount, b.queenSquares, b.queenCount))
        return fail("queen list");
    if (a.pieceCount != b.pieceCount || a.material != b.material)
        return fail("pieceCount or material");
    if (a.rooksOnSeventh != b.rooksOnSeventh || a.kingSquare != b.kingSquare)
        return fail("rooksOnSeventh or kingSquare");
    if (a.queenCode != b.queenCode || a.rookCode != b.rookCode)
        return fail("piece codes");
    return "";
}

std::string ComparePositions(const Position& a, const Position& b) {
    if (std::memcmp(a.board, b.board, sizeof a.board))
        return "board";
    if (a.whiteToMove != b.whiteToMove || a.castleRights != b.castleRights
        || a.epSquare != b.epSquare)
        return "side, castleRights or epSquare";
    if (a.gamePly != b.gamePly || a.plyStack != b.plyStack || a.currentPly != b.currentPly
        || a.rootPly != b.rootPly || a.moveArea != b.moveArea || a.lastGamePly != b.lastGamePly)
        return "ply stack pointers";
    if (a.hashKey != b.hashKey || a.pawnKey != b.pawnKey)
        return "keys";
    if (a.searchPly != b.searchPly || a.effectivePly != b.effectivePly)
        return "searchPly or effectivePly";
    if (a.materialBalance != b.materialBalance || a.knightPlacement != b.knightPlacement)
        return "materialBalance or knightPlacement";
    if (std::memcmp(a.rookFileBalance, b.rookFileBalance, sizeof a.rookFileBalance))
        return "rookFileBalance";
    std::string side = CompareSide(a.white, b.white, "White");
    if (side.empty())
        side = CompareSide(a.black, b.black, "Black");
    if (!side.empty())
        return side;
    if (a.us != b.us || a.them != b.them)
        return "side pointers";
    return "";
}
