// Output to standard output, serialised between threads and flushed per message. Notices
// and, under UCI, every line that is not part of the protocol are reshaped here, so that
// no layer below the shell needs to know which interface is listening.
#include "output.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

static constexpr size_t HeldCapacity = 16384;  // start-up output waiting for the protocol
static constexpr const char* HeldCutNote = "(further start-up messages were dropped)\n";
static constexpr const char* UciInfoPrefix = "info string ";
static constexpr const char* CommentPrefix = "# ";

// The words that begin the lines an engine may send to a UCI interface.
static const char* const uciCommands[] = {"id", "uciok", "readyok", "bestmove", "copyprotection",
                                          "registration", "info", "option"};

struct OutputState {
    bool holding = false;          // output is kept in held until the protocol is known
    char held[HeldCapacity];
    size_t heldUsed = 0;
    bool heldCut = false;          // held filled up and later output was dropped
    NoticeForm noticeForm = NoticeForm::Plain;
    bool uciOnly = false;          // lines outside the UCI protocol become "info string"
    bool commentLineOpen = false;  // a commented notice line has begun but not ended
};

static std::mutex outputLock;
static OutputState state;

static void Emit(std::string_view text) {
    if (!text.empty())  // an empty view may have no data at all, which fwrite must not get
        std::fwrite(text.data(), 1, text.size(), stdout);
}

// True when the line starts with a command of the engine-to-interface side of UCI.
static bool IsUciLine(std::string_view line) {
    std::string_view word = line.substr(0, line.find(' '));
    for (const char* c : uciCommands)
        if (word == c)
            return true;
    return false;
}

// Splits text into lines, the last one possibly without its end, and hands each to line
// with a flag telling whether it ended.
template <typename LineFunction>
static void ForEachLine(std::string_view text, LineFunction line) {
    while (!text.empty()) {
        size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            line(text, false);
            return;
        }
        line(text.substr(0, end), true);
        text.remove_prefix(end + 1);
    }
}

// Writes a line as "info string ..."; an empty line says nothing and is dropped.
static void EmitUciInfo(std::string_view line) {
    if (line.empty())
        return;
    Emit(UciInfoPrefix);
    Emit(line);
    Emit("\n");
}

// Writes text that must reach a UCI interface: protocol lines as they are, the rest as
// "info string" lines. A line without its end is ended: nothing else may join it.
static void EmitUci(std::string_view text) {
    ForEachLine(text, [](std::string_view line, bool) {
        if (!IsUciLine(line)) {
            EmitUciInfo(line);
            return;
        }
        Emit(line);
        Emit("\n");
    });
}

// Writes text as it stands, unless the UCI restriction applies.
static void EmitOutput(std::string_view text) {
    if (state.uciOnly)
        EmitUci(text);
    else
        Emit(text);
}

// Writes a notice in the given form.
static void EmitNotice(std::string_view text, NoticeForm form) {
    switch (form) {
    case NoticeForm::Plain:
        EmitOutput(text);
        break;
    case NoticeForm::Comment:
        ForEachLine(text, [](std::string_view line, bool ended) {
            if (!state.commentLineOpen)
                Emit(CommentPrefix);
            Emit(line);
            if (ended)
                Emit("\n");
            state.commentLineOpen = !ended;
        });
        break;
    case NoticeForm::UciInfo:
        ForEachLine(text, [](std::string_view line, bool) { EmitUciInfo(line); });
        break;
    }
}

// Keeps text back until the protocol is known; what does not fit is dropped.
static void Hold(std::string_view text) {
    size_t room = HeldCapacity - state.heldUsed;
    if (text.size() > room) {
        state.heldCut = true;
        text = text.substr(0, room);
    }
    std::memcpy(state.held + state.heldUsed, text.data(), text.size());
    state.heldUsed += text.size();
}

void Write(std::string_view text) {
    std::lock_guard<std::mutex> guard(outputLock);
    if (state.holding) {
        Hold(text);
        return;
    }
    EmitOutput(text);
    std::fflush(stdout);
}

// Formats into a buffer of the caller's, or into text when it does not fit; returns the
// formatted text.
static std::string_view Format(char* buffer, size_t size, std::string& text, const char* format,
                               va_list args) {
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(buffer, size, format, args);
    if (length < 0) {
        va_end(again);
        return {};
    }
    if (size_t(length) < size) {
        va_end(again);
        return std::string_view(buffer, size_t(length));
    }
    // Only echoes of very long input get here.
    text.assign(size_t(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(size_t(length));
    return text;
}

void Print(const char* format, ...) {
    char buffer[1024];
    std::string text;
    va_list args;
    va_start(args, format);
    std::string_view out = Format(buffer, sizeof buffer, text, format, args);
    va_end(args);
    Write(out);
}

void Notice(const char* format, ...) {
    char buffer[1024];
    std::string text;
    va_list args;
    va_start(args, format);
    std::string_view out = Format(buffer, sizeof buffer, text, format, args);
    va_end(args);
    std::lock_guard<std::mutex> guard(outputLock);
    if (state.holding) {
        Hold(out);
        return;
    }
    EmitNotice(out, state.noticeForm);
    std::fflush(stdout);
}

void HoldOutput() {
    std::lock_guard<std::mutex> guard(outputLock);
    state.holding = true;
}

void ReleaseOutput(NoticeForm held, std::string_view first) {
    std::lock_guard<std::mutex> guard(outputLock);
    EmitOutput(first);
    state.holding = false;
    if (state.heldUsed == 0 && !state.heldCut) {
        std::fflush(stdout);
        return;
    }
    EmitNotice(std::string_view(state.held, state.heldUsed), held);
    if (state.heldCut)
        EmitNotice(HeldCutNote, held);
    state.heldUsed = 0;
    state.heldCut = false;
    std::fflush(stdout);
}

void StopHolding(std::string_view first) {
    std::lock_guard<std::mutex> guard(outputLock);
    EmitOutput(first);
    state.holding = false;
    std::fflush(stdout);
}

void SetNoticeForm(NoticeForm form) {
    std::lock_guard<std::mutex> guard(outputLock);
    state.noticeForm = form;
}

void RestrictToUci() {
    std::lock_guard<std::mutex> guard(outputLock);
    state.uciOnly = true;
}
