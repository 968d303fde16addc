// The main window's program list at growing sizes: adding the rows of a scan,
// a search, a category filter and a refresh. The cost per row must stay flat:
// rows are records looked up by hash, never windows or linear searches.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/Unit_VX_Main.h"
#include "platform/sim/sim.h"

namespace vorlix {
namespace {

// Pauses pass at once: a task waits only until the loading window serves it.
class InstantTasks final : public BackgroundTasks {
public:
    std::deque<std::function<void()>> pending;
    void after(std::uint32_t, std::function<void()> task) override { pending.push_back(std::move(task)); }
    void adopt(std::thread worker) override { worker.join(); }
};

// A screen that draws nothing; its loading window serves the waiting tasks.
class BlankView final : public View {
public:
    explicit BlankView(InstantTasks& tasks_param) : tasks(tasks_param) {}
    os::Handle window_handle() const override { return 0; }
    std::optional<FileVersion> file_version() const override { return FileVersion{1, 0, 0, 0}; }
    char16_t decimal_separator() const override { return u'.'; }
    PixelSize logo_size() const override { return {32, 32}; }
    void show_card(Card) override {}
    void set_version_text(const std::u16string&) override {}
    void set_update_label_visible(bool) override {}
    void list_rows_changed() override {}
    void scroll_list(ListPosition) override {}
    void scroll_list_lines(int) override {}
    void set_list_scroll_step(int) override {}
    void process_pending_messages() override {}
    void categories_changed() override {}
    std::u16string search_text() const override { return search; }
    void set_search_text(const std::u16string& text, std::uint32_t) override { search = text; }
    void set_search_enabled(bool) override {}
    void post_show_loading() override {}
    bool loading_visible() const override { return loading; }
    void show_loading_modal() override {
        loading = true;
        while (loading && !tasks.pending.empty()) {
            auto task = std::move(tasks.pending.front());
            tasks.pending.pop_front();
            task();
        }
    }
    void close_loading() override { loading = false; }
    bool message_box(const std::u16string&, MessageKind) override { return false; }
    std::optional<ProgramIcon> read_icon(const IconSource&, PixelSize) override { return ProgramIcon{icon, 32, 32}; }
    ProgramIcon resize_icon(const ProgramIcon& original, int width, int height) override {
        return {original.image, width, height};
    }
    DownloadFunction downloader() const override { return {}; }
    void set_no_activate(bool) override {}
    void start_analyzing_animation() override {}
    void set_analyzing_name(const std::u16string&) override {}
    void set_files_folders_count(const std::u16string&) override {}
    void set_registry_count(const std::u16string&) override {}
    void leftover_rows_changed(LeftoverList) override {}
    void set_leftover_lists_redraw(bool) override {}
    void show_leftover_tab(LeftoverList) override {}
    void set_step2_summary(const std::u16string&) override {}
    void set_step3_text(const std::u16string&) override {}
    void set_waiting_step(int, WaitingStep) override {}
    void set_scan_leftovers_enabled(bool) override {}
    bool uninstall_tip_visible() const override { return false; }
    void show_uninstall_tip_modal() override {}

