#pragma once
// "Create LPK...": starts the licence package tool from the program folder.
// No such tool ships with the program; the user puts one there: a Linux
// program named lpk_tool, or the Windows lpk_tool.exe, which runs under Wine.

#include <string>

namespace pcn {

class UserInterface;

inline constexpr const char* kLpkTool = "lpk_tool";
inline constexpr const char* kLpkToolExe = "lpk_tool.exe";

// Starts the tool without arguments and without waiting for it. When neither
// file is there, "Unable to locate %s" names the .exe path that was tried;
// a tool that cannot be started is reported with the reason. True when it
// was started.
bool StartLpkTool(UserInterface& ui);

}  // namespace pcn
