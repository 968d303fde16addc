// Scans 1, 2 and 4: file classes with their extensions, and COM registrations.
#include <unordered_set>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_Str.h"
#include "leftovers/leftover_scans.h"
#include "leftovers/windows_classes.h"

namespace vorlix {

namespace {

using UpperSet = std::unordered_set<std::u16string>;

const std::u16string classes_path = u"SOFTWARE\\Classes\\";
const std::u16string clsid_folder = u"CLSID\\";

std::u16string upper_key(const std::u16string& text) { return Str_UpperAscii(Str_Trim(text)); }

bool among(const UpperSet& set, const std::u16string& text) { return set.contains(upper_key(text)); }

// The default value of the first key of `keys` below `base` that can be read.
bool read_first_default(const LeftoverScanContext& context, os::Hkey root, const std::u16string& base,
                        std::initializer_list<const char16_t*> keys, std::u16string& text) {
    for (const auto* key : keys)
        if (context.read_default(root, base + key, text)) return true;
    return false;
}

// The command and icon values of a class (each verb's command, then the
// icon) that lie in the program's folders; `foreign` tells whether any of
// them, or anything beside them, is someone else's.
StringList own_class_parts(const LeftoverScanContext& context, os::Hkey root, const std::u16string& base,
                           bool& foreign) {
    StringList own, verbs;
    std::u16string text;
    Reg_EnumSubKeys(root, base + u"\\Shell\\", verbs, context.view64);
    for (const auto& verb : verbs) {
        const auto command = base + u"\\Shell\\" + verb + u"\\Command";
        if (context.read_default(root, command + u"\\", text) && context.refers(text))
            own.push_back(command);
        else
            foreign = true;
    }
    if (context.read_default(root, base + u"\\DefaultIcon\\", text)) {
        if (context.refers(text))
            own.push_back(base + u"\\DefaultIcon");
        else
            foreign = true;
    }
    return own;
}

// Classes whose open command or icon lies in the program's folders. A class
// that is all the program's is recorded whole and added to `matched`; one of
// Windows or with verbs of others keeps everything but the program's values.
void scan_file_classes(const LeftoverScanContext& context, os::Hkey root, const std::u16string& root_name,
                       const KeyLine& line, UpperSet& matched) {
    std::u16string text;
    for (const auto& name : line.names) {
        if (name.empty() || name.front() == u'.') continue;
        const auto base = line.variant + name;
        if (!read_first_default(context, root, base, {u"\\Shell\\Open\\Command\\", u"\\DefaultIcon\\"}, text) ||
            !context.refers(text))
            continue;
        bool foreign = is_windows_class(name);
        const auto own = own_class_parts(context, root, base, foreign);
        if (foreign) {
            for (const auto& key : own) context.record_value(root_name, key, u"");
            continue;
        }
        matched.insert(Str_UpperAscii(name));
        context.record_key(root_name, base);
    }
}

UpperSet scan_type_libraries(const LeftoverScanContext& context) {
    UpperSet libraries;
    std::u16string found, text;
    for (const auto& line : subkey_lines(os::hkey_local_machine, classes_path + u"TypeLib\\", context.view64)) {
        for (const auto& library : line.names) {
            const auto base = line.variant + library;
            if (!Reg_FindSubKey(os::hkey_local_machine, base + u"\\", u"win32", found, context.view64) ||
                !context.read_default(os::hkey_local_machine, found, text) || !context.refers(text))
                continue;
            libraries.insert(Str_UpperAscii(library));
            context.record_key(u"HKLM", base);
        }
    }
    return libraries;
}

// The ProgID's own key below the classes root of the same variant (the
// variant without its "CLSID\"), when it names this class back: a ProgID
// such as "CLSID" or "exefile" names a key of the system or of others, and a
// class of Windows stays whatever it names. A
// ProgID that would name the classes root itself or a key deeper than one
// level is no key of the class.
void record_prog_id(const LeftoverScanContext& context, const std::u16string& clsid_variant,
                    const std::u16string& class_id) {
    std::u16string prog_id, named_class;
    if (!context.read_default(os::hkey_local_machine, clsid_variant + class_id + u"\\ProgID\\", prog_id)) return;
    prog_id = Str_Trim(std::move(prog_id));
    if (prog_id.empty() || prog_id.find_first_of(u"\\|") != std::u16string::npos || is_windows_class(prog_id)) return;
    const auto key = clsid_variant.substr(0, clsid_variant.size() - clsid_folder.size()) + prog_id;
    if (context.read_default(os::hkey_local_machine, key + u"\\CLSID\\", named_class) &&
        upper_key(named_class) == upper_key(class_id))
        context.record_key(u"HKLM", key);
}

UpperSet scan_class_ids(const LeftoverScanContext& context, const UpperSet& libraries) {
    UpperSet classes;
    std::u16string server, library;
    for (const auto& line : subkey_lines(os::hkey_local_machine, classes_path + clsid_folder, context.view64)) {
        for (const auto& class_id : line.names) {
            const auto base = line.variant + class_id;
            read_first_default(context, os::hkey_local_machine, base, {u"\\InprocServer32\\", u"\\LocalServer32\\"},
                               server);
            server = Str_Trim(std::move(server));
            // A server named without its folder ("mscoree.dll") is searched for
            // by Windows, not found in the program's folder: it proves nothing.
            const bool matched =
                !server.empty()
                    ? context.matcher.RefersToProgram(server)
                    : context.read_default(os::hkey_local_machine, base + u"\\TypeLib\\", library) &&
                          !Str_Trim(library).empty() && among(libraries, library);
            if (!matched) continue;
            classes.insert(Str_UpperAscii(class_id));
            context.record_key(u"HKLM", base);
            record_prog_id(context, line.variant, class_id);
        }
    }
    return classes;
}

void scan_interfaces(const LeftoverScanContext& context, const UpperSet& classes, const UpperSet& libraries) {
    UpperSet interfaces;
    std::u16string text;
    for (const auto& line : subkey_lines(os::hkey_local_machine, classes_path + u"Interface\\", context.view64)) {
        for (const auto& interface_id : line.names) {
            const auto base = line.variant + interface_id;
            const auto upper_id = Str_UpperAscii(interface_id);
            read_first_default(context, os::hkey_local_machine, base, {u"\\ProxyStubClsid32\\", u"\\ProxyStubClsid\\"},
                               text);
            if (!Str_Trim(text).empty() && among(classes, text)) {
                interfaces.insert(upper_id);
                context.record_key(u"HKLM", base);
            }
            context.read_default(os::hkey_local_machine, base + u"\\TypeLib\\", text);
            if (!Str_Trim(text).empty() && among(libraries, text) && !interfaces.contains(upper_id)) {
                interfaces.insert(upper_id);
                context.record_key(u"HKLM", base);
            }
        }
    }
}

// Values (or keys) of a location named after a class of the program.
void record_class_names(const LeftoverScanContext& context, const std::vector<KeyLine>& lines,
                        const UpperSet& classes, bool as_values) {
    for (const auto& line : lines)
        for (const auto& name : line.names) {
            if (!among(classes, name)) continue;
            if (as_values)
                context.record_value(u"HKLM", line.variant, name);
            else
                context.record_key(u"HKLM", line.variant + name);
        }
}

}  // namespace

void scan_machine_file_classes(const LeftoverScanContext& context) {
    UpperSet classes;
    std::u16string owner;
    for (const auto& line : subkey_lines(os::hkey_local_machine, classes_path, context.view64)) {
        scan_file_classes(context, os::hkey_local_machine, u"HKLM", line, classes);
        // Extensions whose class is one of the program's (classes of earlier lines count too).
        for (const auto& name : line.names) {
            if (name.empty() || name.front() != u'.') continue;
            if (context.read_default(os::hkey_local_machine, line.variant + name + u"\\", owner) &&
                among(classes, owner))
                context.record_key(u"HKLM", line.variant + name);
        }
    }
}

void scan_user_file_classes(const LeftoverScanContext& context) {
    UpperSet classes;
    for (const auto& line : subkey_lines(os::hkey_current_user, classes_path, context.view64))
        scan_file_classes(context, os::hkey_current_user, u"HKCU", line, classes);
}

void scan_com_classes(const LeftoverScanContext& context) {
    const auto libraries = scan_type_libraries(context);
    const auto classes = scan_class_ids(context, libraries);
    scan_interfaces(context, classes, libraries);
    const auto hklm = os::hkey_local_machine;
    const auto view64 = context.view64;
    record_class_names(
        context, value_name_lines(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", view64),
        classes, true);
    record_class_names(context, value_name_lines(hklm, u"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar", view64),
                       classes, true);
    record_class_names(
        context,
        subkey_lines(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\", view64),
        classes, false);
}

}  // namespace vorlix
