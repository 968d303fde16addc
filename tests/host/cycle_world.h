// Random machines for the whole-cycle property: several programs of a few
// vendors with overlapping folders, shared components, classes, startup
// entries, services, profiles and odd locations, built on the simulated
// machine; one of them is uninstalled through vorlix-cli's own command; an
// oracle that knows, from the building alone, what belongs to whom judges
// what the cycle deleted.
//
// The oracle never asks the engine: every item the builder writes is
// recorded with its owners, and only items whose sole owner is the
// uninstalled program may go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorlix::test {

// Where a program's files are.
enum class Home : std::uint8_t {
    own_folder,     // Program Files\<vendor>\<word>
    vendor_folder,  // Program Files\<vendor>, around the vendor's other programs
    inside_other,   // a folder inside the folder of the program `host`
    common_files,   // Common Files\<vendor>\<word>
    apps,           // C:\Apps\<word>
};

// What the Uninstall entry says about where the program is.
enum class Location : std::uint8_t {
    plain,            // its folder, fully qualified
    none,             // no InstallLocation: known by UninstallString and DisplayIcon only
    relative,         // <vendor>\<word>
    rooted,           // \Program Files\... without a drive
    unc,              // \\localhost\C$\...
    install_source,   // no InstallLocation; InstallSource names the vendor's redistributables
    other_profile,    // another user's profile
    default_profile,  // the Default profile
    public_profile,   // the Public profile
    vorlix_folder,    // the folder Vorlix runs from, with its Backups
};

enum class Uninstaller : std::uint8_t { own, vendor_shared };
enum class RunAt : std::uint8_t { none, machine, user };
enum class RunName : std::uint8_t { word, vendor };
enum class Extension : std::uint8_t { none, own, vendor_shared, txt };
enum class ComClass : std::uint8_t { none, full_path, bare_name };
// A Windows class whose command the program took over.
enum class Takeover : std::uint8_t { none, txtfile_open, http_open, extra_verb };

struct ProgramPlan {
    int vendor = 0;
    Home home = Home::own_folder;
    int host = -1;  // for Home::inside_other: an earlier program
    Location location = Location::plain;
    Uninstaller uninstaller = Uninstaller::own;
    bool icon = false;
    RunAt run = RunAt::none;
    RunName run_name = RunName::word;
    bool approved = false;  // a StartupApproved value beside the Run value
    bool app_path = false;
    bool service = false;
    Extension extension = Extension::none;  // with a ProgID of its own
    ComClass com = ComClass::none;
    Takeover takeover = Takeover::none;
    bool shared_dlls = false;         // SharedDLLs values: its own DLL and the vendor's shared one
    bool vendor_components = false;   // its value in the vendor's shared-components key
    bool msi = false;                 // a Windows Installer product with components
    int plugin_of = -1;               // with msi: a component lies in that program's folder
    bool user_data = false;           // a folder of its own in the roaming profile
    // Registry symbolic links: the model cannot make one yet. When it can, a
    // link below the program's key that points at Classes\exefile belongs here.
};

struct WorldPlan {
    std::vector<ProgramPlan> programs;
    int target = 0;  // the program that is uninstalled
};

// What a choice-maker returns: a number below `count`. Runs of bytes make the
// plans, so that a seed and a fuzzer's input both describe a world.
class Choices {
public:
    Choices(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    int pick(int count);
    bool chance(int in) { return pick(in) == 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

WorldPlan plan_world(Choices& choices);
// The plan a seed stands for (the host tier's fixed worlds).
WorldPlan plan_from_seed(std::uint64_t seed);
// One line per program, as a named case would be written.
std::string describe(const WorldPlan& plan);

// What the oracle found wrong with one cycle; empty when the world held.
struct Breach {
    std::string kind;  // which sort of thing went: "profile", "windows", "com_class", ...
    std::string item;  // the item itself and whose it was
};
std::vector<Breach> run_world(const WorldPlan& plan);

// The plan made as small as it can be while it still breaks on `kind`.
WorldPlan shrink(WorldPlan plan, const std::string& kind);

}  // namespace vorlix::test
