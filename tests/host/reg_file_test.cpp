#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <string>

#include "platform/portable/reg_file.h"
#include "platform/portable/utf.h"

namespace vorlix::regfile {
namespace {

std::string utf16le(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::string sz(std::u16string_view text) { return utf16le(text) + std::string(2, '\0'); }

std::string doc_text(const std::string& body) { return "Windows Registry Editor Version 5.00\r\n\r\n" + body; }

::testing::AssertionResult same_documents(const Document& a, const Document& b) {
    if (a.keys.size() != b.keys.size()) return ::testing::AssertionFailure() << "key counts differ";
    for (std::size_t k = 0; k < a.keys.size(); ++k) {
        const Key &x = a.keys[k], &y = b.keys[k];
        if (x.root != y.root || x.path != y.path || x.remove != y.remove || x.values.size() != y.values.size())
            return ::testing::AssertionFailure() << "key " << k << " differs: " << to_utf8(x.path) << " / " << to_utf8(y.path);
        for (std::size_t v = 0; v < x.values.size(); ++v) {
            const Value &p = x.values[v], &q = y.values[v];
            if (p.name != q.name || p.remove != q.remove || p.type != q.type || p.data != q.data)
                return ::testing::AssertionFailure() << "value " << v << " of key " << k << " differs: " << to_utf8(p.name);
        }
    }
    return ::testing::AssertionSuccess();
}

std::optional<Document> parse_ok(const std::string& text) {
    ParseError error;
    auto document = parse(text, &error);
    EXPECT_TRUE(document) << "line " << error.line << ": " << error.message;
    return document;
}

// ---------------------------------------------------------------- reading

TEST(RegFileRead, ReadsEveryValueFormRegeditWrites) {
    const auto document = parse_ok(doc_text(
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
        "@=\"default\"\r\n"
        "\"Path\"=\"C:\\\\Program Files\\\\\\\"x\\\"\"\r\n"
        "\"Count\"=dword:0000abcd\r\n"
        "\"Bin\"=hex:01,ff\r\n"
        "\"Expand\"=hex(2):25,00,00,00\r\n"
        "\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
        "\"Quad\"=hex(b):01,00,00,00,00,00,00,00\r\n"
        "\"None\"=hex(0):\r\n"
        "\"Odd\"=hex(12345678):aa\r\n"
        "\"Gone\"=-\r\n"
        "\r\n"
        "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"));
    ASSERT_TRUE(document);
    ASSERT_EQ(document->keys.size(), 2u);
    const Key& key = document->keys[0];
    EXPECT_EQ(key.root, u"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(key.path, u"SOFTWARE\\Test");
    ASSERT_EQ(key.values.size(), 10u);
    EXPECT_EQ(key.values[0].name, u"");
    EXPECT_EQ(key.values[0].data, sz(u"default"));
    EXPECT_EQ(key.values[1].name, u"Path");
    EXPECT_EQ(key.values[1].data, sz(u"C:\\Program Files\\\"x\""));
    EXPECT_EQ(key.values[2].type, 4u);
    EXPECT_EQ(key.values[2].data, std::string("\xcd\xab\0\0", 4));
    EXPECT_EQ(key.values[3].type, 3u);
    EXPECT_EQ(key.values[3].data, "\x01\xff");
    EXPECT_EQ(key.values[4].type, 2u);
    EXPECT_EQ(key.values[5].type, 7u);
    EXPECT_EQ(key.values[6].type, 11u);
    EXPECT_EQ(key.values[7].type, 0u);
    EXPECT_TRUE(key.values[7].data.empty());
    EXPECT_EQ(key.values[8].type, 0x12345678u);
    EXPECT_TRUE(key.values[9].remove);
    EXPECT_TRUE(document->keys[1].remove);
    EXPECT_EQ(document->keys[1].root, u"HKEY_CURRENT_USER");
}

TEST(RegFileRead, AcceptsUtf16Utf8LineContinuationsAndShortRoots) {
    const std::string body =
        "[HKLM\\A]\n"
        "\"Bin\"=hex:01,02,\\\n"
        "     03,\\\n"
        "  04\n";
    std::string utf16 = "\xFF\xFE" + utf16le(from_utf8(doc_text(body)));
    for (const std::string& text : {doc_text(body), "\xEF\xBB\xBF" + doc_text(body), utf16}) {
        const auto document = parse_ok(text);
        ASSERT_TRUE(document);
        ASSERT_EQ(document->keys.size(), 1u);
        EXPECT_EQ(document->keys[0].root, u"HKEY_LOCAL_MACHINE");
        EXPECT_EQ(document->keys[0].values[0].data, "\x01\x02\x03\x04");
    }
}

TEST(RegFileRead, KeyNamesMayHoldBracketsAndQuotedDataMayEndInABackslash) {
    const auto document = parse_ok(doc_text("[HKEY_USERS\\S-1\\a]b]]\r\n\"Dir\"=\"C:\\\\\"\r\n"));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->keys[0].path, u"S-1\\a]b]");
    EXPECT_EQ(document->keys[0].values[0].data, sz(u"C:\\"));
}

TEST(RegFileRead, MalformedInputGivesTheLineAndNoDocument) {
    struct Case {
        std::string text;
        std::size_t line;
    };
    const Case cases[] = {
        {"REGEDIT4\r\n", 1},
        {"", 1},
        {doc_text("\"Value\"=\"before any key\"\r\n"), 3},
        {doc_text("[HKEY_NOWHERE\\X]\r\n"), 3},
        {doc_text("[HKEY_CURRENT_USER\\X\r\n"), 3},
        {doc_text("[HKEY_CURRENT_USER\\X\\\\Y]\r\n"), 3},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"unterminated=\"x\"\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"unterminated\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"x\" trailing\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=dword:123456789\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=dword:\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex:01,\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex:01,2g\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex:123\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex(g):01\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex(2:01\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=hex:01,02,\\\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\"=str:x\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\n\"a\" \"x\"\r\n"), 4},
        {doc_text("[-HKEY_CURRENT_USER\\X]\r\n\"a\"=\"x\"\r\n"), 4},
        {doc_text("[HKEY_CURRENT_USER\\X]\r\ngarbage\r\n"), 4},
        {"\xFF\xFE" + utf16le(u"Windows Registry Editor Version 5.00") + "x", 1},
    };
    for (const Case& c : cases) {
        ParseError error;
        EXPECT_FALSE(parse(c.text, &error)) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_FALSE(error.message.empty());
    }
}

TEST(RegFileRead, SurvivesMutatedAndRandomInput) {
    std::mt19937 random(7);
    const std::string_view marks = "\\\"[]=,:-@\r\n;(";
    const std::string seed = doc_text(
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"x\"=hex(7):61,00,00,\\\r\n  00\r\n@=\"q\\\\\"\r\n\"d\"=dword:1\r\n");
    for (int round = 0; round < 3000; ++round) {
        std::string text = round % 3 == 0 ? std::string(random() % 64, '\0') : seed;
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
                case 0: text[at] = static_cast<char>(random()); break;
                case 1: text.erase(at, 1 + random() % 8); break;
                default: text.insert(at, 1, marks[random() % marks.size()]);
            }
        }
        ParseError error;
        if (!parse(text, &error)) {
            EXPECT_FALSE(error.message.empty());
        }
    }
}

