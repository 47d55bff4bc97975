// The engine a micro benchmark runs on: made once per benchmark, at one position.
#pragma once

#include <memory>

#include "engine.h"
#include "search/tables.h"

// A new engine at the EPD position, its move list generated.
inline std::unique_ptr<Engine> EngineAt(const char* epd) {
    auto e = CreateEngine(1);
    SetUpEpdPosition(*e, epd);
    return e;
}
