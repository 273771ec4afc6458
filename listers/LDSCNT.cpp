// LDSCNT: the module lister of the NT family. It finds its host by the
// process id it started, checks that the process is the loader host, and
// records the images mapped in the host's address space, without their
// folders, in address-space order.

#include "listers/common/Lister.h"
#include "listers/common/ProcessModules.h"

namespace {

bool recordAddressSpaceImages(pid_t host, pcn::listers::ModuleTable& table) {
    auto name = pcn::listers::processName(host);
    if (!name || !pcn::listers::isHostName(*name)) return false;
    auto images = pcn::listers::mappedImageNames(host);
    if (images.empty()) return false;  // ended meanwhile: no address space left
    for (const std::string& image : images) table.add(image);
    return true;
}

}  // namespace

PCN_LISTER_EXPORTS(recordAddressSpaceImages, true)
