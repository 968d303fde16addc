// Helpers of the Windows tests: scratch registry keys and folders that clean up
// after themselves, and a helper process made from a copy of this executable.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/os.h"

namespace vorlix::test {

// True in a 64-bit build; the tests run on a 64-bit prefix, so a 32-bit build is WOW64.
inline constexpr bool build64 = sizeof(void*) == 8;

// True when the tests run under Wine rather than Windows: the few places
// where Wine differs are asserted for each.
bool under_wine();

// A name no other test (nor an earlier run) uses: the test's own name and the process id.
std::u16string unique_name(const std::u16string& stem);

// Writes through the seam directly, so that what the access layer reads is
// independent of the access layer. `sam` chooses the view (0: the process's own).
void write_string(os::Hkey root, const std::u16string& path, const std::u16string& name, const std::u16string& text,
                  std::uint32_t sam = 0, std::uint32_t type = os::reg_sz);
void write_bytes(os::Hkey root, const std::u16string& path, const std::u16string& name, std::uint32_t type,
                 const std::u16string& units, std::uint32_t sam = 0);
void create_key(os::Hkey root, const std::u16string& path, std::uint32_t sam = 0);
bool key_exists(os::Hkey root, const std::u16string& path, std::uint32_t sam);

// A key below HKLM\SOFTWARE (path without trailing backslash), removed from
// both registry views when the test ends.
class ScratchKey {
public:
    explicit ScratchKey(const std::u16string& stem, os::Hkey root = os::hkey_local_machine);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    os::Hkey root() const { return root_; }
    const std::u16string& name() const { return name_; }
    std::u16string path() const { return u"SOFTWARE\\" + name_; }
    std::u16string wow_path() const { return u"SOFTWARE\\Wow6432Node\\" + name_; }

private:
    os::Hkey root_;
    std::u16string name_;
};

// A folder below the temp folder (path with trailing backslash), removed with
// everything in it when the test ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::u16string& path() const { return path_; }
    std::u16string make_folder(const std::u16string& relative) const;
    std::u16string make_file(const std::u16string& relative, const std::string& bytes = "x") const;

private:
    std::u16string path_;
};

bool exists(const std::u16string& path);

// The helper mode of this executable: a copy whose file name contains this
// marker only sleeps, whatever its arguments, and ends by itself in the end.
// Once running it creates its ready file (sleeper_ready_file).
inline constexpr char16_t sleeper_marker[] = u"vorlix_sleeper";
bool is_sleeper();
int run_sleeper();
std::u16string sleeper_ready_file(const std::u16string& exe_path, std::uint32_t pid);

// Copies this executable to `folder` under `file_name` (which should contain
// the marker) and returns the copy's full path.
std::u16string make_sleeper(const std::u16string& folder, const std::u16string& file_name);

// Polls until the condition holds, for up to `seconds` (a process start under
// an emulated 32-bit Wine takes minutes).
template <typename Condition>
bool eventually(Condition condition, int seconds = 600) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        os::sleep_ms(100);
    }
    return condition();
}

}  // namespace vorlix::test
