// The "Search" option's names and its setting.
#include "shell/searchoption.h"

#include <strings.h>

#include "engine.h"
#include "shell/logfile.h"

bool ReadSearchKind(const char* text, SearchKind& kind) {
    if (strcasecmp(text, "classic") == 0)
        kind = SearchKind::Classic;
    else if (strcasecmp(text, "modern") == 0)
        kind = SearchKind::Modern;
    else
        return false;
    return true;
}

const char* SearchKindName(SearchKind kind) {
    return kind == SearchKind::Modern ? "Modern" : "Classic";
}

void ChooseSearch(Engine& e, SearchKind kind) {
    e.search.searchKind = kind;
    LogPrint(e, "Search: %s\n", SearchKindName(kind));
}