// ---------------------------------------------------------------- writing

TEST(RegFileWrite, WritesRegeditLayoutInUtf16WithCrLf) {
    Document document;
    Key key{u"HKEY_CURRENT_USER", u"Software\\Test", false, {}};
    key.values.push_back({u"", false, 1, sz(u"default")});
    key.values.push_back({u"Path", false, 1, sz(u"C:\\Dir\\\"q\"")});
    key.values.push_back({u"Count", false, 4, std::string("\x2a\0\0\0", 4)});
    key.values.push_back({u"Bin", false, 3, "\x01\x02"});
    key.values.push_back({u"Expand", false, 2, std::string("%\0\0\0", 4)});
    key.values.push_back({u"Gone", true, 1, {}});
    document.keys.push_back(key);
    document.keys.push_back({u"HKEY_LOCAL_MACHINE", u"SOFTWARE\\Old", true, {}});
    const std::string expected = doc_text(
        "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
        "@=\"default\"\r\n"
        "\"Path\"=\"C:\\\\Dir\\\\\\\"q\\\"\"\r\n"
        "\"Count\"=dword:0000002a\r\n"
        "\"Bin\"=hex:01,02\r\n"
        "\"Expand\"=hex(2):25,00,00,00\r\n"
        "\"Gone\"=-\r\n"
        "\r\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n"
        "\r\n");
    EXPECT_EQ(write_utf8(document), expected);
    EXPECT_EQ(write(document), "\xFF\xFE" + utf16le(from_utf8(expected)));
}

