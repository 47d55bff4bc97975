// Copying a Position into another one's storage.
#include "board/positioncopy.h"

#include <cstring>

#include "board/poscheck.h"
#include "board/position.h"

void CopyPosition(Position& to, const Position& from) {
    PlyRecord* const plyStack = to.plyStack;
    MoveListEntry* const moveArea = to.moveArea;
    // The records up to the current one and up to the last game record, which a replay reads.
    const PlyRecord* lastRecord = from.currentPly > from.lastGamePly ? from.currentPly : from.lastGamePly;
    const size_t records = size_t(lastRecord - from.plyStack) + 1;
    const size_t entries = size_t(from.genCursor - from.moveArea);

    std::memcpy(static_cast<void*>(&to), &from, sizeof to);
    to.plyStack = plyStack;
    to.moveArea = moveArea;
    to.currentPly = plyStack + (from.currentPly - from.plyStack);
    to.rootPly = plyStack + (from.rootPly - from.plyStack);
    to.lastGamePly = plyStack + (from.lastGamePly - from.plyStack);
    to.genCursor = moveArea + entries;
    to.us = from.us == &from.white ? &to.white : &to.black;
    to.them = from.them == &from.white ? &to.white : &to.black;

    std::memcpy(static_cast<void*>(plyStack), from.plyStack, records * sizeof *plyStack);
    std::memcpy(static_cast<void*>(moveArea), from.moveArea, entries * sizeof *moveArea);
    for (size_t k = 0; k < records; k++)
        if (from.plyStack[k].moves)
            plyStack[k].moves = moveArea + (from.plyStack[k].moves - from.moveArea);
    MOSSKITE_CHECK_POSITION(to);
}
