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
    int8_t endsLine[RingSlots];            // 1 when the slot's token was the last of its line
    int8_t truncated[RingSlots];           // 1 when the token was cut to fit its slot
    int8_t lastTakenEndedLine;             // the token taken last ended its input line
    int64_t tokensTaken;                   // tokens the main thread has taken so far
    std::atomic<int8_t> inputBegun;        // the input thread has read the start of a token
                                           // or the end of input
};

extern InputRing inputRing;

// Body of the input thread: reads whitespace-separated tokens from standard input. At its
// end it stops reading and queues "quit" whenever a slot is free, so that a closed pipe
// ends the program normally.
void InputThreadMain();

// Waits for a free slot and queues a token (at most 95 characters are kept), marked as the
// last of its input line when endsLine is set. The ring has one writer: the input thread,
// or a test that runs without it.
void PutToken(const char* token, bool endsLine = true);

// Waits for the next token and copies it into buffer (at least SlotSize bytes). A token
// that was cut to fit its slot is reported here, by the thread that acts on it, so that
// the notice comes in order with what the command taking the token prints.
void TakeToken(char* buffer);

// Waits for the next token and returns it read as a decimal integer (optional sign and
// leading digits, 0 when none), clamped to the 32-bit range.
int TakeInt();

// Waits for an answer token; true when its first character, upper-cased, is "Y".
bool TakeYes();

// Returns the next token without taking it, or nullptr when none is waiting.
const char* PeekToken();

// Waits up to milliseconds for the first token; true when one is waiting. Input that has
// come within that time but that the input thread has not turned into a token yet is
// waited for as well, so that the answer does not depend on when that thread gets to run.
bool AwaitFirstToken(int milliseconds);

// True when the token taken last was the last of its input line. Protocol commands that
// must not wait for more input read their arguments up to that token.
bool LastTokenEndedLine();

// Number of tokens taken so far.
int64_t TokensTaken();
