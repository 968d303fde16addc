// Everything the main window's logic asks of the screen. The Win32 window
// implements it; tests implement it with a recording fake. The view decides
// nothing: it draws what TForm_Main holds and forwards input to it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/program_icon.h"
#include "platform/os.h"

namespace vorlix {

// Cards of CP_Uninstall_Steps; exactly one is active.
enum class Card { Card_Step1 = 0, Card_Analyzing = 1, Card_Step2 = 2, Card_Waiting = 3, Card_Step3 = 4 };

// Posted to the main window to show the loading window (WM_USER + 100).
inline constexpr std::uint32_t show_loading_message = 0x0400 + 100;

// Caption of every message box of the program.
inline constexpr const char16_t* message_caption = u"Vorlix";

enum class MessageKind {
    information,   // OK button, information icon
    error,         // OK button, error icon
    question,      // Yes and No buttons, question icon
    risky_question,  // Yes and No buttons, warning icon, No is the default
};

struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t release = 0;
    std::uint16_t build = 0;
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

enum class ListPosition { top, last_row };

// The report lists with check boxes of steps 2 and 3.
enum class LeftoverList { step2_files = 0, step2_registry = 1, step3_files = 2, step3_registry = 3 };

// One step indicator of Card_Waiting.
struct WaitingStep {
    // Active: text 0x3E3E3E and the "_H" icon; otherwise 0xC9C9C9 and the plain one.
    bool active = false;
    // The loading animation runs and is shown; otherwise it is stopped and hidden.
    bool animated = false;

    bool operator==(const WaitingStep&) const = default;
};

// Downloads one address to one file (URLDownloadToFileW); true on success.
// It may run on any thread and after the window has gone, so it holds
// nothing of the window.
using DownloadFunction = std::function<bool(const std::u16string& address, const std::u16string& path)>;

class View {
public:
    virtual ~View() = default;

    // Facts of the platform.
    virtual os::Handle window_handle() const = 0;
    // The running executable's file version; none when it cannot be read.
    virtual std::optional<FileVersion> file_version() const = 0;
    // The user's decimal separator for size texts.
    virtual char16_t decimal_separator() const = 0;
    // Size of a row's logo at the window's current scale (32 by 32 at 96 DPI).
    virtual PixelSize logo_size() const = 0;

    // Wizard.
    virtual void show_card(Card card) = 0;
    virtual void set_version_text(const std::u16string& text) = 0;
    virtual void set_update_label_visible(bool visible) = 0;
    // What the update check downloads with.
    virtual DownloadFunction downloader() const = 0;
    // Adds (true) or removes (false) WS_EX_NOACTIVATE on the main window.
    virtual void set_no_activate(bool no_activate) = 0;

    // Card_Analyzing. The animation is the one its image's height chooses.
    virtual void start_analyzing_animation() = 0;
    virtual void set_analyzing_name(const std::u16string& name) = 0;
    virtual void set_files_folders_count(const std::u16string& text) = 0;
    virtual void set_registry_count(const std::u16string& text) = 0;

    // The leftover lists paint TForm_Main::leftover_rows() and
    // leftover_ticked(), and hand a changed check box to set_leftover_ticked().
    // Called after rows were added or all removed.
    virtual void leftover_rows_changed(LeftoverList list) = 0;
    // Suspends (false) or resumes (true) the repainting of the four lists.
    virtual void set_leftover_lists_redraw(bool enabled) = 0;
    // Makes the list's tab current: its tab button disabled (showing its
    // highlighted picture), the other tab of the same step enabled, the
    // list's card shown.
    virtual void show_leftover_tab(LeftoverList list) = 0;
    virtual void set_step2_summary(const std::u16string& text) = 0;
    virtual void set_step3_text(const std::u16string& text) = 0;

    // Card_Waiting: `step` is 1 or 2.
    virtual void set_waiting_step(int step, WaitingStep state) = 0;
    virtual void set_scan_leftovers_enabled(bool enabled) = 0;

    // The tip overlay, shown modally over the main window: returns when the
    // user has closed it; worker hand-offs and background tasks are served
    // meanwhile.
    virtual bool uninstall_tip_visible() const = 0;
    virtual void show_uninstall_tip_modal() = 0;

    // Program list: an owner-data control that paints TForm_Main::visible_rows().
    // Called after rows were added, hidden or shown, or all removed.
    virtual void list_rows_changed() = 0;
    virtual void scroll_list(ListPosition where) = 0;
    // Scrolls by `lines` steps; positive is downwards.
    virtual void scroll_list_lines(int lines) = 0;
    // One scroll step in design units (96 DPI).
    virtual void set_list_scroll_step(int design_units) = 0;
    // Lets pending window messages through (repaint, animation, hand-offs).
    virtual void process_pending_messages() = 0;

    // Category column: paints TForm_Main::categories() (visibility, selection).
    virtual void categories_changed() = 0;

    // Search box and its button.
    virtual std::u16string search_text() const = 0;
    virtual void set_search_text(const std::u16string& text, std::uint32_t colour_rgb) = 0;
    virtual void set_search_enabled(bool enabled) = 0;

    // Loading window. post_show_loading posts show_loading_message to the main
    // window, whose handler calls TForm_Main::on_show_loading_message.
    virtual void post_show_loading() = 0;
    virtual bool loading_visible() const = 0;
    // Centres the loading window on the main window and shows it modally:
    // returns when close_loading has closed it; messages, worker hand-offs and
    // background tasks are served meanwhile.
    virtual void show_loading_modal() = 0;
    virtual void close_loading() = 0;

    // Message box with caption message_caption; true when the user answered Yes.
    virtual bool message_box(const std::u16string& text, MessageKind kind) = 0;

    // Reads the picture the source names, of the wanted size where the file
    // holds one; none when reading failed with an error. Called on a worker
    // thread, as is resize_icon.
    virtual std::optional<ProgramIcon> read_icon(const IconSource& source, PixelSize wanted) = 0;
    // A copy of the icon stretched to the given size.
    virtual ProgramIcon resize_icon(const ProgramIcon& icon, int width, int height) = 0;
};

}  // namespace vorlix
