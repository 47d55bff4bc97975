// Resizing the transposition table on request.
#include "shell/hashsize.h"

#include <algorithm>

#include "engine.h"
#include "output.h"
#include "search/transtable.h"

void ResizeHash(Engine& e, int megabytes) {
    const int granted = e.shell.seams.setHashSize(e, megabytes);
    megabytes = std::min(megabytes, MaxHashMegabytes);
    if (megabytes < 1 || granted == megabytes)
        return;
    if (granted > 0)
        Print("Hash table of %d MB cannot be allocated, using %d MB\n", megabytes, granted);
    else
        Print("Hash table of %d MB cannot be allocated, hash table switched off\n", megabytes);
}
