// The input ring: one writer (the input thread), one reader (the main thread).
#include "shell/inputring.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <poll.h>
#include <unistd.h>

#include "output.h"
#include "shell/mainwake.h"

InputRing inputRing;

static constexpr int YieldsBeforeSleep = 100;

// Yields while a wait is short, then sleeps a millisecond at a time to spare the CPU.
static void Pause(int& spins) {
    if (++spins < YieldsBeforeSleep)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Reads one token into buffer, whether it ended its input line and whether it was cut to
// fit the slot; returns false at the end of standard input.
static bool ReadToken(char* buffer, bool& endsLine, bool& truncated) {
    int c;
    do
        c = std::getchar();
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v');
    inputRing.inputBegun.store(1, std::memory_order_release);
    if (c == EOF)
        return false;
    int length = 0;
    truncated = false;
    while (c != EOF && c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') {
        if (length < SlotSize - 1)
            buffer[length++] = char(c);
        else
            truncated = true;
        c = std::getchar();
    }
    buffer[length] = '\0';
    // Blanks after the token up to the end of its line still belong to the line.
    while (c == ' ' || c == '\t' || c == '\f' || c == '\v')
        c = std::getchar();
    endsLine = c == '\n' || c == '\r' || c == EOF;
    if (!endsLine)
        std::ungetc(c, stdin);
    return true;
}

// Waits until the slot at writeIndex is free and returns its buffer.
static char* FreeSlot() {
    int slot = inputRing.writeIndex;
    int spins = 0;
    while (inputRing.full[slot].load(std::memory_order_acquire))
        Pause(spins);
    return inputRing.slots[slot];
}

// Hands the slot at writeIndex, now filled, to the reader.
static void PublishSlot(bool endsLine, bool truncated) {
    int slot = inputRing.writeIndex;
    inputRing.endsLine[slot] = endsLine;
    inputRing.truncated[slot] = truncated;
    inputRing.full[slot].store(1, std::memory_order_release);
    inputRing.writeIndex = (slot + 1) % RingSlots;
    WakeMainThread();
}

void PutToken(const char* token, bool endsLine) {
    char* slot = FreeSlot();
    size_t fullLength = std::strlen(token);
    size_t length = std::min(fullLength, size_t(SlotSize - 1));
    std::memcpy(slot, token, length);
    slot[length] = '\0';
    PublishSlot(endsLine, length < fullLength);
}

void InputThreadMain() {
    bool endsLine;
    bool truncated;
    while (ReadToken(FreeSlot(), endsLine, truncated))
        PublishSlot(endsLine, truncated);
    // Input is closed: every further token is "quit", so that the program ends normally
    // even when the first one is taken as the answer to a prompt.
    for (;;)
        PutToken("quit");
}

void TakeToken(char* buffer) {
    int slot = inputRing.readIndex;
    int spins = 0;
    while (!inputRing.full[slot].load(std::memory_order_acquire))
        Pause(spins);
    std::memcpy(buffer, inputRing.slots[slot], SlotSize);
    inputRing.lastTakenEndedLine = inputRing.endsLine[slot];
    bool truncated = inputRing.truncated[slot];
    inputRing.tokensTaken++;
    inputRing.full[slot].store(0, std::memory_order_release);
    inputRing.readIndex = (slot + 1) % RingSlots;
    if (truncated)
        Print("Input token longer than %d characters, truncated.\n", SlotSize - 1);
}

int TakeInt() {
    char buffer[SlotSize];
    TakeToken(buffer);
    long long v = std::strtoll(buffer, nullptr, 10);
    return int(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

bool TakeYes() {
    char buffer[SlotSize];
    TakeToken(buffer);
    return std::toupper(static_cast<unsigned char>(buffer[0])) == 'Y';
}

const char* PeekToken() {
    int slot = inputRing.readIndex;
    if (!inputRing.full[slot].load(std::memory_order_acquire))
        return nullptr;
    return inputRing.slots[slot];
}

// True when standard input has something to read, or its end, at once.
static bool InputWaiting() {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    return poll(&input, 1, 0) > 0 && (input.revents & (POLLIN | POLLHUP)) != 0;
}

bool AwaitFirstToken(int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    int spins = 0;
    while (!PeekToken()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            // Nothing came in time, unless the input thread is still on its way with it.
            if (!inputRing.inputBegun.load(std::memory_order_acquire) && !InputWaiting())
                return false;
            while (!PeekToken())
                Pause(spins);
            return true;
        }
        Pause(spins);
    }
    return true;
}

bool LastTokenEndedLine() {
    return inputRing.lastTakenEndedLine != 0;
}

int64_t TokensTaken() {
    return inputRing.tokensTaken;
}
