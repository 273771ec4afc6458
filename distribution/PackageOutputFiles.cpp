#include "distribution/PackageOutputFiles.h"

#include "platform/Paths.h"

namespace pcn {

SendableFiles packageFilesToSend(const CCabObj& package) {
    SendableFiles result;
    const std::string folder = withTrailingSeparator(package.m_strTargetFolder);
    const std::string base = folder + package.m_strProjectName;
    // Files beside the outputs are only offered when they exist.
    auto addIfPresent = [&](const std::string& path) {
        if (fileExists(path)) result.files.push_back({path, true});
    };
    if (package.IsWebPackage()) {
        addIfPresent(base + ".inf");
        if (package.m_pWeb && package.m_pWeb->m_bHtmTemplate) addIfPresent(base + ".htm");
        return result;
    }
    for (const std::string& name : package.m_arrOutputFiles) {
        const std::string path = folder + name;
        const bool present = fileExists(path);
        if (!present) result.outputFilesMissing = true;
        result.files.push_back({path, present});
    }
    if (package.m_bCreateInf) addIfPresent(base + ".Inf");
    addIfPresent(base + ".Doc");
    return result;
}

std::vector<std::string> checkedPaths(const SendableFiles& files) {
    std::vector<std::string> paths;
    for (const auto& file : files.files)
        if (file.checked) paths.push_back(file.path);
    return paths;
}

}  // namespace pcn
