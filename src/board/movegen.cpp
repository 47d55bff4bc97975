// Placeholder until the legal move generator lands: an empty list.
#include "board/movegen.h"

#include "engine.h"

int GenerateMoves(Engine& e) {
    Position& p = e.pos;
    PlyRecord* r = p.currentPly;
    r->moves = r == p.plyStack ? p.moveArea : (r - 1)->moves + (r - 1)->moveCount;
    r->moveCount = 0;
    r->checkCount = 0;
    p.checkCount = 0;
    return 0;
}
