// A small writer of one JSON document (RFC 8259) in UTF-8, for the program's UTF-16 text.
#pragma once
#include "app/layer.h"
#include <string>
#include <vector>

class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next member of the open object.
    void Key(const char* name);
    void String(const std::wstring& text);
    void String(const char* ascii);  // a name of the program's own, ASCII only
    // A string, or null when the text is empty (a value that is not known).
    void StringOrNull(const std::wstring& text);
    void Number(long long value);
    void Bool(bool value);
    void Null();

    // The document: two blanks of indentation per level, a line end after the last value.
    std::string Document() const { return out_ + "\n"; }

private:
    // Puts what separates a value from the one before it in its array or object.
    void BeforeValue();
    void Open(char bracket);
    void Close(char bracket);
    void NewLine();

    std::string out_;
    std::vector<bool> empty_;  // per open object or array: nothing in it yet
    bool afterKey_ = false;
};

// Appends `text` as a JSON string literal: quotes, backslashes and control characters
// escaped, everything else as UTF-8; a UTF-16 unit that is half of no pair becomes U+FFFD.
void AppendJsonString(std::string& out, const std::wstring& text);
