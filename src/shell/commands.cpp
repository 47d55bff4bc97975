// Dispatch of command words, tested in table order.
#include "shell/commands.h"

#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "eval/evalreport.h"
#include "shell/logfile.h"
#include "shell/output.h"

// Prints the console prompt after a command when the console is in use.
static void Prompt(const Engine& e) {
    if (e.shell.consoleMode)
        Print("Enter a move or command:\n");
}

int InterpretCommand(Engine& e, const char* token) {
    if (std::strcmp(token, "quit") == 0) {
        FlushLog(e);
        std::fflush(stdout);
        std::_Exit(0);
    }
    if (std::strcmp(token, "xboard") == 0) {
        e.shell.xboardMode = 1;
        e.shell.consoleMode = 0;
        return 1;
    }
    if (std::strcmp(token, "eval") == 0) {
        PrintEvaluation(e);
        Prompt(e);
        return 1;
    }
    return 0;
}
