#include <gtest/gtest.h>

#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {
namespace {

TEST(StrTrim, RemovesControlCharactersAndBlanksOnlyAtTheEnds) {
    EXPECT_EQ(Str_Trim(u" \t\r\n \x01"), u"");
    EXPECT_EQ(Str_Trim(u"\t a \n b\r\n"), u"a \n b");
    // A no-break space is not white space.
    EXPECT_EQ(Str_Trim(u"\u00A0name "), u"\u00A0name");
    EXPECT_EQ(Str_Trim(u""), u"");
    // A text the caller keeps is copied, not changed.
    const std::u16string kept = u" \tkept\r\n";
    EXPECT_EQ(Str_Trim(kept), u"kept");
    EXPECT_EQ(kept, u" \tkept\r\n");
    std::u16string given = u"\x01 given \x1F";
    EXPECT_EQ(Str_Trim(std::move(given)), u"given");
}

TEST(StrCase, ContainsFoldsTheWholeUnicodeRangeSameTextOnlyAscii) {
    EXPECT_TRUE(Str_ContainsText(u"c:\\program files\\adobe\\adobe audition 2023\\", u"Adobe Audition"));
    EXPECT_TRUE(Str_ContainsText(u"Äpfel GmbH", u"äPFEL"));
    EXPECT_TRUE(Str_ContainsText(u"ПРОГРАММА установки", u"программа УСТАНОВКИ"));
    EXPECT_TRUE(Str_ContainsText(u"ΣΟΦΊΑ", u"σοφία"));
    EXPECT_FALSE(Str_ContainsText(u"Adobe", u""));
    EXPECT_FALSE(Str_ContainsText(u"", u""));
    EXPECT_FALSE(Str_ContainsText(u"Adob", u"Adobe"));

    EXPECT_TRUE(Str_SameText(u"Microsoft Corporation", u"MICROSOFT corporation"));
    EXPECT_TRUE(Str_SameText(u"", u""));
    EXPECT_FALSE(Str_SameText(u"ä", u"Ä"));
    EXPECT_FALSE(Str_SameText(u"abc", u"abcd"));
}

TEST(StrCase, UpperCaseMappingsKeepLengthAndCoverTheScripts) {
    // Latin-1 and its two odd ones (ÿ and µ leave the block), the dotless i,
    // the long s, Latin Extended-A pairs where only the lower form moves,
    // a title-case digraph, Greek final sigma, Armenian, Cyrillic, Cherokee
    // (its offset wraps below), full-width letters.
    EXPECT_EQ(Str_UpperFull(u"àÿµıſāĀăǅςաяꭰｚ"), u"ÀŸΜISĀĀĂǄΣԱЯᎠＺ");
    // Characters without a one-unit upper form stay.
    EXPECT_EQ(Str_UpperFull(u"ß1-\\"), u"ß1-\\");
    const std::u16string surrogates{char16_t{0xD801}, char16_t{0xDC28}};
    EXPECT_EQ(Str_UpperFull(surrogates), surrogates);

    EXPECT_EQ(Str_UpperAscii(u"abc ä я"), u"ABC ä я");
    EXPECT_EQ(Str_LowerAscii(u"ABC Ä Я"), u"abc Ä Я");
}

TEST(StrReplace, SearchesLeftToRightWithoutOverlapAndKeepsUntouchedCase) {
    EXPECT_EQ(Str_ReplaceText(u"aaa", u"aa", u"X", true), u"Xa");
    EXPECT_EQ(Str_ReplaceText(u"AbcABCabc", u"abc", u"x", false), u"xABCabc");
    EXPECT_EQ(Str_ReplaceText(u"AbcABCabc", u"abc", u"x", true), u"xxx");
    EXPECT_EQ(Str_ReplaceText(u"Hello World", u"WORLD", u"There", true), u"Hello There");
    // A replacement is never searched again.
    EXPECT_EQ(Str_ReplaceText(u"aA", u"a", u"aa", true), u"aaaa");
    EXPECT_EQ(Str_ReplaceText(u"Größe ÄÖ", u"äö", u"", true), u"Größe ");
    EXPECT_EQ(Str_ReplaceText(u"text", u"", u"x", true), u"text");
    EXPECT_EQ(Str_ReplaceText(u"", u"a", u"x", true), u"");
}

TEST(StrReplace, RemovingPlaceholdersAndFolderNames) {
    EXPECT_EQ(Str_ReplaceText(u"\"C:\\Program Files\\App\\app.exe\" \"%1\"", u"\"%1\"", u"", false),
              u"\"C:\\Program Files\\App\\app.exe\" ");
    EXPECT_EQ(Str_RemoveText(u"C:\\Tools\\bin\\lib\\BIN\\x.exe", u"bin"), u"C:\\Tools\\\\lib\\\\x.exe");
}

TEST(StrPaths, TrailingBackslashAndStrippedQuotes) {
    EXPECT_EQ(Str_EnsureTrailingBackslash(u""), u"");
    EXPECT_EQ(Str_EnsureTrailingBackslash(u"C:\\App"), u"C:\\App\\");
    EXPECT_EQ(Str_EnsureTrailingBackslash(u"C:\\App\\"), u"C:\\App\\");
    EXPECT_EQ(Str_ExcludeTrailingBackslashes(u"C:\\App\\\\"), u"C:\\App");
    EXPECT_EQ(Str_ExcludeTrailingBackslashes(u"\\"), u"");

    EXPECT_EQ(Str_StripQuotes(u"\"C:\\Program Files\\App\\\""), u"C:\\Program Files\\App\\");
    EXPECT_EQ(Str_StripQuotes(u"say \"hi\" now"), u"say \"hi\" now");
    EXPECT_EQ(Str_StripQuotes(u"C:\\App\""), u"C:\\App");
    EXPECT_EQ(Str_StripQuotes(u"\"\"C:\\App\"\""), u"\"C:\\App\"");
    EXPECT_EQ(Str_StripQuotes(u"\""), u"");
    EXPECT_EQ(Str_StripQuotes(u""), u"");
}

}  // namespace
}  // namespace vorlix
