// The time the deletion spends on its index of what stays, on the machine it
// runs on: the known folders captured once (the deletion has them already),
// then the index built as every deletion builds it. Timed under Wine on the
// 3,000-entry prefix by bench/wine-stay-cost.sh.
//
//   vorlix-stay-cost [RUNS]   one line per build, then the median in milliseconds
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/stay_index.h"
#include "inventory/known_folders.h"
#include "platform/os.h"

int main(int argc, char** argv) {
    using clock = std::chrono::steady_clock;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const auto known = vorlix::KnownFolders::capture();
    vorlix::StayInputs inputs;
    inputs.known = &known;
    const auto image = vorlix::os::get_module_file_name();
    inputs.own_folder = image.substr(0, image.rfind(u'\\') + 1);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = clock::now();
        const auto index = vorlix::build_stay_index(inputs);
        times.push_back(std::chrono::duration<double, std::milli>(clock::now() - start).count());
        std::printf("build %d: %.1f ms, %zu paths named\n", run + 1, times.back(), index.size());
    }
    std::sort(times.begin(), times.end());
    std::printf("median %.1f ms\n", times[times.size() / 2]);
    return 0;
}
