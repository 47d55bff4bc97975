// The file dialogs of the console commands.
#include "shell/filedialog.h"

#include "output.h"
#include "shell/inputring.h"

FILE* OpenOrReport(const char* name, const char* mode) {
    FILE* f = std::fopen(name, mode);
    if (!f)
        Print("--- ERROR: Cannot open file ---\n");
    return f;
}

FILE* AskAndOpenFile(const char* question, const char* mode) {
    Write(question);
    char name[SlotSize];
    TakeToken(name);
    return OpenOrReport(name, mode);
}
