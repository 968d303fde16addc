// Files and well-known folders. Every folder returned ends with a backslash.
#pragma once

#include <string>

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

bool IsDirectory(const std::u16string& str_param_Path);
void DeleteFileOrFolder(const std::u16string& str_param_Path);
// Never descends into a junction or symbolic link: the link itself is removed.
void DeleteFolderTree(const std::u16string& str_param_Path);
std::u16string GetLongPath(const std::u16string& str_param_Path);

}  // namespace vorlix
