// The backup of registry entries before they are deleted: one .reg file that
// regedit imports to put every key, subkey and value back as it was.
#pragma once

#include <string>

#include "app/registry_entry.h"
#include "platform/os.h"
#include "platform/portable/reg_file.h"

namespace vorlix {

// Adds the entry to the document: a key with every value and every key below
// it, or the one value, each value with its type and bytes exactly. False when
// any part of it could not be read; the document then holds none of it.
bool export_registry_entry(const RegistryEntry& entry, bool view64, regfile::Document& document);

// "<program> <yyyy-mm-dd hh-mm-ss>.reg", with the characters a file name
// cannot hold replaced.
std::u16string backup_file_name(const std::u16string& program_name, const os::SystemTime& time);

// Writes the document into the folder's "Backups" folder (created when
// missing) under a name that is not taken yet; the written file's path, or
// empty text when it could not be written.
std::u16string write_registry_backup(const std::u16string& folder, const std::u16string& program_name,
                                     const regfile::Document& document);

}  // namespace vorlix
