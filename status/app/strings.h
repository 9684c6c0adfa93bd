// The one loader of the program's texts.
#pragma once
#include <windows.h>

// Loads string `id` of the program into `buffer`; when it cannot be loaded, copies the
// English text compiled in for it (empty when there is none). Returns the length.
int LoadText(UINT id, wchar_t* buffer, int chars);
