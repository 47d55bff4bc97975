// Evaluation state held by the Engine: the pawn hash and scratch fields.
#pragma once

struct EvalData {
    int placeholder = 0;
};
