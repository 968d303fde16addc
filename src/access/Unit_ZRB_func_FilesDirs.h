// Files and well-known folders. Every folder returned ends with a backslash.
#pragma once

#include <string>

#include "access/string_types.h"

namespace vorlix {

bool Sys_FileExists(const std::u16string& str_param_Path);
// The value of an environment variable; empty text when it is not defined.
std::u16string Sys_GetEnvironmentVariable(const std::u16string& str_param_Name);

std::u16string Sys_GetSystemDir();
std::u16string Sys_GetDesktopDir();
std::u16string Sys_GetWindowsDir();
std::u16string Sys_GetAppDataDir();
std::u16string Sys_GetLocalAppDataDir();
void Sys_GetProgramFilesDirs(std::u16string& str_param_ProgramFiles, std::u16string& str_param_ProgramFiles64);
// GetTempPath's folder; empty when the system gives none.
std::u16string temp_folder_path();
// The folder the shell knows by this CSIDL; empty when it knows none.
std::u16string special_folder_path(int csidl);
// The 64-bit Program Files beside `program_files` when that is the x86 one
// (a 32-bit process on 64-bit Windows); empty otherwise.
std::u16string native_program_files(const std::u16string& program_files);

bool IsDirectory(const std::u16string& str_param_Path);
// The \\?\ form of a full drive-letter or network path, which Windows takes
// name for name: without it a name ending in a dot or a blank cannot be
// reached. Other paths come back unchanged.
std::u16string ExtendedLengthPath(const std::u16string& path);
// Every file and folder below `folder`, as full paths in the form given,
// folders before their contents; junctions and symbolic links are listed but
// not entered.
StringList ListFolderTree(const std::u16string& folder);
void DeleteFileOrFolder(const std::u16string& str_param_Path);
// Never descends into a junction or symbolic link: the link itself is removed.
void DeleteFolderTree(const std::u16string& str_param_Path);
std::u16string GetLongPath(const std::u16string& str_param_Path);

}  // namespace vorlix
