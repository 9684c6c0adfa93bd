// Splits a text at delimiters the way the file list and its time stamps are read: each split
// works on a private copy of the text, so that several splits can run side by side.
#pragma once

struct TokenizerState {
    wchar_t* copy = nullptr;   // private copy of the text being split
    wchar_t* cursor = nullptr; // where the next token starts; null when done
};

// The first token of `text` (a new copy replaces the old) or, with null, the next one of the
// copy; null when no token is left.
wchar_t* NextToken(wchar_t* text, const wchar_t* delimiters, TokenizerState* state);
void InitTokenizer(TokenizerState* state);
void FreeTokenizer(TokenizerState* state);
// The first character of `text` that is in `set`; null when none is.
const wchar_t* FindAnyOf(const wchar_t* text, const wchar_t* set);
