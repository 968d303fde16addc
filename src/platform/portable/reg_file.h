// The Windows registry export format ("Windows Registry Editor Version 5.00").
// One reader and one writer serve the in-memory model's fixtures, the backups
// of deleted registry entries and `regedit /S` under Wine alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlix::regfile {

struct Value {
    std::u16string name;      // empty for the default value ("@")
    bool remove = false;      // "name"=-
    std::uint32_t type = 1;   // registry type number (REG_SZ = 1, ...)
    std::string data;         // raw bytes as the registry stores them
};

struct Key {
    std::u16string root;      // full root name as written: HKEY_LOCAL_MACHINE, ...
    std::u16string path;      // key path below the root, no leading or trailing backslash
    bool remove = false;      // [-HKEY_...]
    std::vector<Value> values;
};

struct Document {
    std::vector<Key> keys;
};

struct ParseError {
    std::size_t line = 0;
    std::string message;
};

// Accepts UTF-16LE with a byte-order mark (what regedit writes) and UTF-8
// with or without one. Lines may continue with a trailing backslash.
std::optional<Document> parse(const std::string& bytes, ParseError* error = nullptr);

// UTF-16LE with byte-order mark and CRLF line ends, as regedit exports.
// Strings that the quoted form cannot carry exactly (embedded nulls, line
// breaks, missing terminator) are written as hex(1)/hex(2) data instead.
std::string write(const Document& document);
// The same text as UTF-8 without byte-order mark, for tests and logs.
std::string write_utf8(const Document& document);

// Long and short root names: "HKLM" -> "HKEY_LOCAL_MACHINE" and back.
std::u16string long_root_name(const std::u16string& name);

}  // namespace vorlix::regfile
