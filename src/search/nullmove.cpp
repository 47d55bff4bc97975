// The null move: a PlyRecord without a move, with the side to move flipped.
#include "search/nullmove.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "board/geometry.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "engine.h"

void MakeNullMove(Engine& e, int R) {
    Position& p = e.pos;
    PlyRecord* parent = p.currentPly;
    PlyRecord* r = parent + 1;
    p.searchPly += R;
    e.search.nullMoveExtraPlies += R - 1;
    p.currentPly = r;
    r->from = r->to = 0;
    r->promotion = 0;
    r->movedPiece = r->capturedPiece = 0;
    r->castleRookFrom = r->castleRookTo = 0;
    r->epCaptureSquare = 0;
    r->threatMarker = 0;
    r->recaptureExtended = 0;
    r->extensionEighths = parent->extensionEighths;
    r->mateThreatExtended = parent->mateThreatExtended;
    p.effectivePly = std::min(p.searchPly - r->extensionEighths / 8, e.search.searchDepth);
    p.hashKey ^= sideToMoveKey;
    r->hashKey = p.hashKey;
    p.epSquare = 0;
    r->epSquare = 0;
    r->castleRights = p.castleRights;
    r->reversibleCount = parent->reversibleCount;
    p.whiteToMove ^= 1;
    std::swap(p.us, p.them);
    // The maps, pins and mobility do not depend on the side to move, and nothing has walked
    // since the node's own generation: only the other side's list is made.
    GenerateMovesOnMaps(e.pos);
    assert(!PositionChecks() || MapsDescribeBoard(p));
    MOSSKITE_CHECK_POSITION(p);
}

void UnmakeNullMove(Engine& e, int R) {
    Position& p = e.pos;
    p.whiteToMove ^= 1;
    std::swap(p.us, p.them);
    p.searchPly -= R;
    e.search.nullMoveExtraPlies -= R - 1;
    p.currentPly--;
    const PlyRecord* r = p.currentPly;
    p.effectivePly = p.searchPly - r->extensionEighths / 8;
    p.hashKey = r->hashKey;
    p.epSquare = r->epSquare;
    p.castleRights = r->castleRights;
    MOSSKITE_CHECK_POSITION(p);
}
