#include "ftp/FtpLibrary.h"

#include <dlfcn.h>

#include "platform/Paths.h"

namespace pcn {

FtpLibrary::~FtpLibrary() { unload(); }

std::string FtpLibrary::path() { return programFolder() + kFtpLibraryFile; }

bool FtpLibrary::load(UserInterface& ui) {
    unload();
    handle_ = ::dlopen(path().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_) return true;
    const char* reason = ::dlerror();
    ui.errorDetails(kUnableToLoadFtpLibrary, reason ? reason : "");
    return false;
}

DoFtpFunction FtpLibrary::doFtp() const {
    if (!handle_) return nullptr;
    return reinterpret_cast<DoFtpFunction>(::dlsym(handle_, kDoFtpExport));
}

void FtpLibrary::unload() {
    if (handle_) ::dlclose(handle_);
    handle_ = nullptr;
}

}  // namespace pcn
