// The inventory scan on synthetic machines of growing size. The cost per
// Uninstall entry must stay flat as the machine grows: merges, duplicate tests
// and icon look-ups are hashed, never searched through everything seen so far.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "bench_names.h"
#include "cli/cmd_list.h"
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"
#include "inventory/known_folders.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "platform/sim/sim.h"

namespace vorlix {
namespace {

constexpr int class_count = 20000;
constexpr int app_path_count = 200;
constexpr int product_icon_count = 300;

using bench::guid;
using bench::number;

// One machine per size, built once: the scan only reads it.
void build_machine(int entries) {
    sim::reset();
    const auto hklm = os::hkey_local_machine;
    for (int index = 0; index < class_count; ++index) {
        const auto name = u"Vendor.Document" + number(index);
        sim::create_key(hklm, u"SOFTWARE\\Classes\\" + name);
        // One class in ten has an icon; every third of those is one of Windows'.
        if (index % 10 != 0) continue;
        const auto icon = index % 30 == 0 ? u"%SystemRoot%\\system32\\imageres.dll,-68"
                                          : u"C:\\Program Files\\Vendor " + number(index) + u"\\doc.ico,1";
        sim::set_string(hklm, u"SOFTWARE\\Classes\\" + name + u"\\DefaultIcon", u"", icon);
    }
    for (int index = 0; index < app_path_count; ++index)
        sim::set_string(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool" + number(index) + u".exe",
                        u"", u"C:\\Program Files\\Tool " + number(index) + u"\\tool.exe");
    for (int index = 0; index < product_icon_count; ++index) {
        const auto key = u"SOFTWARE\\Classes\\Installer\\Products\\" + number(700000000 + index) + u"0A1B2C3D4E5F6071";
        sim::set_string(hklm, key, u"ProductName", u"Program " + number(index * 7));
        sim::set_string(hklm, key, u"ProductIcon", u"C:\\Windows\\Installer\\" + guid(index) + u"\\icon.ico");
    }

    const std::u16string uninstall[] = {u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
                                        u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"};
    for (int index = 0; index < entries; ++index) {
        // One program in twenty is registered a second time (merged), one in
        // ten lives in the user's hive, one in three has no DisplayIcon.
        const int program = index % 20 == 19 ? index - 1 : index;
        const auto root = index % 10 == 3 ? os::hkey_current_user : hklm;
        const auto key = uninstall[index % 2] + (index % 4 == 0 ? guid(index) : u"Program" + number(index));
        const auto folder = u"C:\\Program Files\\Program " + number(program) + u"\\";
        sim::set_string(root, key, u"DisplayName", u"Program " + number(program));
        sim::set_string(root, key, u"Publisher", u"Publisher " + number(program % 97));
        sim::set_string(root, key, u"DisplayVersion", u"1." + number(program % 13));
        if (index % 5 != 1) sim::set_string(root, key, u"InstallLocation", folder);
        sim::set_string(root, key, u"UninstallString",
                        index % 4 == 0 ? u"MsiExec.exe /X" + guid(index) : u"\"" + folder + u"unins000.exe\" /SILENT");
        if (index % 3 != 0) sim::set_string(root, key, u"DisplayIcon", folder + u"program.exe,0");
        sim::set_dword(root, key, u"EstimatedSize", static_cast<std::uint32_t>(1000 + index));
    }
    // A tenth as many products known to Windows Installer.
    for (int index = 0; index < entries / 10; ++index) {
        const auto key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\" +
                         number(800000000 + index) + u"0A1B2C3D4E5F6071\\InstallProperties";
        sim::set_string(hklm, key, u"DisplayName", u"Installer Product " + number(index));
        sim::set_string(hklm, key, u"UninstallString", u"MsiExec.exe /X" + guid(index));
    }
}

// A machine as a user's looks: programs in their own folders below 97 vendor
// folders of every length (many of eight characters or fewer, as Adobe or
// Google, one beyond ASCII, one named by its 8.3 alias), in both views and
// the user's hive, a tenth of the folders gone.
void build_user_machine(int entries) {
    sim::reset();
    const std::u16string roots[] = {u"C:\\Program Files\\", u"C:\\Program Files (x86)\\",
                                    u"C:\\Users\\user\\AppData\\Local\\Programs\\"};
    const std::u16string vendors[] = {u"V", u"Vendor", u"Vnd", u"Vendor Software ", u"M\u00fcller"};
    const std::u16string uninstall[] = {u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
                                        u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"};
    for (int index = 0; index < entries; ++index) {
        const int vendor = (index * 37) % 97;
        const int place = index % 10 == 3 ? 2 : index % 2;
        const auto root = place == 2 ? os::hkey_current_user : os::hkey_local_machine;
        const auto vendor_folder = roots[place] + vendors[vendor % 5] + number(vendor);
        const auto program = (index % 3 ? u"Product " : u"App") + number(index);
        if (index % 10 != 7) sim::add_file(vendor_folder + u"\\" + program + u"\\program.exe");
        if (vendor == 13 && index % 10 != 7) sim::set_short_name(vendor_folder, u"VENDOR~1");
        const auto spelled = vendor == 13 ? roots[place] + u"VENDOR~1" : vendor_folder;
        const auto folder = spelled + u"\\" + program + u"\\";
        const auto key = uninstall[place == 1 ? 1 : 0] + (index % 4 == 0 ? guid(index) : program);
        sim::set_string(root, key, u"DisplayName", program);
        sim::set_string(root, key, u"Publisher", vendors[vendor % 5] + number(vendor));
        sim::set_string(root, key, u"DisplayVersion", u"1." + number(index % 13));
        sim::set_string(root, key, u"InstallLocation", folder);
        sim::set_string(root, key, u"UninstallString",
                        index % 4 == 0 ? u"MsiExec.exe /X" + guid(index) : u"\"" + folder + u"unins000.exe\" /SILENT");
        sim::set_string(root, key, u"DisplayIcon", folder + u"program.exe,0");
        sim::set_dword(root, key, u"EstimatedSize", static_cast<std::uint32_t>(1000 + index));
    }
}

// The scan of the machine `build` makes; the counters per Uninstall entry.
template <void (*build)(int)>
void BM_InventoryScan(benchmark::State& state) {
    const auto entries = static_cast<int>(state.range(0));
    build(entries);
    auto knowledge = std::make_shared<ZRB_Software_Lib>();
    knowledge->mpu_InitLib();
    std::size_t programs = 0;
    sim::reset_call_counts();
    for (auto _ : state) {
        auto list = std::make_shared<ZRB_InstalledSoftwareList>();
        ZRB_Thread_GetInstalledSoftwareList scan(list, knowledge, u"C:\\Vorlix\\");
        scan.Execute();
        programs = list->mpu_SDLarry_InstalledSoftware.size();
        benchmark::DoNotOptimize(programs);
    }
    state.counters["programs"] = static_cast<double>(programs);
    // Calls of the seam per Uninstall entry and scan (the per-machine reads
    // of classes, App Paths and product icons included).
    const auto calls = sim::call_counts();
    const auto per_entry_call = [&](std::uint64_t count) {
        return static_cast<double>(count) / static_cast<double>(state.iterations()) / entries;
    };
    state.counters["registry_calls"] = per_entry_call(calls.registry);
    state.counters["file_calls"] = per_entry_call(calls.files);
    // Names found only by reading their folder (under Wine, a read of the whole folder each).
    state.counters["folder_reads"] = per_entry_call(calls.folder_reads);
    // CPU time per Uninstall entry (the scan runs on this thread, so CPU time is
    // not disturbed by other load): flat when the scan scales linearly.
    state.counters["per_entry"] =
        benchmark::Counter(static_cast<double>(entries), benchmark::Counter::kIsIterationInvariantRate |
                                                             benchmark::Counter::kInvert);
}

BENCHMARK(BM_InventoryScan<build_machine>)->Arg(300)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InventoryScan<build_user_machine>)->Arg(3000)->Unit(benchmark::kMillisecond);

// The known folders every scan starts with: their long forms share most
// names, so the file-system calls per capture stay few.
void BM_KnownFolderCapture(benchmark::State& state) {
    sim::reset();
    sim::reset_call_counts();
    for (auto _ : state) benchmark::DoNotOptimize(KnownFolders::capture());
    state.counters["file_calls"] =
        static_cast<double>(sim::call_counts().files) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_KnownFolderCapture)->Unit(benchmark::kMicrosecond);

// `vorlix-cli list --json` as a whole: the scan and the output of every record.
void BM_ListJson(benchmark::State& state) {
    build_machine(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = cli::cmd_list({u"--json"}).out.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_ListJson)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlix
