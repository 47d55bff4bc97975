// The "Search" option: which tree search the engine's iterations run, as every interface
// (command line, console, xboard, UCI) names and sets it.
#pragma once

#include "search/searchdata.h"

struct Engine;

// Reads a search's name, "classic" or "modern" in any letter case; false for anything else.
bool ReadSearchKind(const char* text, SearchKind& kind);

// The name interfaces show: "Classic" or "Modern".
const char* SearchKindName(SearchKind kind);

// Makes kind the search of the next searches and logs the choice; the caller has stopped
// any running search.
void ChooseSearch(Engine& e, SearchKind kind);
