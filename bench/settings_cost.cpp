// The time the leftover analysis spends looking for the program's settings
// beyond its install folder, against the whole analysis, on the machine it
// runs on. Timed under Wine on the 3,000-entry prefix by bench/wine-settings-cost.sh.
//
//   vorlix-settings-cost "<program>" [RUNS]   each run, then the medians and their ratio
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"
#include "inventory/synchronous_scan.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "leftovers/Unit_ZRB_Thread_Uninstaller.h"
#include "leftovers/settings_places.h"
#include "platform/portable/utf.h"

namespace {

using clock_type = std::chrono::steady_clock;

template <typename Work>
double milliseconds(Work work) {
    const auto start = clock_type::now();
    work();
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vorlix;
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorlix-settings-cost \"<program>\" [RUNS]\n");
        return 2;
    }
    const auto name_low = Str_LowerAscii(from_utf8(argv[1]));
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    auto knowledge = std::make_shared<ZRB_Software_Lib>();
    knowledge->mpu_InitLib();
    const auto scan = scan_installed_software(knowledge);
    const auto* record = scan.list->find(name_low);
    if (!record) {
        std::fprintf(stderr, "not listed: %s\n", argv[1]);
        return 1;
    }
    std::vector<double> analyses, searches;
    for (int run = 0; run < runs; ++run) {
        analyses.push_back(milliseconds([&] {
            auto thread = std::make_shared<ZRB_Thread_Uninstaller>(scan.list);
            thread->mpu_pro_SetUninstallSoftware(name_low);
            thread->Execute();
        }));
        // As the analysis runs it, with the guard it has built already.
        const LocationGuard guard(other_program_locations(*scan.list, record));
        searches.push_back(milliseconds(
            [&] { find_settings(*record, *scan.list, guard, record->mpu_int_Is64Bit == 1); }));
        std::printf("run %d: analysis %.1f ms, settings search %.1f ms, %zu programs\n", run + 1, analyses.back(),
                    searches.back(), scan.list->mpu_SDLarry_InstalledSoftware.size());
    }
    const auto analysis = median(analyses), search = median(searches);
    std::printf("median analysis %.1f ms, settings search %.1f ms: %.1f%% of the analysis\n", analysis, search,
                100.0 * search / analysis);
    return 0;
}
