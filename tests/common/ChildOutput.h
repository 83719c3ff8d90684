// Running a program of the tests and reading what it printed.
#pragma once

#include <windows.h>

#include <string>

// Runs the command line with a pipe as its standard output, its error output
// shared with this process, and no input; waits for its end. False when it
// could not start.
bool RunForOutput(const std::string& strCommandLine, std::string& strOutput, DWORD& dwExitCode);
