// The micro benchmarks' entry point. Every CreateEngine reports the big book it cannot find;
// the engine's output is held back from the start (and dropped past the hold's capacity), so
// that only the benchmark tables reach standard output.
#include <benchmark/benchmark.h>

#include "output.h"

int main(int argc, char** argv) {
    HoldOutput();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
