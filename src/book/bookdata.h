// State of the opening books held by the Engine.
#pragma once

struct BookData {
    int useBook = 1;  // 1 when book moves may be played
};
