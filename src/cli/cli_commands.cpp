#include "cli/cli_commands.h"

#include <algorithm>

#include "cli/cmd_analyze.h"
#include "cli/cmd_env.h"
#include "cli/cmd_list.h"
#include "cli/cmd_plan.h"
#include "cli/cmd_uninstall.h"
#include "platform/portable/utf.h"

namespace vorlix::cli {

namespace {

const char help_text[] =
    "vorlix-cli: lists installed programs, uninstalls them and removes what their\n"
    "uninstallers leave behind.\n"
    "\n"
    "Usage:\n"
    "  vorlix-cli env [--json]\n"
    "      The bitness code of this process (1: 32-bit on 64-bit Windows, 2: 64-bit,\n"
    "      0: 32-bit Windows, -1: unknown) and the special folders: system, Windows,\n"
    "      desktop, AppData, local AppData, Program Files and its 64-bit twin.\n"
    "  vorlix-cli list [--json]\n"
    "      Every installed program, in display order: name, version, publisher,\n"
    "      size and install location (with --json every field of the inventory,\n"
    "      the installer engine and the command that uninstalls without windows).\n"
    "      Text output shows control and text-direction characters as escapes.\n"
    "  vorlix-cli plan \"<uninstall command>\" [--json]\n"
    "      How the command would be started, without starting anything: the form\n"
    "      (1 to 7, 0 when nothing would be started), the file and parameters handed\n"
    "      to the shell, and the error message the runner would show, if any.\n"
    "  vorlix-cli analyze \"<program>\" [--json]\n"
    "      The leftover analysis of one listed program, changing nothing: its folders,\n"
    "      files, program binaries and registry entries, and the counts the analysis\n"
    "      reported. <program> is the name the list shows (in any letter case) or\n"
    "      the registry path of its Uninstall entry, such as\n"
    "      \"HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\key\". When\n"
    "      entries with different locations or uninstall commands share the name,\n"
    "      they are listed and the registry path must be given (exit code 2).\n"
    "  vorlix-cli uninstall \"<program>\"... [--yes] [--force] [--quiet] [--keep-going]\n"
    "                      [--wait-limit SECONDS] [--json]\n"
    "      The whole uninstall: analysis, the program's own uninstaller, waiting\n"
    "      until it and the processes it started in the temporary folders, in the\n"
    "      program's folder or as Windows Installer have ended, then the leftovers\n"
    "      that still exist. After a y/N question (none with --yes) every leftover\n"
    "      is deleted, registry entries only after a .reg backup in the Backups\n"
    "      folder beside vorlix-cli; what could not be removed is listed. Programs\n"
    "      published by Microsoft keep their leftovers. Progress goes to stderr;\n"
    "      the uninstaller's own output goes nowhere.\n"
    "      --wait-limit: stop waiting after SECONDS (default: no limit, 3600 with\n"
    "      --yes); the uninstaller is left running and nothing is deleted.\n"
    "      When the uninstaller cannot be started, fails or is cancelled (Windows\n"
    "      Installer codes such as 1602 and 1603, crashes), or the program's\n"
    "      Uninstall entry remains, the program is still installed: nothing is\n"
    "      deleted unless --force asks for its removal.\n"
    "      Several programs are uninstalled one after another, each through the\n"
    "      whole cycle; every name must name one program before anything runs. A\n"
    "      failure stops the batch unless --keep-going; an uninstaller left running\n"
    "      at the wait limit always stops it. Windows Installer's 3010 and 1641 are\n"
    "      a success with \"restart needed\".\n"
    "      --quiet: run each uninstaller without its windows: Windows Installer\n"
    "      (msiexec /x{code} /qn /norestart), Inno Setup (/VERYSILENT\n"
    "      /SUPPRESSMSGBOXES /NORESTART), NSIS (/S) or the entry's registered\n"
    "      QuietUninstallString. Any other \"needs its own window\" and is skipped.\n"
    "      Exit codes: 0 done; 1 the uninstaller could not be started; 3 leftovers\n"
    "      remain after the deletion; 4 the uninstaller was still running at the\n"
    "      wait limit; 5 the uninstaller failed or the program is still installed;\n"
    "      6 skipped in quiet mode. A batch gives the first program's non-zero code.\n"
    "  vorlix-cli --help\n"
    "      This text.\n"
    "\n"
    "With --json the result is one JSON object on stdout (UTF-8); uninstall writes\n"
    "one per program as it finishes (JSON lines), and for several programs a last\n"
    "{\"summary\": ...} line. Errors go to stderr and give a non-zero exit code.\n";

}  // namespace

Output usage_error(const std::string& message) {
    return {2, {}, "vorlix-cli: " + message + "\nTry 'vorlix-cli --help'.\n"};
}

bool take_flag(Arguments& arguments, const std::u16string& flag) {
    const auto found = std::find(arguments.begin(), arguments.end(), flag);
    if (found == arguments.end()) return false;
    arguments.erase(found);
    return true;
}

Output run(const Arguments& arguments) {
    if (arguments.empty()) return usage_error("no command given");
    const auto& command = arguments.front();
    const Arguments rest(arguments.begin() + 1, arguments.end());
    if (command == u"--help" || command == u"-h" || command == u"help") return {0, help_text, {}};
    if (command == u"env") return cmd_env(rest);
    if (command == u"list") return cmd_list(rest);
    if (command == u"plan") return cmd_plan(rest);
    if (command == u"analyze") return cmd_analyze(rest);
    if (command == u"uninstall") return cmd_uninstall(rest);
    return usage_error("unknown command '" + to_utf8(command) + "'");
}

}  // namespace vorlix::cli
