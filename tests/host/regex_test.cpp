#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {
namespace {

TEST(RegExMatch, DefaultOptionsCountCaseAndRejectEmptyMatches) {
    const std::u16string autocad = u"^AutoCAD [0-9]{4} - .+$";
    EXPECT_FALSE(RegEx_IsMatch(u"autocad 2024 - english", autocad));
    EXPECT_TRUE(RegEx_IsMatchText(u"autocad 2024 - english", autocad));
    EXPECT_TRUE(RegEx_IsMatch(u"AutoCAD 2024 - English", autocad));

    // An empty match is rejected and the search goes on; with ignore case it counts.
    EXPECT_FALSE(RegEx_IsMatch(u"abc", u"x*"));
    EXPECT_TRUE(RegEx_IsMatch(u"abxc", u"x*"));
    EXPECT_TRUE(RegEx_IsMatchText(u"abc", u"x*"));
    EXPECT_TRUE(RegEx_IsMatchText(u"", u"x*"));
}

TEST(RegExMatch, UnanchoredDotAllAndEndOfSubject) {
    EXPECT_TRUE(RegEx_IsMatch(u"Adobe Systems", u"dobe"));
    EXPECT_FALSE(RegEx_IsMatch(u"line1\nline2", u"1.l"));
    EXPECT_TRUE(RegEx_IsMatchText(u"line1\nline2", u"1.L"));
    // No multi-line mode: "^" is the start of the subject; "$" may precede one final line break.
    EXPECT_FALSE(RegEx_IsMatchText(u"x\nabc", u"^abc"));
    EXPECT_TRUE(RegEx_IsMatch(u"abc\n", u"^abc$"));
}

TEST(RegExMatch, BraceThatOpensNoQuantifierIsLiteral) {
    const std::u16string pattern = u"^{(905[eE]|6[dD]80|7[cC]5[aA]).+}\\\\.+$";
    EXPECT_TRUE(RegEx_IsMatchText(u"{905E0A1B-0000}\\InprocServer32", pattern));
    EXPECT_TRUE(RegEx_IsMatchText(u"{7c5a40ef-a0fb}\\x", pattern));
    EXPECT_FALSE(RegEx_IsMatchText(u"{1234}\\x", pattern));
    EXPECT_FALSE(RegEx_IsMatchText(u"{905E0A1B}", pattern));
}

TEST(RegExMatch, SubjectsAreCodeUnitsSoUnpairedSurrogatesStillMatch) {
    std::u16string subject = u"Tool ";
    subject.push_back(char16_t{0xD800});
    subject += u" Setup";
    EXPECT_TRUE(RegEx_IsMatchText(subject, u"tool . setup"));
}

TEST(RegExMatch, PatternThatDoesNotCompileThrowsEveryTime) {
    EXPECT_THROW(RegEx_IsMatch(u"abc", u"(abc"), std::invalid_argument);
    // The failure is not cached as a pattern.
    EXPECT_THROW(RegEx_IsMatchText(u"abc", u"(abc"), std::invalid_argument);
    EXPECT_THROW(RegEx_IsMatchText(u"abc", u"(abc"), std::invalid_argument);
}

TEST(RegExNamedGroups, FirstMatchingTextFillsTheNamedValues) {
    const std::u16string pattern = u"^(?<installedpath>.+\\\\)(?<exe>[^\\\\]+\\.EXE)$";
    const StringList names{u"installedpath", u"exe"};
    StringMap values{{u"stale", u"entry"}};

    EXPECT_TRUE(RegEx_GetNamedGroups({u"no path here", u"C:\\Autodesk\\AutoCAD 2024\\acad.exe", u"D:\\b\\c.exe"},
                                     pattern, names, values));
    EXPECT_EQ(values, (StringMap{{u"installedpath", u"C:\\Autodesk\\AutoCAD 2024\\"}, {u"exe", u"acad.exe"}}));

    EXPECT_FALSE(RegEx_GetNamedGroups({u"none", u"of these"}, pattern, names, values));
    EXPECT_TRUE(values.empty());

    // A match with no names to read gives nothing.
    EXPECT_FALSE(RegEx_GetNamedGroups({u"C:\\a\\b.exe"}, pattern, {}, values));
    EXPECT_TRUE(values.empty());
}

TEST(RegExNamedGroups, GroupThatTookNoPartGivesEmptyText) {
    StringMap values;
    EXPECT_TRUE(RegEx_GetNamedGroups({u"-Y-"}, u"(?<a>x)|(?<b>y)", {u"a", u"b"}, values));
    EXPECT_EQ(values, (StringMap{{u"a", u""}, {u"b", u"Y"}}));
    // Plain parentheses do not capture: the named group is still found by name.
    EXPECT_TRUE(RegEx_GetNamedGroups({u"ab"}, u"(a)(?<n>b)", {u"n"}, values));
    EXPECT_EQ(values, (StringMap{{u"n", u"b"}}));
}

TEST(RegExCache, ManyThreadsCompileAndMatchTheSamePatterns) {
    constexpr int pattern_count = 40;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 6; ++thread) {
        threads.emplace_back([&wrong] {
            for (int round = 0; round < 30; ++round) {
                for (int index = 0; index < pattern_count; ++index) {
                    const std::u16string number(index + 1, u'7');
                    const std::u16string pattern = u"^item" + number + u"-(?<n>[0-9]+)$";
                    const std::u16string subject = u"ITEM" + number + u"-" + number;
                    StringMap values;
                    const bool ok = !RegEx_IsMatch(subject, pattern) && RegEx_IsMatchText(subject, pattern) &&
                                    !RegEx_IsMatchText(subject + u"x", pattern) &&
                                    RegEx_GetNamedGroups({subject}, pattern, {u"n"}, values) &&
                                    values[u"n"] == number;
                    if (!ok) {
                        ++wrong;
                    }
                }
            }
        });
    }
    for (std::thread& running : threads) {
        running.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace vorlix
