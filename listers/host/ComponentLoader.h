#pragma once
// How the loader host loads a component without running Windows code: an ELF
// shared object through dlopen; a PE component by mapping its file and,
// recursively, the libraries of its import and delay-import tables
// read-only into the process, so that each image shows in the process's
// address space with its real path. Libraries are looked for in the
// component's folder, the program folder and the system folder, names
// compared ignoring case; one that is not found is listed by name (see
// listers/common/Handshake.h).

#include <deque>
#include <string>

#include "platform/LibrarySearch.h"
#include "platform/pe/Component.h"

namespace pcn::listers {

class ComponentLoader {
public:
    // False, with the reason in error(), when the component cannot be loaded.
    bool load(const std::string& componentPath);
    const std::string& error() const { return error_; }

    // Number of libraries that were named but not found.
    size_t unresolvedCount() const { return unresolved_; }

private:
    bool loadSharedObject(const std::string& componentPath);
    bool loadPeComponent(const std::string& componentPath, pe::MappedFile component);
    void listUnresolved(const std::string& name);

    std::deque<pe::MappedFile> images_;  // kept mapped until the host is killed
    FolderLookup lookup_;
    std::string error_;
    size_t unresolved_ = 0;
    bool placeholdersExhausted_ = false;
};

}  // namespace pcn::listers
