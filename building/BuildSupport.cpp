#include "building/BuildSupport.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "distribution/ErrorReport.h"
#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn {

int32_t BuildKind(const CCabObj& package) {
    if (package.IsWebPackage()) return kKindWebInf;
    return CCabObj::KindFromFlags(package.m_bCab, package.m_bCabSelf, package.m_bCabWiz);
}

std::string CreateOutputFolder(std::string_view folder, UserInterface& ui) {
    std::string path = withTrailingSeparator(std::string(folder));
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec && !std::filesystem::is_directory(path)) {
        int error = ec.value() != 0 ? ec.value() : EIO;
        ui.message("Error Creating Directory\n\n" + path + "\nError [" + std::to_string(error) + "]", "Error",
                   Icon::Error, Buttons::Ok, Answer::Ok);
        return {};
    }
    return path;
}

void ReportBuildError(UserInterface& ui, std::string_view message, int error) {
    if (!reportLastError(ui, message, error)) ui.errorDetails(message, {});
}

}  // namespace pcn
