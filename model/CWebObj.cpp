#include "model/CWebObj.h"

#include "model/Archive.h"
#include "platform/Paths.h"

namespace pcn {

void CWebObj::Serialize(CArchive& ar) {
    ar.Exchange(m_strFileName);
    ar.Exchange(m_strSourceFolder);
    ar.Exchange(m_strFilePath);
    ar.Exchange(m_bScan);
    ar.Exchange(m_bScanDynamic);
    ar.Exchange(m_bHtmTemplate);
    ar.Exchange(m_bLpk);
    ar.Exchange(m_arrDeps);
    ar.Exchange(m_arrDepOs);
    ar.Exchange(m_arrDepCpu);
    ar.Exchange(m_arrDepInclude);
    ar.Exchange(m_arrDepOrigin);
    if (ar.IsLoading()) {
        const size_t n = m_arrDeps.size();
        if (m_arrDepOs.size() != n || m_arrDepCpu.size() != n || m_arrDepInclude.size() != n ||
            m_arrDepOrigin.size() != n)
            throw ArchiveException(ArchiveException::Cause::BadFormat,
                                   "The dependency lists of the web data differ in length");
    }
}

void CWebObj::CopyFrom(const CWebObj& source) {
    m_strFileName = source.m_strFileName;
    m_strSourceFolder = source.m_strSourceFolder;
    m_strFilePath = source.m_strFilePath;
    m_bScan = source.m_bScan;
    m_bScanDynamic = source.m_bScanDynamic;
    m_bHtmTemplate = source.m_bHtmTemplate;
    m_bLpk = source.m_bLpk;
    m_arrDeps.assign(source.m_arrDeps.begin(), source.m_arrDeps.end());
    m_arrDepOs.assign(source.m_arrDepOs.begin(), source.m_arrDepOs.end());
    m_arrDepCpu.assign(source.m_arrDepCpu.begin(), source.m_arrDepCpu.end());
    m_arrDepInclude.assign(source.m_arrDepInclude.begin(), source.m_arrDepInclude.end());
    m_arrDepOrigin.assign(source.m_arrDepOrigin.begin(), source.m_arrDepOrigin.end());
}

void CWebObj::SetComponentPath(std::string_view path) {
    m_strFilePath = std::string(path);
    m_strFileName = fileNamePart(path);
    m_strSourceFolder = folderPart(path);
}

}  // namespace pcn
