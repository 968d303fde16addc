// Shared by the main-window tests: a view that records what the logic asks of
// the screen, background tasks run on demand, and a window on a simulated
// machine whose scans run to their end before the test goes on.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Unit_VX_Main.h"
#include "app/main_view.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix::test {

inline const std::u16string app_uninstall_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Pauses never pass: tasks wait in a queue until the test (or the recording
// view's modal loading window) runs them.
class QueuedTasks final : public BackgroundTasks {
public:
    std::vector<std::uint32_t> delays;
    // True: a worker is joined as soon as it is adopted (its reports ran on it
    // while this thread waited). False: workers are kept for join_workers.
    bool join_at_once = true;

    void after(std::uint32_t milliseconds, std::function<void()> task) override {
        delays.push_back(milliseconds);
        pending.push_back(std::move(task));
    }
    void adopt(std::thread worker) override {
        if (join_at_once) {
            worker.join();
            return;
        }
        const std::lock_guard lock(workers_mutex);
        workers.push_back(std::move(worker));
    }
    // Runs waiting tasks in order, also those they add, until none is left
    // or `stop` holds.
    void run_pending(const std::function<bool()>& stop = [] { return false; }) {
        while (!pending.empty() && !stop()) {
            auto task = std::move(pending.front());
            pending.pop_front();
            task();
        }
    }
    std::size_t waiting() const { return pending.size(); }
    // Joins the workers, also those adopted meanwhile (a served report may
    // start one while another thread joins).
    void join_workers() {
        for (;;) {
            std::vector<std::thread> joining;
            {
                const std::lock_guard lock(workers_mutex);
                joining.swap(workers);
            }
            if (joining.empty()) return;
            for (auto& worker : joining) worker.join();
        }
    }
    ~QueuedTasks() override { join_workers(); }

private:
    std::deque<std::function<void()>> pending;
    std::mutex workers_mutex;
    std::vector<std::thread> workers;
};

// A user-interface thread for real worker threads: a report waits until the
// test thread serves it.
class ServedDispatcher final : public UiDispatcher {
public:
    void run(const std::function<void()>& task) override {
        std::unique_lock lock(mutex);
        queue.push_back(&task);
        changed.notify_all();
        changed.wait(lock, [&] { return std::find(queue.begin(), queue.end(), &task) == queue.end(); });
    }
    // Waits for the next report and runs it on the calling thread.
    void serve_one() { try_serve_one(std::chrono::hours(1)); }
    // The same, giving up (false) when no report came within `wait`.
    bool try_serve_one(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex);
        if (!changed.wait_for(lock, wait, [&] { return !queue.empty(); })) return false;
        const auto* task = queue.front();
        lock.unlock();
        (*task)();
        lock.lock();
        queue.pop_front();
        changed.notify_all();
        return true;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<const std::function<void()>*> queue;
};

// A dispatcher the test switches from running reports at once to serving them itself.
class SwitchedDispatcher final : public UiDispatcher {
public:
    std::shared_ptr<UiDispatcher> to = std::make_shared<ImmediateDispatcher>();
    void run(const std::function<void()>& task) override { to->run(task); }
};

class RecordingView final : public View {
public:
    explicit RecordingView(QueuedTasks& tasks_param) : tasks(tasks_param) {}

    struct Message {
        std::u16string text;
        MessageKind kind;
    };

    std::optional<FileVersion> version;
    bool answer_yes = true;
    std::u16string search_box;
    std::uint32_t search_colour = 0;
    bool search_enabled = true;
    std::vector<bool> search_enabled_changes;
    std::vector<Card> cards;
    std::u16string version_text;
    std::optional<bool> update_label_visible;
    std::vector<Message> messages;
    int posts = 0;
    int loading_shows = 0;
    bool loading = false;
    int list_changes = 0;
    std::vector<ListPosition> scrolls;
    std::vector<int> scrolled_lines;
    std::optional<int> scroll_step;
    int category_changes = 0;
    std::vector<IconSource> icon_reads;
    // The size each read asked for, and the thread of the last read.
    std::vector<int> icon_read_widths;
    std::thread::id icon_read_thread;
    PixelSize logo{32, 32};
    std::vector<std::pair<int, int>> resizes;
    // What reading an icon gives, by path; every other path gives a 32 by 32 icon.
    std::map<std::u16string, std::optional<ProgramIcon>> icons;
    // What the update check downloads with; none fails every download.
    DownloadFunction download;
    std::vector<bool> no_activate_changes;
    int analyzing_animations = 0;
    std::u16string analyzing_name;
    std::vector<std::u16string> files_folders_counts;
    std::vector<std::u16string> registry_counts;
    std::vector<bool> redraw_changes;
    std::optional<LeftoverList> current_tab;
    std::u16string step2_summary;
    std::u16string step3_text;
    std::map<int, WaitingStep> waiting;
    std::vector<bool> scan_leftovers_enabled_changes;
    bool tip_visible = false;
    int tip_shows = 0;

    os::Handle window_handle() const override { return 0x1234; }
    std::optional<FileVersion> file_version() const override { return version; }
    char16_t decimal_separator() const override { return u'.'; }
    PixelSize logo_size() const override { return logo; }
    void show_card(Card card) override { cards.push_back(card); }
    void set_version_text(const std::u16string& text) override { version_text = text; }
    void set_update_label_visible(bool visible) override { update_label_visible = visible; }
    void list_rows_changed() override { ++list_changes; }
    void scroll_list(ListPosition where) override { scrolls.push_back(where); }
    void scroll_list_lines(int lines) override { scrolled_lines.push_back(lines); }
    void set_list_scroll_step(int design_units) override { scroll_step = design_units; }
    void process_pending_messages() override {}
    void categories_changed() override { ++category_changes; }
    std::u16string search_text() const override { return search_box; }
    void set_search_text(const std::u16string& text, std::uint32_t colour_rgb) override {
        search_box = text;
        search_colour = colour_rgb;
    }
    void set_search_enabled(bool enabled) override {
        search_enabled = enabled;
        search_enabled_changes.push_back(enabled);
    }
    void post_show_loading() override { ++posts; }
    bool loading_visible() const override { return loading; }
    // The modal loop serves the waiting tasks until one closes the window;
    // its next showing may serve workers' reports instead (serve_reports).
    std::function<void()> serve_reports;
    void show_loading_modal() override {
        loading = true;
        ++loading_shows;
        if (auto serve = std::exchange(serve_reports, nullptr)) {
            serve();
        } else {
            tasks.run_pending([this] { return !loading; });
        }
    }
    void close_loading() override { loading = false; }
    bool message_box(const std::u16string& text, MessageKind kind) override {
        messages.push_back({text, kind});
        return (kind == MessageKind::question || kind == MessageKind::risky_question) && answer_yes;
    }
    std::optional<ProgramIcon> read_icon(const IconSource& source, PixelSize wanted) override {
        icon_reads.push_back(source);
        icon_read_widths.push_back(wanted.width);
        icon_read_thread = std::this_thread::get_id();
        if (const auto found = icons.find(source.path); found != icons.end()) return found->second;
        return icon(32, 32);
    }
    ProgramIcon resize_icon(const ProgramIcon& original, int width, int height) override {
        resizes.emplace_back(width, height);
        return {original.image, width, height};
    }

    DownloadFunction downloader() const override { return download; }
    void set_no_activate(bool no_activate) override { no_activate_changes.push_back(no_activate); }
    void start_analyzing_animation() override { ++analyzing_animations; }
    void set_analyzing_name(const std::u16string& name) override { analyzing_name = name; }
    void set_files_folders_count(const std::u16string& text) override { files_folders_counts.push_back(text); }
    void set_registry_count(const std::u16string& text) override { registry_counts.push_back(text); }
    void leftover_rows_changed(LeftoverList) override {}
    void set_leftover_lists_redraw(bool enabled) override { redraw_changes.push_back(enabled); }
    void show_leftover_tab(LeftoverList list) override { current_tab = list; }
    void set_step2_summary(const std::u16string& text) override { step2_summary = text; }
    void set_step3_text(const std::u16string& text) override { step3_text = text; }
    void set_waiting_step(int step, WaitingStep state) override { waiting[step] = state; }
    void set_scan_leftovers_enabled(bool enabled) override { scan_leftovers_enabled_changes.push_back(enabled); }
    bool uninstall_tip_visible() const override { return tip_visible; }
    // Stays up until the test closes it.
    void show_uninstall_tip_modal() override {
        tip_visible = true;
        ++tip_shows;
    }

    static ProgramIcon icon(int width, int height) { return {std::make_shared<int>(0), width, height}; }

private:
    QueuedTasks& tasks;
};

// A window created and shown on a simulated machine. Scans run on their own
// thread, which the test waits for, so reports arrive as on the real window.
class MainWindowTest : public SimTest {
protected:
    QueuedTasks tasks;
    RecordingView view{tasks};
    std::shared_ptr<UiDispatcher> dispatcher = std::make_shared<ImmediateDispatcher>();
    std::unique_ptr<TForm_Main> window;

    void SetUp() override {
        SimTest::SetUp();
        sim::set_shell_handler([](const sim::ShellRequest&, std::uint32_t& pid) -> std::intptr_t {
            pid = 0;
            return 42;
        });
    }

    // An Uninstall entry; the location, when given, is created as a folder.
    static void install(const std::u16string& name, const std::u16string& publisher,
                        const std::u16string& location = {}) {
        const std::u16string key = app_uninstall_key + name;
        sim::create_key(os::hkey_local_machine, key);
        const auto set = [&](const std::u16string& value, const std::u16string& text) {
            if (!text.empty()) sim::set_string(os::hkey_local_machine, key, value, text);
        };
        set(u"DisplayName", name);
        set(u"Publisher", publisher);
        set(u"UninstallString", u"C:\\Uninstallers\\" + name + u".exe");
        set(u"InstallLocation", location);
        if (!location.empty()) sim::add_folder(location);
    }

    void open_window() {
        window = std::make_unique<TForm_Main>(view, tasks, dispatcher, std::make_shared<NoPacing>());
        window->FormCreate();
        window->FormShow();
    }

    // The names of the visible rows, top to bottom.
    std::vector<std::u16string> visible_names() const {
        std::vector<std::u16string> names;
        for (const auto index : window->visible_rows()) names.emplace_back(window->rows()[index].mpu_Name_Label());
        return names;
    }
    std::vector<std::u16string> visible_categories() const {
        std::vector<std::u16string> keys;
        for (const auto& panel : window->categories())
            if (panel.visible) keys.push_back(panel.mpu_Background_Panel_Caption);
        return keys;
    }
    // Keys of the selected (disabled) category buttons.
    std::vector<std::u16string> selected_categories() const {
        std::vector<std::u16string> keys;
        for (const auto& panel : window->categories())
            if (!panel.button_enabled) keys.push_back(panel.mpu_Background_Panel_Caption);
        return keys;
    }
    void search(const std::u16string& text) {
        view.search_box = text;
        window->Bn_SearchClick();
    }
    void refresh() {
        window->Bn_RefreshClick();
        tasks.run_pending();
    }
};

}  // namespace vorlix::test
