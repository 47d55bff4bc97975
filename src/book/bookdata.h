// State of the opening books held by the Engine.
#pragma once

#include <cstdint>

struct BookData {
    int useBook = 1;          // 1 when book moves may be played
    int32_t randomIndex = -1; // entry of randomTable drawn last; -1 before the first draw
};
