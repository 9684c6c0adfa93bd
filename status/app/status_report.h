// pstatus /status: what every status window of this desktop shows, as JSON on the standard
// output, for scripts and management tools. Creates no window of the status window's own,
// binds no library and changes nothing.
#pragma once
#include <windows.h>

#define EXIT_REPORT_NO_ERROR 0
#define EXIT_REPORT_NOT_WRITTEN 1   // the standard output could not be written
#define EXIT_REPORT_ERROR_SHOWN 3   // at least one window shows a printer error
// A malformed command line ends with EXIT_USAGE (command_line.h).

// Runs the report; returns the exit code.
int RunStatusReport(HINSTANCE instance);
// Writes the usage of both command lines to the standard error; returns EXIT_USAGE.
int WriteUsage(HINSTANCE instance);
