#include "model/CFTPObj.h"

#include "model/Archive.h"

namespace pcn {

void CFTPObj::Serialize(CArchive& ar) {
    ar.Exchange(m_strDescription);
    ar.Exchange(m_strServer);
    ar.Exchange(m_strPassword);
    ar.Exchange(m_nPort);
    ar.Exchange(m_strUserName);
    ar.Exchange(m_strDirectory);
    ar.Exchange(m_bOverwriteExisting);
}

}  // namespace pcn
