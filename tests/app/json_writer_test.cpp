// The JSON writer of the unattended report, read back by a JSON parser.
#include "app/json_writer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace {

TEST(JsonString, EveryUtf16TextReadsBackAsItsUtf8)
{
    struct Case {
        const char* label;
        std::wstring text;
        std::string utf8;  // what a parser reads back
    };
    const Case cases[] = {
        { "quotes and backslashes", L"Tavik \"A\" \\\\srv\\q", "Tavik \"A\" \\\\srv\\q" },
        { "control characters", std::wstring(L"a\0b\x01\t\n\r\b\f\x1f\x7f", 11),
          std::string("a\0b\x01\t\n\r\b\f\x1f\x7f", 11) },
        { "Chinese", L"错误:打印机", "\xE9\x94\x99\xE8\xAF\xAF:\xE6\x89\x93\xE5\x8D\xB0\xE6\x9C\xBA" },
        { "two and three byte forms", L"\x00E9\x07FF\x0800\xFFFD", "\xC3\xA9\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBD" },
        { "a pair of surrogates is one character", L"\xD83D\xDE00", "\xF0\x9F\x98\x80" },
        { "a lone surrogate becomes U+FFFD", L"a\xD83D" L"b\xDE00", "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" },
        { "a high surrogate at the end", L"x\xDBFF", "x\xEF\xBF\xBD" },
    };
    for (const Case& c : cases) {
        std::string literal;
        AppendJsonString(literal, c.text);
        // The parser refuses raw control characters and malformed UTF-8: a parse is the proof.
        nlohmann::json parsed = nlohmann::json::parse(literal, nullptr, false);
        ASSERT_FALSE(parsed.is_discarded()) << c.label << ": " << literal;
        ASSERT_TRUE(parsed.is_string()) << c.label;
        EXPECT_EQ(parsed.get<std::string>(), c.utf8) << c.label << ": " << literal;
    }
}

TEST(JsonWriter, NestedValuesKeepTheirPlaces)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("n");
    json.Number(-2147483648LL);
    json.Key("empty");
    json.BeginArray();
    json.EndArray();
    json.Key("list");
    json.BeginArray();
    json.BeginObject();
    json.Key("a");
    json.Bool(true);
    json.Key("b");
    json.StringOrNull(L"");
    json.EndObject();
    json.BeginObject();
    json.EndObject();
    json.String("id");
    json.EndArray();
    json.Key("last");
    json.Bool(false);
    json.EndObject();

    const std::string document = json.Document();
    EXPECT_EQ(document.back(), '\n');
    nlohmann::json parsed = nlohmann::json::parse(document, nullptr, false);
    ASSERT_FALSE(parsed.is_discarded()) << document;
    EXPECT_EQ(parsed, nlohmann::json::parse(R"({"n": -2147483648, "empty": [],
        "list": [{"a": true, "b": null}, {}, "id"], "last": false})"))
        << document;
    // The members keep the order they were written in.
    EXPECT_LT(document.find("\"n\""), document.find("\"empty\""));
    EXPECT_LT(document.find("\"list\""), document.find("\"last\""));
}

}  // namespace
