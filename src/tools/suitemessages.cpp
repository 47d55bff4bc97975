// Messages of the suite runners about lines they skip.
#include "tools/suitemessages.h"

#include "output.h"
#include "tools/suiteline.h"

void ReportLongSuiteLine() {
    Print("Suite line longer than %d characters skipped\n", SuiteLineCapacity - 1);
}

void ReportSkippedPosition(const char* why) {
    Print("Suite position skipped: %s\n", why);
}
