#include "app/command_line.h"

#define REPORT_SWITCH L"/status"
#define REPORT_SWITCH_CHARS 16   // a longer first argument is not the switch

// What the arguments are made of, one character at a time, with quotes and escapes taken away.
enum PieceKind {
    PIECE_END,
    PIECE_TEXT,     // a character of an argument
    PIECE_BLANK,    // a blank or tab between arguments, as written
    PIECE_SWITCH,   // a "!" outside quotes, or at the start of an argument
};

struct Piece {
    PieceKind kind;
    wchar_t character;
};

struct ArgumentScanner {
    const wchar_t* next;     // the next character of the line
    BOOL quoted;             // inside a part in quotes
    BOOL atArgumentStart;    // nothing of the current argument given yet
    unsigned backslashes;    // backslashes still to give, before...
    unsigned quotes;         // ...quotes still to give
};

static BOOL IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// The program's path follows its own rule: in quotes up to the next quote, else up to the first
// blank or tab.
static const wchar_t* SkipProgramPath(const wchar_t* line)
{
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && !IsBlank(*line))
            ++line;
    }
    while (IsBlank(*line))
        ++line;
    return line;
}

// A run of quotes: the first opens or closes a part in quotes; of the ones after it, every
// third quote counted from an open part is a quote character, and the part ends with it.
static void ReadQuotes(ArgumentScanner* s)
{
    unsigned count = (s->quoted ? 1 : 0) + 1;
    ++s->next;
    while (*s->next == L'"') {
        ++s->next;
        if (++count == 3) {
            ++s->quotes;
            count = 0;
        }
    }
    s->quoted = count == 1;
}

// Backslashes before a quote stand for half as many, and an odd one makes the quote a
// character; other backslashes are characters.
static void ReadBackslashes(ArgumentScanner* s)
{
    unsigned count = 0;
    while (s->next[count] == L'\\')
        ++count;
    s->next += count;
    if (*s->next != L'"') {
        s->backslashes = count;
        return;
    }
    s->backslashes = count / 2;
    if (count % 2) {
        ++s->quotes;
        ++s->next;
    }
}

static Piece NextPiece(ArgumentScanner* s)
{
    for (;;) {
        Piece piece = {PIECE_TEXT, 0};
        if (s->backslashes) {
            --s->backslashes;
            piece.character = L'\\';
        } else if (s->quotes) {
            --s->quotes;
            piece.character = L'"';
        } else if (!*s->next) {
            piece.kind = PIECE_END;
            return piece;
        } else if (*s->next == L'\\') {
            ReadBackslashes(s);
            continue;
        } else if (*s->next == L'"') {
            ReadQuotes(s);
            continue;
        } else {
            piece.character = *s->next++;
            if (!s->quoted && IsBlank(piece.character))
                piece.kind = PIECE_BLANK;
            else if (piece.character == L'!' && (!s->quoted || s->atArgumentStart))
                piece.kind = PIECE_SWITCH;
        }
        s->atArgumentStart = piece.kind == PIECE_BLANK;
        return piece;
    }
}

// pstatus /status, in any letter case; blanks and tabs around it (in quotes) are allowed, any
// other argument is not.
static CommandKind ReadReportSwitch(ArgumentScanner* s, Piece piece)
{
    wchar_t given[REPORT_SWITCH_CHARS] = L"";
    int length = 0;
    for (; piece.kind == PIECE_TEXT || piece.kind == PIECE_SWITCH; piece = NextPiece(s)) {
        if (length == REPORT_SWITCH_CHARS - 1)
            return COMMAND_MALFORMED;
        given[length++] = piece.character;
    }
    while (piece.kind == PIECE_BLANK)
        piece = NextPiece(s);
    if (piece.kind != PIECE_END)
        return COMMAND_MALFORMED;
    while (length > 0 && IsBlank(given[length - 1]))
        --length;
    given[length] = 0;
    const wchar_t* name = given;
    while (IsBlank(*name))
        ++name;
    return lstrcmpiW(name, REPORT_SWITCH) == 0 ? COMMAND_REPORT : COMMAND_MALFORMED;
}

