// The one loader of the program's texts.
#pragma once
#include <windows.h>

// wsprintfW writes at most this many characters: the size of every buffer it fills.
#define FORMATTED_TEXT_CHARS 1024

// Loads string `id` of the program into `buffer`; when it cannot be loaded, copies the
// English text compiled in for it (empty when there is none). Returns the length.
int LoadText(UINT id, wchar_t* buffer, int chars);
