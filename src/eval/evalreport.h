// The "eval" console command: the static score broken down into its terms.
#pragma once

struct Engine;

// The static score of the current position from White's view, one line per term
// (White-relative, adding up to the score), then the king-danger counts, the pin threat
// and the pawn-file facts the terms read. The next call overwrites the text.
const char* EvaluationReport(Engine& e);
