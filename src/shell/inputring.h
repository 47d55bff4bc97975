// Tokens from standard input, handed from the input thread to the main thread.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int RingSlots = 32;
constexpr int SlotSize = 96;  // a token holds at most 95 characters

struct InputRing {
    char slots[RingSlots][SlotSize];
    std::atomic<int32_t> full[RingSlots];  // 1 while the slot holds a token not yet taken
    int32_t writeIndex;                    // next slot the input thread fills
    int32_t readIndex;                     // next slot the main thread takes
};

extern InputRing inputRing;

// Body of the input thread: reads whitespace-separated tokens from standard input. At its
// end it stops reading and queues "quit" whenever a slot is free, so that a closed pipe
// ends the program normally.
void InputThreadMain();

// Waits for a free slot and queues a token (at most 95 characters are kept). The ring has
// one writer: the input thread, or a test that runs without it.
void PutToken(const char* token);

// Waits for the next token and copies it into buffer (at least SlotSize bytes).
void TakeToken(char* buffer);

// Waits for the next token and returns it read as a decimal integer (optional sign and
// leading digits, 0 when none), clamped to the 32-bit range.
int TakeInt();

// Waits for an answer token; true when its first character, upper-cased, is "Y".
bool TakeYes();

// Returns the next token without taking it, or nullptr when none is waiting.
const char* PeekToken();
