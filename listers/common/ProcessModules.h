#pragma once
// What /proc says about a process: its name, whether it is still running, and
// the images mapped into its address space.

#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <sys/types.h>

namespace pcn::listers {

// The file names (no folder) of the images mapped in the process, each once,
// in the order of its address space; a library the loader host could not
// find is listed under its own name (see Handshake.h). Empty when the
// process is gone or its maps cannot be read.
std::vector<std::string> mappedImageNames(pid_t pid);

// The same, from the text of a maps file.
std::vector<std::string> imageNamesFromMaps(std::string_view maps);

// The process's command name (/proc/<pid>/comm); nullopt when it is gone.
std::optional<std::string> processName(pid_t pid);

// The file name of the process's main module (/proc/<pid>/exe); nullopt when
// it is gone, a zombie or not ours to read.
std::optional<std::string> mainModuleName(pid_t pid);

// Whether a process or image name is the loader host's ("LDSCE" or
// "LDSCE.EXE", ignoring case).
bool isHostName(std::string_view name);

// True when /proc is there to be read (the listers' "enumeration functions").
bool processListAvailable();

// The ids of the running processes, in /proc's order: the snapshot the
// Windows 95 lister walks.
std::vector<pid_t> processSnapshot();

}  // namespace pcn::listers
