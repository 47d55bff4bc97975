// Fuzz target: EPD/FEN text through the reader and position set-up.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "board/poscheck.h"
#include "board/setup.h"
#include "engine.h"
#include "notation/epd.h"

static Engine& TheEngine() {
    static std::unique_ptr<Engine> engine = [] {
        auto e = CreateEngine(0);
        SetInitialPosition(*e, 1);
        return e;
    }();
    return *engine;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::freopen("/dev/null", "w", stdout);  // the reader reports defects on standard output
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Engine& e = TheEngine();
    std::string text(reinterpret_cast<const char*>(data), size);
    SetPositionFromEpd(e, text.c_str());
    std::string defect = CheckPosition(e);
    if (!defect.empty()) {
        std::fprintf(stderr, "inconsistent position after set-up: %s\n", defect.c_str());
        std::abort();
    }
    PositionToEpd(e);
    return 0;
}
