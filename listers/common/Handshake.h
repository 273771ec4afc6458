#pragma once
// The handshake between a module lister and the loader host it started: a
// POSIX shared-memory object whose existence says "the component is loaded".
// Its name carries the host's process id, so that two scans running at the
// same time each wait for their own host.

#include <string>
#include <sys/types.h>

namespace pcn::listers {

inline std::string handshakeName(pid_t host) { return "/LDSC." + std::to_string(host); }

// Size of the handshake object; nothing is ever written to or read from it.
inline constexpr long kHandshakeSize = 32;

// The loader host's program file in the program folder, and the names its
// image goes by in a module list.
inline constexpr const char* kHostProgram = "LDSCE";
inline constexpr const char* kHostImageName = "LDSCE.EXE";

// A library the host could not find is still shown among its modules: the
// host maps a small memory file named with this prefix and the library's name
// (listed as "/memfd:unresolved:NAME (deleted)"), and the listers record NAME.
inline constexpr const char* kUnresolvedPrefix = "unresolved:";

}  // namespace pcn::listers
