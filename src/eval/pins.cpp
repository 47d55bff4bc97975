// Pins against the king: what a pinned piece costs when its pinner cannot be chased away.
#include "eval/pins.h"

#include "board/attackcount.h"
#include "engine.h"

constexpr int LostPinnedPiece = 1000;  // the pinned piece falls at once
constexpr int CheaperPinner = 213;     // a cheaper piece pins a dearer one from a distance
constexpr int OutnumberedPinned = 71;  // the pinned piece is attacked more than defended
constexpr int WhiteThreat = 1;         // threatMarker values
constexpr int BlackThreat = 2;

// True for pins that cost nothing: pawns, and pieces pinned along their own line of movement.
static bool HarmlessPin(int pinnedKind, int pinnerKind) {
    switch (pinnedKind) {
    case Pawn:
        return true;
    case Bishop:
        return pinnerKind == Bishop || pinnerKind == Queen;
    case Rook:
        return pinnerKind == Rook || pinnerKind == Queen;
    case Queen:
        return pinnerKind == Queen;
    default:
        return false;
    }
}

// Sum over White's pins, White's view; may set the threat marker to WhiteThreat.
static int WhitePins(Engine& e) {
    Position& p = e.pos;
    uint8_t& marker = p.currentPly->threatMarker;
    int sum = 0;
    for (int i = 0; i < p.white.pinCount && i < MaxPins; i++) {
        int pinned = p.white.pinnedSquares[i];
        int pinner = p.white.pinnerSquares[i];
        int pinnedKind = p.board[pinned];
        int pinnerKind = -p.board[pinner];
        if (HarmlessPin(pinnedKind, pinnerKind))
            continue;
        if (PieceAttackers(p.white, pinner) > BlackAttackersWithPawns(p, pinner)
            || WhitePawnAttackers(p, pinner))
            continue;
        if (BlackPawnAttackers(p, pinned)) {
            marker = WhiteThreat;
            return -LostPinnedPiece;
        }
        if (PieceValueOf(pinnerKind) < PieceValueOf(pinnedKind)) {
            marker = WhiteThreat;
            if (KingDistance(pinned, pinner) == 1)
                return -LostPinnedPiece;
            sum -= CheaperPinner;
            continue;
        }
        int attackers = PieceAttackers(p.black, pinned);
        if (WhiteAttackersWithPawns(p, pinned) >= attackers)
            continue;
        sum -= OutnumberedPinned;
        if (attackers > 1) {
            // A capture we can answer on its square does not make the pin a threat.
            int t = p.currentPly->to;
            bool answered = p.whiteToMove && t != 0 && t != pinner
                            && WhiteAttackersWithPawns(p, t) > BlackAttackersWithPawns(p, t);
            if (!answered)
                marker = WhiteThreat;
        }
    }
    return sum;
}

// Sum over Black's pins, Black's view; may set the threat marker to BlackThreat.
static int BlackPins(Engine& e) {
    Position& p = e.pos;
    uint8_t& marker = p.currentPly->threatMarker;
    int sum = 0;
    for (int i = 0; i < p.black.pinCount && i < MaxPins; i++) {
        int pinned = p.black.pinnedSquares[i];
        int pinner = p.black.pinnerSquares[i];
        int pinnedKind = -p.board[pinned];
        int pinnerKind = p.board[pinner];
        if (HarmlessPin(pinnedKind, pinnerKind))
            continue;
        if (PieceAttackers(p.black, pinner) > WhiteAttackersWithPawns(p, pinner)
            || BlackPawnAttackers(p, pinner))
            continue;
        if (WhitePawnAttackers(p, pinned)) {
            marker = BlackThreat;
            return -LostPinnedPiece;
        }
        if (PieceValueOf(pinnerKind) < PieceValueOf(pinnedKind)) {
            marker = BlackThreat;
            if (KingDistance(pinned, pinner) == 1)
                return -LostPinnedPiece;
            sum -= CheaperPinner;
            continue;
        }
        int attackers = PieceAttackers(p.white, pinned);
        if (BlackAttackersWithPawns(p, pinned) >= attackers)
            continue;
        sum -= OutnumberedPinned;
        if (attackers > 1) {
            // A capture we can answer on its square does not make the pin a threat.
            int t = p.currentPly->to;
            bool answered = !p.whiteToMove && t != 0 && t != pinner
                            && BlackAttackersWithPawns(p, t) > WhiteAttackersWithPawns(p, t);
            if (!answered)
                marker = BlackThreat;
        }
    }
    return sum;
}

int EvaluatePins(Engine& e, int side) {
    return side == WhiteSide ? WhitePins(e) : BlackPins(e);
}