TEST(RegFileWrite, StringsAndDwordsTheQuotedFormCannotCarryGoOutAsHex) {
    Document document;
    Key key{u"HKEY_CURRENT_USER", u"K", false, {}};
    key.values.push_back({u"NoNull", false, 1, utf16le(u"ab")});
    key.values.push_back({u"TwoNulls", false, 1, sz(u"ab") + std::string(2, '\0')});
    key.values.push_back({u"Embedded", false, 1, sz(u"a") + sz(u"b")});
    key.values.push_back({u"OddLength", false, 1, "abc"});
    key.values.push_back({u"LineBreak", false, 1, sz(u"a\r\nb")});
    key.values.push_back({u"LoneSurrogate", false, 1, sz(u"\xD800")});
    key.values.push_back({u"ShortDword", false, 4, "\x01\x02"});
    document.keys.push_back(key);
    const std::string text = write_utf8(document);
    EXPECT_NE(text.find("\"NoNull\"=hex(1):61,00,62,00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"OddLength\"=hex(1):61,62,63\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"ShortDword\"=hex(4):01,02\r\n"), std::string::npos);
    EXPECT_EQ(text.find("=\""), std::string::npos);
    const auto back = parse(write(document));
    ASSERT_TRUE(back);
    EXPECT_TRUE(same_documents(*back, document));
}

TEST(RegFileWrite, LongHexDataWrapsBefore80Columns) {
    Document document;
    document.keys.push_back({u"HKEY_CURRENT_USER", u"K", false, {{u"Blob", false, 3, std::string(300, '\x5a')}}});
    const std::string text = write_utf8(document);
    std::size_t start = 0, continued = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        EXPECT_LE(line.size(), 80u) << line;
        if (!line.empty() && line.back() == '\\') ++continued;
        start = end + 2;
    }
    EXPECT_GT(continued, 3u);
    EXPECT_NE(text.find(",\\\r\n  5a,"), std::string::npos);
}

