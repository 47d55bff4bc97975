// The search thread and the handshake through the Engine's searchState.
#pragma once

#include "board/types.h"
#include "search/driver.h"
#include "search/searchdata.h"

struct Engine;

// Starts the search thread on the Engine with the given search; it runs until the process ends.
void StartSearchThread(Engine& e, SearchFunction search);

// Body of the search thread: sleeps while searchState is Idle or Done and runs the search
// when asked.
void SearchThreadMain(Engine& e, SearchFunction search);

// Reads searchState (acquire).
SearchState GetSearchState(const Engine& e);

// Writes searchState (release) and wakes a search thread sleeping on it.
void SetSearchState(Engine& e, SearchState s);

// Asks the search thread for a search in state s (Thinking, Pondering or Analyzing):
// clears bestMove and starts the search clock now.
void RequestSearch(Engine& e, SearchState s);

// True when a search has ended and its move waits to be collected.
bool SearchFinished(const Engine& e);

// Ends any search and leaves searchState at Idle; a stopped search's result is dropped.
void StopSearch(Engine& e);

// Waits until searchState is no longer s, polling without burning a core.
void WaitWhileState(const Engine& e, SearchState s);

// Pauses a polling loop while a search is requested, running or waiting to be collected.
void ShortPause();

// Pauses the main loop between polls: a millisecond while the engine thinks on its own
// clock, else as long as a ShortPause; cut short when input comes or the search state
// changes.
void MainLoopPause(const Engine& e);
