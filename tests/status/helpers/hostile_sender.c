/* Sends a status window malformed status blocks, as a faulty or hostile program might:
 *   hostile_sender PRINTER SEED COUNT
 * Finds the window of class "PSWM4WindowClass" titled PRINTER and sends it COUNT WM_COPYDATA
 * messages (dwData 1, 2 and 3) of random length whose length field and string offsets point
 * anywhere: inside, outside, odd, at the last byte, at a string without terminator. The same
 * SEED sends the same messages. Renames use only the letters of RENAME_LETTERS, so that the
 * settings keys they may leave behind can be found again.
 * Exit code: 0 every message was answered within 5 s, 1 some were not (the first is written
 * to the standard error), 2 no window, 3 bad arguments. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_BLOCK_BYTES 600
#define FIXED_PART 0x68
#define LENGTH_FIELD 0x00
#define FIRST_STRING_FIELD 0x5C
#define STRING_FIELDS 3
#define ANSWER_TIMEOUT_MS 5000
#define RENAME_LETTERS L"PSWH"

static DWORD g_random;

/* xorshift32: the same sequence for the same seed on every machine. */
static DWORD Next(void)
{
    g_random ^= g_random << 13;
    g_random ^= g_random >> 17;
    g_random ^= g_random << 5;
    return g_random;
}

static DWORD Below(DWORD bound) { return bound ? Next() % bound : 0; }

static void PutDword(BYTE* block, DWORD size, DWORD offset, DWORD value)
{
    if (offset + sizeof(value) <= size)
        memcpy(block + offset, &value, sizeof(value));
}

/* A block length: any, the fixed part exactly, or too short for the fields near its end. */
static DWORD BlockSize(void)
{
    switch (Below(4)) {
    case 0:
        return FIXED_PART;
    case 1:
        return Below(FIXED_PART);
    default:
        return Below(MAX_BLOCK_BYTES + 1);
    }
}

/* A string offset for a block of `size` bytes, of one of the kinds a broken sender makes. */
static DWORD StringOffset(DWORD size)
{
    switch (Below(8)) {
    case 0:
        return 0;
    case 1:
        return size;                        /* just past the end */
    case 2:
        return size ? size - 1 : 0;         /* the last byte */
    case 3:
        return size >= 2 ? size - 2 : 0;    /* the last character, maybe unterminated */
    case 4:
        return 0x80000000u + Below(0x10000); /* far outside */
    case 5:
        return 0xFFFFFFFFu - Below(8);      /* wraps around when added to */
    case 6:
        return Below(size + 1) | 1;         /* odd */
    default:
        return Below(size + 1) & ~1u;       /* inside, often into the fixed part */
    }
}

/* Random fields, strings of random characters terminated or not, hostile offsets. */
static DWORD FillStatusBlock(BYTE* block)
{
    DWORD size = BlockSize(), i;
    for (i = 0; i < size; ++i)
        block[i] = (BYTE)Next();
    /* Stretches of zeros, so that some strings end inside the block. */
    for (i = FIXED_PART; i + 1 < size; i += 2)
        if (Below(12) == 0)
            block[i] = block[i + 1] = 0;
    switch (Below(3)) {
    case 0:
        PutDword(block, size, LENGTH_FIELD, size);
        break;
    case 1:
        PutDword(block, size, LENGTH_FIELD, 0xFFFFFFFFu - Below(0x1000));
        break;
    default:
        break; /* random bytes */
    }
    for (i = 0; i < STRING_FIELDS; ++i)
        PutDword(block, size, FIRST_STRING_FIELD + 4 * i, StringOffset(size));
    return size;
}

/* A new printer name of random letters, cut anywhere: odd byte counts, no terminator, more
 * characters than a name may have. */
static DWORD FillRename(BYTE* block)
{
    const wchar_t letters[] = RENAME_LETTERS;
    DWORD size = Below(MAX_BLOCK_BYTES + 1), i;
    for (i = 0; i + 1 < size; i += 2) {
        wchar_t c = letters[Below(ARRAYSIZE(letters) - 1)];
        memcpy(block + i, &c, sizeof(c));
    }
    if (size % 2)
        block[size - 1] = (BYTE)Next();
    return size;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show)
{
    static const ULONG_PTR kKinds[] = {1, 1, 1, 1, 1, 1, 2, 3};
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    BYTE block[MAX_BLOCK_BYTES + 1];
    HWND window;
    DWORD count, i, unanswered = 0;
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    if (!argv || argc != 4)
        return 3;
    g_random = wcstoul(argv[2], NULL, 10) | 1;
    count = wcstoul(argv[3], NULL, 10);
    window = FindWindowW(L"PSWM4WindowClass", argv[1]);
    if (!window)
        return 2;
    for (i = 0; i < count; ++i) {
        COPYDATASTRUCT data;
        DWORD_PTR result = 0;
        data.dwData = kKinds[Below(ARRAYSIZE(kKinds))];
        data.cbData = data.dwData == 3 ? FillRename(block) : FillStatusBlock(block);
        /* Now and then no data at all behind a length. */
        data.lpData = data.cbData && Below(50) == 0 ? NULL : block;
        if (!data.lpData)
            data.cbData = 0;
        if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, (LPARAM)&data, SMTO_ABORTIFHUNG, ANSWER_TIMEOUT_MS,
                                 &result)) {
            if (!unanswered++)
                fprintf(stderr, "message %lu (dwData %lu, %lu bytes) was not answered, error %lu\n",
                        (unsigned long)i, (unsigned long)data.dwData, (unsigned long)data.cbData,
                        (unsigned long)GetLastError());
            if (!IsWindow(window))
                break;
        }
    }
    LocalFree(argv);
    return unanswered ? 1 : 0;
}
