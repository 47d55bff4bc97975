// Standard output for GUIs on pipes: every message written whole under one lock and flushed.
#pragma once

#include <string_view>

// Formats and writes one message to standard output, then flushes it.
void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes a ready text to standard output, then flushes it.
void Write(std::string_view text);

// Formats and writes a notice: a report that belongs to no protocol (a book, position or
// table that could not be used as it stands). Notices take the form of the protocol in use.
void Notice(const char* format, ...) __attribute__((format(printf, 1, 2)));

// How notices reach standard output.
enum class NoticeForm {
    Plain,    // as they are (the console, and xboard without protocol version 2)
    Comment,  // each line after "# ", which xboard ignores
    UciInfo,  // each line as "info string ..."; empty lines are dropped
};

// From start-up until the protocol is known, everything written is held back: an interface
// must not see the console's texts before it has said which protocol it speaks.
void HoldOutput();

// Writes first, then what was held, every held line as a notice in form held; from then on
// output goes straight out. When nothing is held, only first is written.
void ReleaseOutput(NoticeForm held, std::string_view first = {});

// Writes first; from then on output goes straight out, but what was held stays held until
// ReleaseOutput: an interface may want to hear nothing more until it speaks again.
void StopHolding(std::string_view first);

// Sets the form of notices written from now on (Plain at first).
void SetNoticeForm(NoticeForm form);

// Under UCI nothing but the protocol may reach the interface: from now on every line that
// is not an engine-to-interface command goes out as "info string ...".
void RestrictToUci();
