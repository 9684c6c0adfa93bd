#include "checks/tokenizer.h"

#include <cwchar>

void InitTokenizer(TokenizerState* state)
{
    state->copy = nullptr;
    state->cursor = nullptr;
}

void FreeTokenizer(TokenizerState* state)
{
    delete[] state->copy;
    state->copy = nullptr;
    state->cursor = nullptr;
}

wchar_t* NextToken(wchar_t* text, const wchar_t* delimiters, TokenizerState* state)
{
    if (text) {
        delete[] state->copy;
        size_t length = wcslen(text);
        state->copy = new wchar_t[length + 1];
        wmemcpy(state->copy, text, length + 1);
        state->cursor = state->copy;
    }
    wchar_t* token = state->cursor;
    if (!token)
        return nullptr;
    if (!delimiters)
        delimiters = L"";
    while (*token && wcschr(delimiters, *token))
        ++token;
    if (!*token) {
        state->cursor = nullptr;
        return nullptr;
    }
    const wchar_t* end = FindAnyOf(token, delimiters);
    if (end) {
        token[end - token] = L'\0';
        state->cursor = token + (end - token) + 1;
    } else {
        state->cursor = nullptr;
    }
    return token;
}

const wchar_t* FindAnyOf(const wchar_t* text, const wchar_t* set)
{
    for (; text && set && *text; ++text)
        if (wcschr(set, *text))
            return text;
    return nullptr;
}