// The value of !D or !P, up to the next switch or the end; characters beyond the buffer are
// read and dropped. Returns the piece that ended it.
static Piece ReadValue(ArgumentScanner* s, wchar_t* buffer, int chars, BOOL trimBlanks)
{
    int length = 0;
    Piece piece = NextPiece(s);
    for (; piece.kind == PIECE_TEXT || piece.kind == PIECE_BLANK; piece = NextPiece(s))
        if (length < chars - 1)
            buffer[length++] = piece.character;
    while (trimBlanks && length > 0 && IsBlank(buffer[length - 1]))
        --length;
    buffer[length] = 0;
    return piece;
}

CommandKind ReadCommandLine(const wchar_t* commandLine, PswArguments* arguments)
{
    ZeroMemory(arguments, sizeof(*arguments));
    arguments->readToEnd = TRUE;
    ArgumentScanner s = {SkipProgramPath(commandLine), FALSE, TRUE, 0, 0};
    Piece piece = NextPiece(&s);
    if (piece.kind == PIECE_TEXT && piece.character == L'/')
        return ReadReportSwitch(&s, piece);
    while (piece.kind == PIECE_BLANK)
        piece = NextPiece(&s);
    while (piece.kind == PIECE_SWITCH) {
        piece = NextPiece(&s);
        wchar_t name = piece.kind == PIECE_TEXT ? piece.character : 0;
        if (name == L'D') {
            piece = ReadValue(&s, arguments->printer, PRINTER_NAME_CHARS, TRUE);
        } else if (name == L'P') {
            piece = ReadValue(&s, arguments->port, PORT_NAME_CHARS, FALSE);
        } else if (name == L'L' || name == L'S' || name == L'N') {
            arguments->readToEnd = FALSE;
            return COMMAND_WINDOW;
        } else {
            return COMMAND_MALFORMED;
        }
    }
    // Text before the first switch is not understood either.
    return piece.kind == PIECE_END ? COMMAND_WINDOW : COMMAND_MALFORMED;
}

// Appends one argument in quotes: `prefix` as it is, then `value` written so that the reader
// gives it back as it is.
static wchar_t* AppendArgument(wchar_t* out, const wchar_t* prefix, const wchar_t* value)
{
    *out++ = L'"';
    while (*prefix)
        *out++ = *prefix++;
    for (const wchar_t* p = value;; ++p) {
        unsigned backslashes = 0;
        while (*p == L'\\') {
            ++backslashes;
            ++p;
        }
        // Backslashes before a quote, the closing one included, are doubled.
        if (*p == L'"' || !*p)
            backslashes *= 2;
        while (backslashes--)
            *out++ = L'\\';
        if (!*p)
            break;
        if (*p == L'"')
            *out++ = L'\\';
        *out++ = *p;
    }
    *out++ = L'"';
    return out;
}

size_t WindowCommandLineChars(size_t programChars)
{
    // Every character of a value may come out doubled; quotes, switches and blanks besides.
    return programChars + 2 * (PRINTER_NAME_CHARS + PORT_NAME_CHARS) + 16;
}

BOOL WriteWindowCommandLine(const wchar_t* program, const wchar_t* printer, const wchar_t* port, wchar_t* line,
                            size_t chars)
{
    size_t programChars = lstrlenW(program);
    if (lstrlenW(printer) >= PRINTER_NAME_CHARS || lstrlenW(port) >= PORT_NAME_CHARS ||
        chars < WindowCommandLineChars(programChars))
        return FALSE;
    wchar_t* out = line;
    *out++ = L'"';
    CopyMemory(out, program, programChars * sizeof(wchar_t));
    out += programChars;
    *out++ = L'"';
    *out++ = L' ';
    out = AppendArgument(out, L"!D", printer);
    *out++ = L' ';
    out = AppendArgument(out, L"!P", port);
    *out = 0;
    return TRUE;
}