TEST(RegFileWrite, NamesWithLineBreaksCannotInjectLines) {
    Document document;
    Key key{u"HKEY_CURRENT_USER", u"K\n[-HKEY_LOCAL_MACHINE]", false, {}};
    key.values.push_back({u"x\"=-\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"y", false, 3, "\x01"});
    document.keys.push_back(key);
    const auto back = parse(write(document));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->keys.size(), 1u);
    EXPECT_FALSE(back->keys[0].remove);
    EXPECT_EQ(back->keys[0].values[0].name, key.values[0].name);
    EXPECT_EQ(back->keys[0].path.find(u'\n'), std::u16string::npos);
}

// ---------------------------------------------------------------- round trip

class RandomDocuments {
public:
    explicit RandomDocuments(unsigned seed) : random_(seed) {}

    Document next(bool lone_surrogates) {
        Document document;
        const int keys = 1 + pick(6);
        for (int k = 0; k < keys; ++k) {
            Key key;
            key.root = std::u16string(roots[pick(4)]);
            const int depth = pick(4);
            for (int d = 0; d < depth; ++d) key.path += (d ? u"\\" : u"") + text(1 + pick(12), true, lone_surrogates);
            key.remove = pick(8) == 0;
            const int values = key.remove ? 0 : pick(6);
            for (int v = 0; v < values; ++v) key.values.push_back(value(lone_surrogates));
            document.keys.push_back(std::move(key));
        }
        return document;
    }

private:
    static constexpr std::u16string_view roots[] = {u"HKEY_LOCAL_MACHINE", u"HKEY_CURRENT_USER", u"HKEY_USERS",
                                                    u"HKEY_CLASSES_ROOT"};

    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    // Quotes, backslashes, the format's own marks, blanks, line breaks,
    // right-to-left and non-BMP text; key names never hold a backslash, and
    // their line breaks have no escape in the format.
    std::u16string text(int length, bool key_name, bool lone_surrogates) {
        static constexpr std::u16string_view pool = u"aZ09 \"\\=[]@;:,-()%\t\u00e9\u05d0\u0627\u200f\u4e2d";
        std::u16string out;
        while (static_cast<int>(out.size()) < length) {
            const int kind = pick(20);
            if (kind == 0) {
                out += u"\U0001F600";
            } else if (kind == 1 && !key_name) {
                out += pick(2) ? u'\n' : u'\r';
            } else if (kind == 2 && lone_surrogates) {
                out += static_cast<char16_t>(0xD800 + pick(0x800));
            } else {
                char16_t c = pool[static_cast<std::size_t>(pick(static_cast<int>(pool.size())))];
                if (key_name && c == u'\\') c = u'/';
                out += c;
            }
        }
        return out;
    }

    Value value(bool lone_surrogates) {
        Value value;
        value.name = pick(6) == 0 ? u"" : text(1 + pick(20), false, lone_surrogates);
        switch (pick(7)) {
            case 0: value.remove = true; break;
            case 1: value.type = 1; value.data = sz(text(pick(40), false, lone_surrogates)); break;
            case 2: value.type = 4; value.data = bytes(4); break;
            case 3: value.type = 3; value.data = bytes(pick(3) == 0 ? 65536 : pick(200)); break;
            default:
                value.type = std::array<std::uint32_t, 7>{0, 1, 2, 4, 7, 11, 0xFFFFFFFF}[static_cast<std::size_t>(pick(7))];
                value.data = bytes(pick(50));
        }
        return value;
    }

    std::string bytes(int count) {
        std::string out(static_cast<std::size_t>(count), '\0');
        for (char& c : out) c = static_cast<char>(random_());
        return out;
    }

    std::mt19937 random_;
};

TEST(RegFileRoundTrip, ReadingWhatWasWrittenGivesTheSameDocument) {
    RandomDocuments documents(2024);
    for (int round = 0; round < 150; ++round) {
        const Document document = documents.next(true);
        const auto back = parse(write(document));
        ASSERT_TRUE(back) << "round " << round;
        ASSERT_TRUE(same_documents(*back, document)) << "round " << round;
    }
}

TEST(RegFileRoundTrip, TheUtf8FormRoundTripsValidText) {
    RandomDocuments documents(99);
    for (int round = 0; round < 100; ++round) {
        const Document document = documents.next(false);
        const auto back = parse(write_utf8(document));
        ASSERT_TRUE(back) << "round " << round;
        ASSERT_TRUE(same_documents(*back, document)) << "round " << round;
    }
}

TEST(RegFileRoundTrip, NamesOfExactly255CharactersSurvive) {
    Document document;
    const std::u16string name(255, u'n');
    document.keys.push_back({u"HKEY_CURRENT_USER", u"Software\\" + name, false, {{name, false, 1, sz(name)}}});
    const auto back = parse(write(document));
    ASSERT_TRUE(back);
    EXPECT_TRUE(same_documents(*back, document));
}

TEST(RegFileRoots, LongAndShortNamesMapToTheLongName) {
    EXPECT_EQ(long_root_name(u"HKLM"), u"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(long_root_name(u"hkcu"), u"HKEY_CURRENT_USER");
    EXPECT_EQ(long_root_name(u"HKEY_CLASSES_ROOT"), u"HKEY_CLASSES_ROOT");
    EXPECT_EQ(long_root_name(u"HKU"), u"HKEY_USERS");
    EXPECT_EQ(long_root_name(u"HKEY_SOMEWHERE"), u"");
}

// ---------------------------------------------------------------- UTF conversion

TEST(Utf, ConvertsEveryPlaneAndReplacesWhatIsBroken) {
    const std::u16string text = u"a\u00e9\u4e2d\U0001F600\u05d0";
    EXPECT_EQ(from_utf8(to_utf8(text)), text);
    EXPECT_EQ(to_utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(to_utf8(std::u16string{u'x', static_cast<char16_t>(0xD800), u'y'}), "x\xEF\xBF\xBDy");
    EXPECT_EQ(to_utf8(std::u16string{static_cast<char16_t>(0xDC00)}), "\xEF\xBF\xBD");

    EXPECT_EQ(from_utf8("\xC0\x80"), u"\uFFFD\uFFFD");          // overlong
    EXPECT_EQ(from_utf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(from_utf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
    EXPECT_EQ(from_utf8("a\xE2\x82"), u"a\uFFFD");             // cut short
    EXPECT_EQ(from_utf8("\xE2\x82" "b"), u"\uFFFDb");          // the next character survives
    EXPECT_EQ(from_utf8("\xFF"), u"\uFFFD");
}

}  // namespace
}  // namespace vorlix::regfile
