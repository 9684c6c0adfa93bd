#include "app/json_writer.h"

#include <cstring>

namespace {

const char kHexDigits[] = "0123456789abcdef";
const char32_t kReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

void AppendJsonString(std::string& out, const std::wstring& text)
{
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t unit = text[i];
        switch (unit) {
        case L'"': out += "\\\""; continue;
        case L'\\': out += "\\\\"; continue;
        case L'\b': out += "\\b"; continue;
        case L'\f': out += "\\f"; continue;
        case L'\n': out += "\\n"; continue;
        case L'\r': out += "\\r"; continue;
        case L'\t': out += "\\t"; continue;
        }
        if (unit < 0x20) {
            out += "\\u00";
            out += kHexDigits[unit >> 4];
            out += kHexDigits[unit & 0xF];
        } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, kReplacementCharacter);
        } else {
            AppendUtf8(out, unit);
        }
    }
    out += '"';
}

void JsonWriter::NewLine()
{
    out_ += '\n';
    out_.append(2 * empty_.size(), ' ');
}

void JsonWriter::BeforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty())
        return;
    if (!empty_.back())
        out_ += ',';
    empty_.back() = false;
    NewLine();
}

void JsonWriter::Open(char bracket)
{
    BeforeValue();
    out_ += bracket;
    empty_.push_back(true);
}

void JsonWriter::Close(char bracket)
{
    const bool wasEmpty = empty_.back();
    empty_.pop_back();
    if (!wasEmpty)
        NewLine();
    out_ += bracket;
}

void JsonWriter::BeginObject() { Open('{'); }
void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::BeginArray() { Open('['); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(const char* name)
{
    BeforeValue();
    AppendJsonString(out_, std::wstring(name, name + strlen(name)));  // names are ASCII
    out_ += ": ";
    afterKey_ = true;
}

void JsonWriter::String(const std::wstring& text)
{
    BeforeValue();
    AppendJsonString(out_, text);
}

void JsonWriter::String(const char* ascii)
{
    String(std::wstring(ascii, ascii + strlen(ascii)));
}

void JsonWriter::StringOrNull(const std::wstring& text)
{
    if (text.empty())
        Null();
    else
        String(text);
}

void JsonWriter::Number(long long value)
{
    BeforeValue();
    out_ += std::to_string(value);
}

void JsonWriter::Bool(bool value)
{
    BeforeValue();
    out_ += value ? "true" : "false";
}

void JsonWriter::Null()
{
    BeforeValue();
    out_ += "null";
}
