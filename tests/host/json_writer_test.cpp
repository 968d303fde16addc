#include "cli/json_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/portable/utf.h"

namespace vorlix {
namespace {

// Every character class JSON treats differently, plus texts the registry can
// hold: all control characters, DEL, non-ASCII, a surrogate pair and unpaired
// surrogates (written as U+FFFD).
std::u16string awkward_text() {
    std::u16string text = u"quote \" backslash \\ slash / del \x7F \u00e9\u4e2d \U0001F600 ";
    for (char16_t unit = 0; unit < 0x20; ++unit) text.push_back(unit);
    text += u"tail";
    text.push_back(0xD800);
    text.push_back(u'x');
    text.push_back(0xDC00);
    return text;
}

TEST(JsonWriter, WritesWhatTheDocumentTreeDumps) {
    const std::u16string texts[] = {u"", u"plain", awkward_text()};
    const std::int64_t numbers[] = {0, -1, 4294967295, -2147483648};

    cli::JsonWriter writer;
    nlohmann::ordered_json expected;
    writer.begin_object();
    writer.key("empty");
    writer.begin_array();
    writer.end_array();
    expected["empty"] = nlohmann::ordered_json::array();
    writer.key("records");
    writer.begin_array();
    expected["records"] = nlohmann::ordered_json::array();
    for (int index = 0; index < 3; ++index) {
        writer.begin_object();
        writer.key("text");
        writer.value(texts[index]);
        writer.key("number");
        writer.value(numbers[index]);
        writer.key("flag");
        writer.value(index % 2 == 0);
        writer.end_object();
        nlohmann::ordered_json record;
        record["text"] = to_utf8(texts[index]);
        record["number"] = numbers[index];
        record["flag"] = index % 2 == 0;
        expected["records"].push_back(record);
    }
    writer.end_array();
    writer.key("last");
    writer.value(numbers[3]);
    writer.end_object();
    expected["last"] = numbers[3];

    EXPECT_EQ(writer.take(), expected.dump());
}

TEST(JsonWriter, ControlCharactersUseShortEscapesWhereJsonHasThem) {
    cli::JsonWriter writer;
    writer.value(std::u16string_view(u"\b\f\n\r\t\x01\x1f", 7));
    EXPECT_EQ(writer.take(), R"("\b\f\n\r\t\u0001\u001f")");
}

}  // namespace
}  // namespace vorlix
