#include "listers/common/Lister.h"

#include <cerrno>
#include <string>

#include "listers/common/Handshake.h"
#include "listers/common/HostProcess.h"

namespace pcn::listers {

int runProcessInit(const char* componentPath, RecordHostModules recordHost, ModuleTable& table) {
    table.clear();
    if (!componentPath) return 0;
    int error = 0;
    auto host = HostProcess::start(folderOfThisModule() + kHostProgram, componentPath, &error);
    if (!host) {
        errno = error;  // the caller reports it
        return 0;
    }
    // Whether or not the handshake came, list what the host has loaded by now
    // (a host that has ended is not found).
    host->waitForHandshake();
    bool recorded = recordHost(host->pid(), table);
    host->kill();
    if (!recorded) errno = ESRCH;  // the host is not among the running processes
    return recorded ? 1 : 0;
}

}  // namespace pcn::listers
