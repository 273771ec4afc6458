#pragma once
// The contract both module listers implement: ProcessInit starts the loader
// host on the component, waits for its handshake, lets the lister find the
// host and record its modules, and always ends the host; GetProcessCount and
// GetProcessByIndex read the table. Each lister supplies only how it finds
// its host and lists the host's modules.

#include <sys/types.h>

#include "listers/common/ModuleTable.h"

namespace pcn::listers {

// Finds the started host among the running processes and records its
// modules in the table; false when the host was not found or its modules
// could not be read.
using RecordHostModules = bool (*)(pid_t host, ModuleTable& table);

// Steps shared by both listers' ProcessInit; returns 1 when recordHost
// succeeded, else 0.
int runProcessInit(const char* componentPath, RecordHostModules recordHost, ModuleTable& table);

}  // namespace pcn::listers

// The exports, defined once per lister library with its own table and finder.
#define PCN_LISTER_EXPORTS(recordHost, precondition)                                              \
    namespace {                                                                                  \
    ::pcn::listers::ModuleTable moduleTable;                                                     \
    }                                                                                            \
    extern "C" __attribute__((visibility("default"))) int ProcessInit(const char* componentPath) { \
        if (!(precondition)) return 0;                                                           \
        return ::pcn::listers::runProcessInit(componentPath, recordHost, moduleTable);           \
    }                                                                                            \
    extern "C" __attribute__((visibility("default"))) int GetProcessCount() { return moduleTable.count(); } \
    extern "C" __attribute__((visibility("default"))) int GetProcessByIndex(int index, char* buffer, int size) { \
        return moduleTable.copyName(index, buffer, size);                                         \
    }                                                                                            \
    extern "C" __attribute__((visibility("default"))) int GetProcessDropped() { return moduleTable.dropped(); }
