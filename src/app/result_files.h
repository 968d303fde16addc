// The result files of one uninstall cycle, in the program's own folder: the
// program's name and publisher and the three leftover lists, one entry per
// line, kept between the save during the supervision and the deletion.
#pragma once

#include <string>

#include "access/string_types.h"

namespace vorlix {

inline constexpr char16_t result_file_config[] = u"SIConfig.txt";
inline constexpr char16_t result_file_files[] = u"SLF_FI.txt";
inline constexpr char16_t result_file_folders[] = u"SLF_FL.txt";
inline constexpr char16_t result_file_registry[] = u"SLF_RG.txt";
inline constexpr char16_t result_file_logo[] = u"AppLogo.ico";

// The text of a file's bytes: a byte-order mark (UTF-8 or UTF-16) decides
// the encoding, bytes without one are in the ANSI code page.
std::u16string decode_text(const std::string& bytes);

// Creates or overwrites the file: UTF-8 with a byte-order mark, every line
// (the last one too) ended by a carriage return and a line feed, so that any
// Unicode path survives the round trip.
bool save_result_file(const std::u16string& path, const StringList& lines);

// The lines of a file written by this program or by an earlier one: a
// byte-order mark (UTF-8 or UTF-16) decides the encoding, a file without one
// is in the ANSI code page. False, and `lines` untouched, when the file
// cannot be read.
bool load_result_file(const std::u16string& path, StringList& lines);

// Deletes the five result files from the folder (ending with a backslash);
// a missing file is no failure.
void delete_result_files(const std::u16string& folder);

}  // namespace vorlix
