// LDSC95: the module lister of the Windows 95 family, in the snapshot style of
// ToolHelp. It takes one snapshot of the running processes, works out each
// one's name from its main module (/proc/<pid>/exe), takes the loader host it
// started when it meets it, and records the host's modules in the order of
// the host's module snapshot (its address space).

#include "listers/common/Lister.h"
#include "listers/common/ProcessModules.h"

namespace {

bool hostInSnapshot(pid_t host) {
    for (pid_t pid : pcn::listers::processSnapshot()) {
        if (pid != host) continue;
        auto name = pcn::listers::mainModuleName(pid);
        return name && pcn::listers::isHostName(*name);
    }
    return false;
}

bool recordSnapshotModules(pid_t host, pcn::listers::ModuleTable& table) {
    if (!hostInSnapshot(host)) return false;
    auto modules = pcn::listers::mappedImageNames(host);
    if (modules.empty()) return false;  // the first module cannot be read
    for (const std::string& module : modules) table.add(module);
    return true;
}

}  // namespace

PCN_LISTER_EXPORTS(recordSnapshotModules, pcn::listers::processListAvailable())
