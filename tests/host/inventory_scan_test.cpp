// The scan from the registry to the reports: where it looks, in which order,
// what it drops, how it merges, and how it frames its reports.
#include <gtest/gtest.h>

#include <atomic>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "inventory_test_support.h"

namespace vorlix::test {
namespace {

using ScanPaths = InventoryTest;

TEST_F(ScanPaths, ListsEveryPlaceAndReportsInOrdinalOrderOfTheLowerCaseNames) {
    load("paths.reg");
    scan();
    EXPECT_EQ(reported_names(), (std::vector<std::u16string>{u"10 Minute Mail", u"alpha Notes", u"NikCollection 2",
                                                             u"Odd Placement", u"Visual Runtime Update", u"Zeta Viewer",
                                                             u"Ärger Spiel"}));
    EXPECT_EQ(list->mpu_list_InstalledSoftwareName.front(), u"10 minute mail");
    EXPECT_EQ(list->mpu_SDLarry_InstalledSoftware.size(), 7u);
}

TEST_F(ScanPaths, RecordsWhereEachEntryWasFoundAndTrimsItsTexts) {
    load("paths.reg");
    scan();
    const auto& zeta = listed(u"Zeta Viewer");
    EXPECT_EQ(zeta.mpu_str_Name, u"Zeta Viewer");
    EXPECT_EQ(zeta.mpu_str_Publisher, u"Zeta Labs");
    EXPECT_EQ(zeta.mpu_str_DisplayVersion, u"1.0");
    EXPECT_EQ(zeta.mpu_str_InstallRegPath, u"HKLM|" + uninstall_key + u"Zeta");
    EXPECT_EQ(zeta.mpu_int_Is64Bit, 1);
    EXPECT_TRUE(zeta.mpu_bool_InstallLocation_Scan);
    EXPECT_EQ(zeta.mpu_SDLarry_Lib_FolderName, nullptr);

    EXPECT_EQ(listed(u"alpha notes").mpu_str_InstallRegPath, u"HKLM|" + uninstall_key_wow + u"Alpha");
    EXPECT_EQ(listed(u"Odd Placement").mpu_str_InstallRegPath,
              u"HKLM|SOFTWARE\\Microsoft\\Wow6432Node\\Windows\\CurrentVersion\\Uninstall\\Odd");
    EXPECT_EQ(listed(u"10 Minute Mail").mpu_str_InstallRegPath, u"HKCU|" + uninstall_key + u"UserApp");
    EXPECT_EQ(listed(u"Ärger Spiel").mpu_str_InstallRegPath, u"HKCU|" + uninstall_key_wow + u"UserApp32");
    // Entries of the 32-bit path are read through the 64-bit view too.
    EXPECT_EQ(listed(u"Ärger Spiel").mpu_int_Is64Bit, 1);
}

TEST_F(ScanPaths, DropsHiddenNamesAndEntriesWithoutNameOrCommand) {
    load("paths.reg");
    scan();
    for (const auto* name : {u"nikcollection", u"PDF-Tools", u"Acronis Drivers", u"No Command", u""})
        EXPECT_EQ(record(name), nullptr) << to_utf8(name);
    EXPECT_NE(record(u"Visual Runtime Update"), nullptr);
}

TEST_F(ScanPaths, BlankCommandsCountAsNone) {
    entry(u"Blank", {{u"DisplayName", u"Blank Command"}, {u"UninstallString", u"   "}});
    entry(u"Fallback", {{u"DisplayName", u"Fallback Command"}, {u"UninstallString", u" "},
                        {u"UninstallPath", u"C:\\Apps\\Fallback\\remove.exe"}});
    scan();
    EXPECT_EQ(record(u"Blank Command"), nullptr);
    EXPECT_EQ(listed(u"Fallback Command").mpu_str_UninstallString, u"C:\\Apps\\Fallback\\remove.exe");
}

class ScanOn32BitWindows : public InventoryTest {
    sim::MachineConfig machine() const override {
        sim::MachineConfig config;
        config.windows64 = false;
        return config;
    }
};

TEST_F(ScanOn32BitWindows, ReadsTheOwnViewAndMarksRecordsAs32Bit) {
    entry(u"Tool", {{u"DisplayName", u"Tool"}, {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
    scan();
    EXPECT_EQ(listed(u"Tool").mpu_int_Is64Bit, 0);
}

TEST_F(ScanOn32BitWindows, ReportsNothingButStartAndEndWhenTheBitnessIsUnknown) {
    sim::MachineConfig config;
    config.windows64 = false;
    config.has_is_wow64_process = false;
    config.has_get_system_wow64_directory = false;
    sim::reset(config);
    entry(u"Tool", {{u"DisplayName", u"Tool"}, {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
    scan();
    EXPECT_TRUE(reported.empty());
    EXPECT_TRUE(list->mpu_SDLarry_InstalledSoftware.empty());
}

class ScanMerge : public InventoryTest {
protected:
    void SetUp() override {
        InventoryTest::SetUp();
        load("merge.reg");
        scan();
    }
};

TEST_F(ScanMerge, LaterEntryAddsLocationOwnUninstallerAndLargerSize) {
    const auto& tool = listed(u"tool studio");
    EXPECT_EQ(tool.mpu_str_Name, u"Tool Studio");
    EXPECT_EQ(tool.mpu_str_Publisher, u"Tool Works");
    EXPECT_EQ(tool.mpu_str_DisplayVersion, u"4.2");
    EXPECT_EQ(tool.mpu_str_InstallRegPath, u"HKLM|" + uninstall_key + u"{6F1A2B3C-4D5E-4F60-8172-93A4B5C6D7E8}");
    EXPECT_EQ(tool.mpu_str_InstallLocation, u"C:\\Program Files (x86)\\Tool Studio\\");
    EXPECT_EQ(tool.mpu_str_UninstallString, u"\"C:\\Program Files (x86)\\Tool Studio\\unins000.exe\" /SILENT");
    EXPECT_EQ(tool.mpu_dowrd_EstimatedSize, 4096u);
    EXPECT_EQ(tool.mpu_str_EstimatedSize, u"4.00 MB");
}

TEST_F(ScanMerge, FirstEntryKeepsWhatItHas) {
    const auto& reverse = listed(u"Reverse Tool");
    EXPECT_EQ(reverse.mpu_str_InstallLocation, u"C:\\Apps\\Reverse\\");
    EXPECT_EQ(reverse.mpu_str_UninstallString, u"C:\\Apps\\Reverse\\unins000.exe");
    EXPECT_EQ(reverse.mpu_dowrd_EstimatedSize, 0x2000u);
    EXPECT_EQ(reverse.mpu_str_InstallRegPath, u"HKLM|" + uninstall_key + u"ReverseTool");
    // A command without ".exe" never replaces an installer command.
    EXPECT_EQ(listed(u"Script Tool").mpu_str_UninstallString, u"MsiExec.exe /X{11111111-2222-3333-4444-555555555555}");
}

TEST_F(ScanMerge, KeysIgnoreOnlyTheCaseOfAsciiLetters) {
    EXPECT_EQ(listed(u"Éditeur Pro").mpu_str_UninstallString, u"C:\\Apps\\Editeur\\uninst.exe");
    EXPECT_EQ(listed(u"éditeur pro").mpu_str_UninstallString, u"C:\\Apps\\Editeur2\\uninst.exe");
    // Each key is once in every part of the container.
    EXPECT_EQ(list->mpu_list_InstalledSoftwareName.size(), list->mpu_SDLarry_InstalledSoftware.size());
    EXPECT_EQ(list->mpu_SDLMap_InstalledSoftware.size(), list->mpu_SDLarry_InstalledSoftware.size());
    EXPECT_EQ(reported.size(), list->mpu_SDLarry_InstalledSoftware.size());
}

// Values read at the limits the scan sets on text lengths.
class ScanValueLengths : public InventoryTest {
protected:
    // A text value stored with exactly `characters` code units and a terminating null.
    static void set_text_bytes(const std::u16string& key, const std::u16string& name, const std::u16string& text,
                               bool with_null = true) {
        std::string bytes;
        for (const auto unit : text) {
            bytes.push_back(static_cast<char>(unit & 0xFF));
            bytes.push_back(static_cast<char>(unit >> 8));
        }
        if (with_null) bytes.append(2, '\0');
        sim::set_value(os::hkey_local_machine, uninstall_key + key, name, os::reg_sz, bytes);
    }
    // "C:\Apps\<key>\uninst.exe /q ..." padded to `length` characters.
    static std::u16string command(const std::u16string& key, std::size_t length) {
        auto text = u"C:\\Apps\\" + key + u"\\uninst.exe /q ";
        text.resize(length, u'x');
        return text;
    }
    void add(const std::u16string& key, std::size_t command_length, bool with_null = true) {
        sim::create_key(os::hkey_local_machine, uninstall_key + key);
        set_text_bytes(key, u"DisplayName", key);
        set_text_bytes(key, u"UninstallString", command(key, command_length), with_null);
    }
};

TEST_F(ScanValueLengths, ShortCommandsGiveTheLocationLongerOnesOnlyTheCommand) {
    add(u"Short", 253);        // 254 units with the null
    add(u"Limit", 254);        // 255 units with the null
    add(u"NoNull", 255, false);  // 255 units, no null
    scan();
    EXPECT_EQ(listed(u"Short").mpu_str_InstallLocation, u"C:\\Apps\\Short\\");
    EXPECT_EQ(listed(u"Short").mpu_str_UninstallString.size(), 253u);
    EXPECT_EQ(listed(u"Limit").mpu_str_InstallLocation, u"");
    EXPECT_EQ(listed(u"Limit").mpu_str_UninstallString, command(u"Limit", 254));
    EXPECT_EQ(listed(u"NoNull").mpu_str_InstallLocation, u"");
    EXPECT_EQ(listed(u"NoNull").mpu_str_UninstallString, command(u"NoNull", 255));
}

TEST_F(ScanValueLengths, CommandsOf1024UnitsDropTheEntry) {
    add(u"Long", 1022);     // 1023 units with the null: kept whole
    add(u"TooLong", 1023);  // 1024 units with the null: dropped
    scan();
    EXPECT_EQ(listed(u"Long").mpu_str_UninstallString, command(u"Long", 1022));
    EXPECT_EQ(record(u"TooLong"), nullptr);
}

TEST_F(ScanValueLengths, OtherTextsKeep256CharactersUpToTheFirstNull) {
    const std::u16string long_name(300, u'n');
    sim::create_key(os::hkey_local_machine, uninstall_key + u"LongName");
    set_text_bytes(u"LongName", u"DisplayName", long_name);
    set_text_bytes(u"LongName", u"UninstallString", u"C:\\Apps\\LongName\\uninst.exe");
    sim::create_key(os::hkey_local_machine, uninstall_key + u"Multi");
    set_text_bytes(u"Multi", u"DisplayName", std::u16string(u"First\0Second", 12));
    set_text_bytes(u"Multi", u"UninstallString", u"C:\\Apps\\Multi\\uninst.exe");
    scan();
    EXPECT_NE(record(long_name.substr(0, 256)), nullptr);
    EXPECT_NE(record(u"First"), nullptr);
}

class ScanReports : public InventoryTest {};

// Counts the hand-offs and checks they come from the scan's own thread.
class CountingDispatcher final : public UiDispatcher {
public:
    std::atomic<int> runs{0};
    void run(const std::function<void()>& task) override {
        ++runs;
        task();
    }
};

class RecordingPacing final : public Pacing {
public:
    std::vector<std::uint32_t> pauses;
    void pause(std::uint32_t milliseconds) override { pauses.push_back(milliseconds); }
};

TEST_F(ScanReports, FramesEveryProgramBetweenStartAndEndThroughTheDispatcher) {
    load("paths.reg");
    auto dispatcher = std::make_shared<CountingDispatcher>();
    auto pacing = std::make_shared<RecordingPacing>();
    auto thread = std::make_shared<ZRB_Thread_GetInstalledSoftwareList>(list, knowledge, u"C:\\Vorlix\\", dispatcher,
                                                                        pacing);
    std::vector<std::string> events;
    thread->mpu_dword_cb_TGS_GetSoftwareList_Start = [&]() -> std::uint32_t {
        events.push_back("start:" + std::to_string(list->mpu_SDLarry_InstalledSoftware.size()));
        return 0;
    };
    thread->mpu_dword_cb_TGS_GetSoftwareList = [&](const char16_t* name, const char16_t*, const char16_t*,
                                                   const char16_t*, const char16_t*, const char16_t*,
                                                   std::int32_t) -> std::uint32_t {
        events.push_back(to_utf8(name));
        return 0;
    };
    thread->mpu_dword_cb_TGS_GetSoftwareList_End = [&]() -> std::uint32_t {
        events.push_back("end");
        return 0;
    };
    thread->start().join();
    ASSERT_EQ(events.size(), 9u);
    EXPECT_EQ(events.front(), "start:0");
    EXPECT_EQ(events[1], "10 Minute Mail");
    EXPECT_EQ(events.back(), "end");
    EXPECT_EQ(dispatcher->runs, 9);
    EXPECT_EQ(pacing->pauses, (std::vector<std::uint32_t>{2000, 2000, 2000}));
}

TEST_F(ScanReports, PassesTheRecordsDisplayValues) {
    entry(u"Tool", {{u"DisplayName", u"Tool"}, {u"Publisher", u"Works"}, {u"DisplayVersion", u"2.0"},
                    {u"InstallLocation", u"C:\\Apps\\Tool"}, {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
    sim::set_dword(os::hkey_local_machine, uninstall_key + u"Tool", u"EstimatedSize", 1536);
    scan();
    ASSERT_EQ(reported.size(), 1u);
    const auto& tool = reported[0];
    EXPECT_EQ(tool.name, u"Tool");
    EXPECT_EQ(tool.publisher, u"Works");
    EXPECT_EQ(tool.version, u"2.0");
    EXPECT_EQ(tool.size, u"1.50 MB");
    EXPECT_EQ(tool.location, u"C:\\Apps\\Tool\\");
    EXPECT_EQ(tool.icon, Sys_GetSystemDir() + u"msiexec.exe");
    EXPECT_EQ(tool.icon_index, 65535);
}

TEST_F(ScanReports, AZeroSizeIsShownAndAMissingOneIsNot) {
    entry(u"Zero", {{u"DisplayName", u"Zero"}, {u"UninstallString", u"C:\\Apps\\Zero\\uninst.exe"}});
    sim::set_dword(os::hkey_local_machine, uninstall_key + u"Zero", u"EstimatedSize", 0);
    entry(u"None", {{u"DisplayName", u"None"}, {u"UninstallString", u"C:\\Apps\\None\\uninst.exe"}});
    scan();
    EXPECT_EQ(listed(u"Zero").mpu_str_EstimatedSize, u"0 Byte");
    EXPECT_EQ(listed(u"None").mpu_str_EstimatedSize, u"");
    EXPECT_EQ(listed(u"None").mpu_dowrd_EstimatedSize, 0u);
}

TEST_F(ScanReports, KeepsListAndKnowledgeBaseAliveWhenTheirOwnerLetsGo) {
    entry(u"Tool", {{u"DisplayName", u"Tool"}, {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
    auto thread = std::make_shared<ZRB_Thread_GetInstalledSoftwareList>(list, knowledge, u"C:\\Vorlix\\");
    std::weak_ptr<ZRB_InstalledSoftwareList> list_seen = list;
    std::size_t listed_at_end = 0;
    thread->mpu_dword_cb_TGS_GetSoftwareList_End = [&]() -> std::uint32_t {
        if (const auto seen = list_seen.lock()) listed_at_end = seen->mpu_SDLarry_InstalledSoftware.size();
        return 0;
    };
    list.reset();
    knowledge.reset();
    auto worker = thread->start();
    thread.reset();
    worker.join();
    EXPECT_EQ(listed_at_end, 1u);
    EXPECT_TRUE(list_seen.expired());
}

TEST_F(ScanReports, NeverClearsTheContainerItself) {
    auto earlier = std::make_shared<ZRB_InstalledSoftware>();
    earlier->mpu_str_Name = u"Earlier";
    earlier->mpu_str_Name_low = u"earlier";
    list->add(earlier);
    entry(u"Tool", {{u"DisplayName", u"Tool"}, {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
    scan();
    EXPECT_EQ(reported_names(), (std::vector<std::u16string>{u"Earlier", u"Tool"}));
}

class ScanWithFailingBitnessQuery : public InventoryTest {
    sim::MachineConfig machine() const override {
        sim::MachineConfig config;
        config.is_wow64_process_fails = true;
        return config;
    }
};

TEST_F(ScanWithFailingBitnessQuery, StillFramesItsReports) {
    entry(u"Tool", {{u"DisplayName", u"Tool"}, {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
    auto thread = std::make_shared<ZRB_Thread_GetInstalledSoftwareList>(list, knowledge, u"C:\\Vorlix\\");
    int ends = 0;
    thread->mpu_dword_cb_TGS_GetSoftwareList_End = [&]() -> std::uint32_t { return ++ends, 0; };
    thread->start().join();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(list->mpu_SDLarry_InstalledSoftware.empty());
}

}  // namespace
}  // namespace vorlix::test
