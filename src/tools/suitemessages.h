// Messages of the suite runners about lines they skip.
#pragma once

// Message for a suite line too long to read.
void ReportLongSuiteLine();

// Message for a suite position the set-up refused or that has no move to search.
void ReportSkippedPosition(const char* why);
