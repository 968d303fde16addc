#include "cli/cmd_list.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "access/wow64.h"
#include "app/installer_engine.h"
#include "cli/json_writer.h"
#include "cli/terminal_text.h"
#include "inventory/synchronous_scan.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "platform/portable/utf.h"

namespace vorlix::cli {

namespace {

void write_program(JsonWriter& json, const ZRB_InstalledSoftware& record, const InstallerKind& installer) {
    json.begin_object();
    json.member("name", record.mpu_str_Name);
    json.member("key", record.mpu_str_Name_low);
    json.member("publisher", record.mpu_str_Publisher);
    json.member("version", record.mpu_str_DisplayVersion);
    json.member("size_kb", std::int64_t{record.mpu_dowrd_EstimatedSize});
    json.member("size", record.mpu_str_EstimatedSize);
    json.member("install_location", record.mpu_str_InstallLocation);
    json.member("uninstall_string", record.mpu_str_UninstallString);
    json.member("icon", record.mpu_str_DisplayIcon);
    json.member("icon_index", std::int64_t{record.mpu_int_DisplayIcon_ID});
    json.member("registry_path", record.mpu_str_InstallRegPath);
    json.member("is64bit", std::int64_t{record.mpu_int_Is64Bit});
    json.member("scan_location", record.mpu_bool_InstallLocation_Scan);
    json.member("installer", from_utf8(engine_name(installer.engine)));
    json.member("quiet_command", installer.quiet_command);
    json.end_object();
}

// Characters as a terminal shows them (one per code point, not per byte).
std::size_t display_width(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char byte) { return (byte & 0xC0) != 0x80; }));
}

// Cuts a cell to `limit` code points, marking the cut with "...".
std::string fit(const std::string& utf8, std::size_t limit) {
    if (display_width(utf8) <= limit) return utf8;
    std::size_t points = 0, at = 0;
    for (; at < utf8.size(); ++at) {
        if ((utf8[at] & 0xC0) != 0x80 && points++ == limit - 3) break;
    }
    return utf8.substr(0, at) + "...";
}

struct Column {
    const char* title;
    std::size_t limit;  // 0: never cut (the last column)
    bool right_aligned;
};

constexpr std::array<Column, 5> columns = {{{"Name", 48, false},
                                            {"Version", 20, false},
                                            {"Publisher", 32, false},
                                            {"Size", 12, true},
                                            {"Install location", 0, false}}};

std::string table(const std::vector<InstalledSoftwarePtr>& programs) {
    using Row = std::array<std::string, columns.size()>;
    std::vector<Row> rows(1);
    rows.reserve(programs.size() + 1);
    for (std::size_t column = 0; column < columns.size(); ++column) rows[0][column].assign(columns[column].title);
    for (const auto& record : programs)
        rows.push_back({terminal_text(record->mpu_str_Name), terminal_text(record->mpu_str_DisplayVersion),
                        terminal_text(record->mpu_str_Publisher), terminal_text(record->mpu_str_EstimatedSize),
                        terminal_text(record->mpu_str_InstallLocation)});
    std::array<std::size_t, columns.size()> widths{};
    for (auto& row : rows)
        for (std::size_t column = 0; column < columns.size(); ++column) {
            if (columns[column].limit) row[column] = fit(row[column], columns[column].limit);
            widths[column] = std::max(widths[column], display_width(row[column]));
        }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < columns.size(); ++column) {
            const std::string padding(widths[column] - display_width(row[column]), ' ');
            if (column > 0) line += "  ";
            line += columns[column].right_aligned ? padding + row[column] : row[column] + padding;
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    text += std::to_string(programs.size()) + (programs.size() == 1 ? " program\n" : " programs\n");
    return text;
}

int bitness_or_unknown() {
    try {
        return Sys_GetBitness();
    } catch (const std::exception&) {
        return bitness_unknown;
    }
}

}  // namespace

Output cmd_list(Arguments arguments) {
    const bool json = take_flag(arguments, u"--json");
    if (!arguments.empty()) return usage_error("list takes no argument besides --json");

    auto knowledge_base = std::make_shared<ZRB_Software_Lib>();
    knowledge_base->mpu_InitLib();
    const auto scan = scan_installed_software(knowledge_base);

    Output output;
    if (json) {
        JsonWriter document;
        // A record takes a few hundred bytes: growing by doubling would copy the text many times.
        document.reserve(512 * (scan.reported.size() + 1));
        document.begin_object();
        document.member("bitness", std::int64_t{bitness_or_unknown()});
        document.key("programs");
        document.begin_array();
        const auto installers = detect_installers(scan.reported);
        for (std::size_t at = 0; at < installers.size(); ++at)
            write_program(document, *scan.reported[at], installers[at]);
        document.end_array();
        document.end_object();
        output.out = document.take();
        output.out.push_back('\n');
    } else {
        output.out = table(scan.reported);
    }
    return output;
}

}  // namespace vorlix::cli
