#include "model/CFileObj.h"

#include "model/Archive.h"

namespace pcn {

void CFileObj::Serialize(CArchive& ar) {
    ar.Exchange(m_arrPath);
    ar.Exchange(m_arrDest);
    ar.Exchange(m_arrRegister);
    if (ar.IsLoading() && (m_arrPath.size() != m_arrDest.size() || m_arrPath.size() != m_arrRegister.size()))
        throw ArchiveException(ArchiveException::Cause::BadFormat,
                               "The file table's path, destination and register lists differ in length");
}

void CFileObj::CopyFrom(const CFileObj& source) {
    m_arrDest.assign(source.m_arrDest.begin(), source.m_arrDest.end());
    m_arrRegister.assign(source.m_arrRegister.begin(), source.m_arrRegister.end());
    m_arrPath.assign(source.m_arrPath.begin(), source.m_arrPath.end());
}

}  // namespace pcn
