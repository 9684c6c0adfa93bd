// pstatus /status: what every status window of this desktop shows, as JSON on the standard
// output, for scripts and management tools. Creates no window of the status window's own,
// binds no library and changes nothing.
#pragma once
#include <windows.h>

#define EXIT_REPORT_NO_ERROR 0
#define EXIT_REPORT_NOT_WRITTEN 1   // the standard output could not be written
#define EXIT_REPORT_USAGE 2         // a malformed command line
#define EXIT_REPORT_ERROR_SHOWN 3   // at least one window shows a printer error

// TRUE when the command line holds a switch ("/..."), not the window's "!D"/"!P" arguments.
BOOL IsReportCommandLine(const wchar_t* commandLine);
// Runs the report of a switch command line; returns the exit code.
int RunStatusReport(HINSTANCE instance, const wchar_t* commandLine);
