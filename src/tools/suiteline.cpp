// Reading suite files line by line, whatever the length of a line.
#include "tools/suiteline.h"

#include <cstring>

// Characters that name a record type at the start of a line, and the head skipped before
// its text (the name and one blank).
constexpr size_t RecordNameLength = 4;
constexpr size_t RecordHeadLength = 5;

SuiteLineRead ReadSuiteLine(FILE* file, char* buffer) {
    int length = 0;
    int c = std::getc(file);
    if (c == EOF)
        return SuiteLineRead::End;
    bool tooLong = false;
    for (; c != EOF && c != '\n'; c = std::getc(file)) {
        if (length < SuiteLineCapacity - 1)
            buffer[length++] = char(c);
        else
            tooLong = true;  // read on to the line end so the next line starts cleanly
    }
    if (length > 0 && buffer[length - 1] == '\r')
        length--;
    buffer[length] = '\0';
    return tooLong ? SuiteLineRead::TooLong : SuiteLineRead::Line;
}

// True when the line starts with the four-character record name.
static bool HasRecordName(const char* line, const char* name) {
    return std::strncmp(line, name, RecordNameLength) == 0;
}

// True when the line holds nothing but blanks and tabs.
static bool IsBlankLine(const char* line) {
    for (; *line; line++)
        if (*line != ' ' && *line != '\t')
            return false;
    return true;
}

SuiteLineKind ClassifySuiteLine(const char* line) {
    if (HasRecordName(line, "rtrn"))
        return SuiteLineKind::Return;
    if (HasRecordName(line, "noop"))
        return SuiteLineKind::Noop;
    if (IsBlankLine(line))
        return SuiteLineKind::Empty;
    if (HasRecordName(line, "echo"))
        return SuiteLineKind::Echo;
    if (HasRecordName(line, "svfe"))
        return SuiteLineKind::SetPosition;
    if (HasRecordName(line, "srch"))
        return SuiteLineKind::Search;
    if (std::strstr(line, " bm"))
        return SuiteLineKind::BestMoves;
    if (std::strstr(line, " am"))
        return SuiteLineKind::AvoidMoves;
    return SuiteLineKind::Unknown;
}

const char* RecordText(const char* line) {
    return std::strlen(line) >= RecordHeadLength ? line + RecordHeadLength : "";
}

EpdMoveOperation SplitEpdMoves(const char* line) {
    const char* op = std::strstr(line, " bm");
    if (!op)
        op = std::strstr(line, " am");
    if (!op)
        return {std::string_view(line), std::string_view(), false};
    const char* list = op + 3;  // after " bm"
    const char* end = std::strchr(list, ';');
    std::string_view position(line, size_t(op - line));
    if (!end)
        return {position, std::string_view(list), false};
    return {position, std::string_view(list, size_t(end - list)), true};
}

bool ListsMove(std::string_view list, std::string_view move) {
    if (move.empty())
        return false;
    for (size_t at = list.find(move); at != std::string_view::npos;
         at = list.find(move, at + 1)) {
        size_t after = at + move.size();
        if (at > 0 && list[at - 1] == ' ' && (after == list.size() || list[after] == ' '))
            return true;
    }
    return false;
}
