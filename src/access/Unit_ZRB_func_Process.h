// Questions about running processes, and ending one by its executable path.
#pragma once

#include <string>

namespace vorlix {

bool IsProcessRunning(const std::u16string& str_param_ExeName);
bool TerminateProcessByPath(const std::u16string& str_param_Path);

}  // namespace vorlix
