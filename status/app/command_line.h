// The command line of pstatus, read as Windows programs read theirs: the program's path
// first (in quotes, or up to the first blank or tab), then arguments separated by blanks and
// tabs, where a part in quotes may hold blanks, tabs and "!", \" stands for a quote and
// backslashes are taken as they are unless a quote follows them.
//   pstatus !D<printer name> !P<port name>   the status window of a printer
//   pstatus /status                          what every status window shows, for scripts
// The start-up program writes the names without quotes: a value runs from its switch to the
// next "!" outside quotes (or the next argument that begins with one), with the blanks
// between its words as written. !L, !S and !N end the switches; what follows them is the
// start-up program's own.
#pragma once
#include <windows.h>
#include "app/state.h"

#define EXIT_USAGE 2   // a command line that is not understood: the usage on the standard error

enum CommandKind {
    COMMAND_WINDOW,      // serve the printer (none given: end at once)
    COMMAND_REPORT,      // pstatus /status
    COMMAND_MALFORMED,   // anything else
};

struct PswArguments {
    wchar_t printer[PRINTER_NAME_CHARS];   // !D, trailing blanks and tabs removed, cut to fit
    wchar_t port[PORT_NAME_CHARS];         // !P as it is, cut to fit
    BOOL readToEnd;                        // FALSE when !L, !S or !N ended the switches
};

CommandKind ReadCommandLine(const wchar_t* commandLine, PswArguments* arguments);

// The command line that starts the window of a printer at a port: the program's path and both
// values in quotes, so that ReadCommandLine gives them back as they are. FALSE when it does not
// fit in `chars`.
BOOL WriteWindowCommandLine(const wchar_t* program, const wchar_t* printer, const wchar_t* port, wchar_t* line,
                            size_t chars);
// Characters enough for WriteWindowCommandLine with a program path of `programChars`.
size_t WindowCommandLineChars(size_t programChars);
