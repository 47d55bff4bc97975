// Clearing the search's memories between games and positions.
#include "search/tables.h"

#include <cstring>

#include "board/setup.h"
#include "engine.h"
#include "notation/epd.h"
#include "eval/pawnhash.h"
#include "search/modernorder.h"
#include "search/threads.h"
#include "search/transtable.h"

void ClearTables(Engine& e) {
    ClearTransTable(e);
    ClearPawnHash(e);
    if (e.pos.plyStack) {
        for (int k = 0; k < PlyStackSize; k++) {
            PlyRecord& r = e.pos.plyStack[k];
            for (int slot = 0; slot < 2; slot++) {
                r.killerMove[slot] = KillerMove{0, 0, 0};
                r.killerHits[slot] = 0;
            }
        }
    }
    std::memset(e.search.history, 0, sizeof e.search.history);
    ClearModernOrdering(e.search);
    ClearHelperTables(e);
}

void ClearPvRows(Engine& e) {
    for (auto& row : e.search.pv)
        for (MoveListEntry& entry : row)
            entry.from = 0;
}

void SetUpStartPosition(Engine& e, int clearTables) {
    SetInitialPosition(e.pos);
    ClearPvRows(e);
    if (clearTables)
        ClearTables(e);
}

bool SetUpEpdPosition(Engine& e, const char* text, int clearTables) {
    if (!ReadEpdPosition(e.pos, text))
        return false;
    ClearPvRows(e);
    if (clearTables)
        ClearTables(e);
    return true;
}
