// The console and xboard command interpreter.
#pragma once

struct Engine;

// Carries out a command word; returns nonzero when the token was a command.
int InterpretCommand(Engine& e, const char* token);
