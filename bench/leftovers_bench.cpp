// The leftover analysis on synthetic machines: 10,000 and 100,000 file
// classes, COM classes and Installer components, and programs of 10 and 5,000
// folders. The registry scans run once with the indexed folder test and once
// with the per-folder reference; the indexed cost must not grow with the
// number of folders, and both must find the same entries.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_names.h"
#include "access/Unit_ZRB_func_Str.h"
#include "host/leftovers_literal_matcher.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/Unit_ZRB_Thread_Uninstaller.h"
#include "leftovers/leftover_scans.h"
#include "leftovers/settings_places.h"
#include "platform/sim/sim.h"

namespace vorlix {
namespace {

constexpr std::u16string_view location = u"C:\\Apps\\Tool";
// One registry entry in this many names a file of the program.
constexpr int own_share = 100;

using bench::guid;
using bench::number;

// The program's folders: the location, then modules of up to 50 parts each.
std::u16string folder(long index) {
    if (index == 0) return std::u16string(location);
    return std::u16string(location) + u"\\module" + number(index / 50) + u"\\part" + number(index);
}

// A file that belongs to the program (every `own_share`-th index) or to one of 500 vendors.
std::u16string file_for(long index, long folders, const std::u16string& name) {
    if (index % own_share == 0) return folder((index / own_share) % folders) + u"\\" + name;
    return u"C:\\Program Files\\Vendor " + number(index % 500) + u"\\" + name;
}

struct Machine {
    long entries = -1, folders = -1;
    std::shared_ptr<ZRB_InstalledSoftwareList> list;
};
Machine current;

void build_machine(long entries, long folders) {
    if (current.entries == entries && current.folders == folders) return;
    sim::reset();
    const auto hklm = os::hkey_local_machine;
    for (long index = 0; index < folders; ++index) sim::add_file(folder(index) + u"\\file" + number(index) + u".dll");
    for (long index = 0; index < entries; ++index) {
        sim::set_string(hklm, u"SOFTWARE\\Classes\\Vendor.Document" + number(index) + u"\\Shell\\Open\\Command", u"",
                        u"\"" + file_for(index, folders, u"app" + number(index) + u".exe") + u"\" \"%1\"");
        sim::set_string(hklm, u"SOFTWARE\\Classes\\CLSID\\" + guid(index) + u"\\InprocServer32", u"",
                        file_for(index + 1, folders, u"lib" + number(index) + u".dll"));
        sim::set_string(hklm,
                        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\" +
                            number(700000000 + index),
                        number(800000000 + index % 1000), file_for(index + 2, folders, u"part" + number(index) + u".dll"));
    }
    current = {entries, folders, std::make_shared<ZRB_InstalledSoftwareList>()};
    auto record = std::make_shared<ZRB_InstalledSoftware>();
    record->mpu_str_Name = u"Tool";
    record->mpu_str_Name_low = u"tool";
    record->mpu_str_InstallLocation = std::u16string(location);
    record->mpu_str_InstallRegPath = u"HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
    record->mpu_int_Is64Bit = 1;
    current.list->add(record);
}

void analyse() {
    auto thread = std::make_shared<ZRB_Thread_Uninstaller>(current.list);
    thread->mpu_pro_SetUninstallSoftware(u"tool");
    thread->Execute();
}

// Arguments: registry entries per branch, program folders, 0 indexed / 1 per-folder reference.
void BM_LeftoverRegistryScans(benchmark::State& state) {
    build_machine(state.range(0), state.range(1));
    analyse();
    const auto& record = *current.list->find(u"tool");
    std::size_t findings = 0;
    for (auto _ : state) {
        findings = 0;
        const auto matcher = state.range(2) == 0 ? std::make_unique<ProgramMatcher>(record)
                                                 : std::make_unique<test::LiteralProgramMatcher>(record);
        run_registry_scans({record, *matcher, true, [&findings](const std::u16string&) { ++findings; }});
        benchmark::DoNotOptimize(findings);
    }
    state.counters["findings"] = static_cast<double>(findings);
    state.counters["folders"] = static_cast<double>(record.mpu_SDLarry_Folders.size());
    state.SetLabel(state.range(2) == 0 ? "indexed" : "per-folder");
}

// The whole analysis (walk, scans, reports) with the indexed test.
void BM_LeftoverAnalysis(benchmark::State& state) {
    build_machine(state.range(0), state.range(1));
    for (auto _ : state) analyse();
    state.counters["registry"] = static_cast<double>(current.list->find(u"tool")->mpu_SDLarry_Registry.size());
}

// The search for the program's settings beyond its folder among 3,000
// programs of 97 publishers, as on the scan's benchmark prefix, against the
// whole analysis of the same program; the calls it makes per search.
void BM_SettingsSearch(benchmark::State& state) {
    build_machine(10000, 10);
    auto list = std::make_shared<ZRB_InstalledSoftwareList>(*current.list);
    for (long index = 0; index < 3000; ++index) {
        auto record = std::make_shared<ZRB_InstalledSoftware>();
        record->mpu_str_Name = u"Program " + number(index);
        record->mpu_str_Name_low = u"program " + number(index);
        record->mpu_str_Publisher = u"Publisher " + number(index % 97);
        record->mpu_str_InstallLocation = u"C:\\Program Files\\Program " + number(index) + u"\\";
        list->add(record);
    }
    auto& tool = *list->find(u"tool");
    tool.mpu_str_Publisher = u"Publisher 1";
    const LocationGuard guard(other_program_locations(*list, &tool));
    sim::reset_call_counts();
    for (auto _ : state) benchmark::DoNotOptimize(find_settings(tool, *list, guard, true));
    const auto calls = sim::call_counts();
    const auto per_search = [](std::uint64_t count) {
        return benchmark::Counter(static_cast<double>(count), benchmark::Counter::kAvgIterations);
    };
    state.counters["registry_calls"] = per_search(calls.registry);
    state.counters["file_calls"] = per_search(calls.files);
}

void scan_arguments(benchmark::internal::Benchmark* benchmark) {
    for (const long entries : {10000L, 100000L})
        for (const long folders : {10L, 5000L})
            for (const long literal : {0L, 1L}) benchmark->Args({entries, folders, literal});
}

void analysis_arguments(benchmark::internal::Benchmark* benchmark) {
    for (const long entries : {10000L, 100000L})
        for (const long folders : {10L, 5000L}) benchmark->Args({entries, folders});
}

BENCHMARK(BM_LeftoverRegistryScans)->Apply(scan_arguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SettingsSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LeftoverAnalysis)->Apply(analysis_arguments)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vorlix