    std::u16string search;

private:
    InstantTasks& tasks;
    bool loading = false;
    std::shared_ptr<const void> icon = std::make_shared<int>(0);
};

std::u16string number(int value) {
    const auto digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

const std::u16string publishers[] = {u"Microsoft Corporation", u"Adobe Inc.", u"Intel Corporation",
                                     u"Pixel Works",           u"Apple Inc.", u"Open Tools Project"};

// What the scan reports for one program. No icon: icons are read on a worker,
// apart from the list (each row still gets its entry in the icon cache).
struct Report {
    std::u16string name, publisher, location, size, version;
};

// Built once per size, outside the timed loops.
std::vector<Report> make_reports(int count) {
    std::vector<Report> reports;
    for (int index = 0; index < count; ++index) {
        const std::u16string folder = u"C:\\Program Files\\Program " + number(index) + u"\\";
        reports.push_back({u"Program " + number(index) + (index % 10 == 0 ? u" Studio" : u""), publishers[index % 6],
                           folder, u"12.50 MB", u"1.0." + number(index)});
    }
    return reports;
}

// A shown window on an empty machine; the rows come as the scan would report them.
struct ListWindow {
    InstantTasks tasks;
    BlankView view{tasks};
    TForm_Main window{view, tasks, std::make_shared<ImmediateDispatcher>(), std::make_shared<NoPacing>()};

    ListWindow() {
        sim::reset();
        window.FormCreate();
        window.FormShow();
    }
    // What the scan has listed before it reports the first program.
    void list_programs(const std::vector<Report>& reports) {
        auto& names = window.installed_software()->mpu_list_InstalledSoftwareName;
        names.clear();
        for (const auto& report : reports) names.push_back(report.name);
    }
    void report_rows(const std::vector<Report>& reports) {
        for (const auto& report : reports)
            window.mpu_pro_cb_InstallerSoftwarelist(report.name, report.publisher, no_icon_index, u"",
                                                    report.location, report.size, report.version);
    }
};

// Seconds per row, the figure that must stay flat.
void per_row(benchmark::State& state) {
    state.counters["per_row"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

// Heap bytes in use, and minor page faults so far (first use of fresh memory):
// what the rows hold, and how much of it the allocator had to get anew.
std::size_t heap_in_use() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
long minor_faults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void BM_AddRows(benchmark::State& state) {
    const auto reports = make_reports(static_cast<int>(state.range(0)));
    double bytes = 0;
    double faults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<ListWindow>();
        list->list_programs(reports);
        const std::size_t heap_before = heap_in_use();
        const long faults_before = minor_faults();
        state.ResumeTiming();
        list->report_rows(reports);
        benchmark::DoNotOptimize(list->window.visible_rows().size());
        state.PauseTiming();
        faults += static_cast<double>(minor_faults() - faults_before);
        bytes += static_cast<double>(heap_in_use()) - static_cast<double>(heap_before);
        list.reset();
        state.ResumeTiming();
    }
    per_row(state);
    const double rows = static_cast<double>(state.iterations() * state.range(0));
    state.counters["bytes_per_row"] = bytes / rows;
    state.counters["faults_per_row"] = faults / rows;
}

void BM_Search(benchmark::State& state) {
    ListWindow list;
    list.report_rows(make_reports(static_cast<int>(state.range(0))));
    list.view.search = u"studio";
    for (auto _ : state) {
        list.window.Bn_SearchClick();
        benchmark::DoNotOptimize(list.window.visible_rows().size());
    }
    per_row(state);
}

void BM_CategoryFilter(benchmark::State& state) {
    ListWindow list;
    list.report_rows(make_reports(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        list.window.mpu_pro_cb_BnClick_Classified(u"MICROSOFT");
        benchmark::DoNotOptimize(list.window.visible_rows().size());
    }
    per_row(state);
}

// The window's side of a refresh: the old rows go, the new scan's rows come
// (the scan itself is measured by the scan benchmark).
void BM_Refresh(benchmark::State& state) {
    ListWindow list;
    const auto reports = make_reports(static_cast<int>(state.range(0)));
    list.report_rows(reports);
    for (auto _ : state) {
        list.window.Bn_RefreshClick();
        state.PauseTiming();
        list.list_programs(reports);
        state.ResumeTiming();
        list.report_rows(reports);
        list.window.mpu_pro_cb_InstallerSoftwarelist_End();
        benchmark::DoNotOptimize(list.window.visible_rows().size());
    }
    per_row(state);
}

BENCHMARK(BM_AddRows)->Arg(300)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Arg(300)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CategoryFilter)->Arg(300)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refresh)->Arg(300)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlix
