// The index of what stays, built at every deletion, on a machine with 3,000
// Uninstall entries and the classes, COM servers, components, services and
// startup values that come with them: its cost must stay well below a second.
#include <benchmark/benchmark.h>

#include "app/stay_index.h"
#include "bench_names.h"
#include "inventory/known_folders.h"
#include "platform/sim/sim.h"

namespace vorlix {
namespace {

using bench::guid;
using bench::number;

void build_machine(int entries) {
    sim::reset();
    const auto hklm = os::hkey_local_machine;
    const std::u16string uninstall[] = {u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
                                        u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"};
    for (int index = 0; index < entries; ++index) {
        const auto key = uninstall[index % 2] + u"Program" + number(index);
        const auto folder = u"C:\\Program Files\\Program " + number(index) + u"\\";
        sim::set_string(hklm, key, u"DisplayName", u"Program " + number(index));
        sim::set_string(hklm, key, u"InstallLocation", folder);
        sim::set_string(hklm, key, u"UninstallString", u"\"" + folder + u"unins000.exe\" /SILENT");
        sim::set_string(hklm, key, u"DisplayIcon", folder + u"program.exe,0");
        // Two classes, a COM server and an Installer component per program.
        const auto classes = u"SOFTWARE\\Classes\\Program" + number(index);
        sim::set_string(hklm, classes + u".Document\\shell\\open\\command", u"", u"\"" + folder + u"program.exe\" \"%1\"");
        sim::set_string(hklm, classes + u".Document\\DefaultIcon", u"", folder + u"program.exe,1");
        sim::create_key(hklm, u"SOFTWARE\\Classes\\.p" + number(index));
        sim::set_string(hklm, u"SOFTWARE\\Classes\\CLSID\\" + guid(index) + u"\\InprocServer32", u"",
                        folder + u"shell.dll");
        sim::set_string(hklm,
                        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\" +
                            number(900000000 + index) + u"0A1B2C3D4E5F6071",
                        number(800000000 + index) + u"0A1B2C3D4E5F6071", folder + u"program.exe");
        if (index % 10 == 0) {
            sim::set_string(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", u"Program" + number(index),
                            u"\"" + folder + u"program.exe\" /tray");
            sim::set_string(hklm, u"SYSTEM\\CurrentControlSet\\Services\\Program" + number(index), u"ImagePath",
                            u"\"" + folder + u"service.exe\"");
        }
    }
}

void BM_StayIndex(benchmark::State& state) {
    build_machine(static_cast<int>(state.range(0)));
    const auto known = KnownFolders::capture();
    StayInputs inputs;
    inputs.known = &known;
    inputs.own_folder = u"C:\\Vorlix\\";
    std::size_t named = 0;
    sim::reset_call_counts();
    for (auto _ : state) {
        auto index = build_stay_index(inputs);
        named = index.size();
        benchmark::DoNotOptimize(named);
    }
    // Under Wine each call is a server round trip: they, not the hashing, set the cost there.
    const auto calls = sim::call_counts();
    const auto builds = static_cast<double>(state.iterations());
    state.counters["named"] = static_cast<double>(named);
    state.counters["registry_calls"] = static_cast<double>(calls.registry) / builds;
    state.counters["file_calls"] = static_cast<double>(calls.files) / builds;
}
BENCHMARK(BM_StayIndex)->Arg(300)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlix
