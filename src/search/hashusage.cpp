// Table use from a sample: counting every entry of a large table would take longer than
// the iteration it is reported with.
#include "search/hashusage.h"

#include <algorithm>
#include <cstdint>

#include "engine.h"
#include "search/transtable.h"

static constexpr uint32_t SampleEntries = 1000;
static constexpr int Permille = 1000;

int HashPermille(const Engine& e) {
    const SearchData& s = e.search;
    uint32_t sample = std::min(SampleEntries, s.ttEntries);
    if (!s.ttBase || sample == 0)
        return 0;
    uint32_t used = 0;
    for (uint32_t i = 0; i < sample; i++)
        used += ReadSlot(s.ttBase[i]).from != 0;  // from 0 marks an empty slot
    return int(used * Permille / sample);
}
