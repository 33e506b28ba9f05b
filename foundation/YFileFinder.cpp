#include "foundation/YFileFinder.h"

IMPLEMENT_SERIAL(YFileFinder, CObject, 1)

YFileFinder::YFileFinder() : m_wordA(0), m_wordB(-1), m_wordC(0) {}

YFileFinder::YFileFinder(const CString& file, const CString& key, LONG wordA, LONG wordB)
    : m_file(file), m_key(key), m_wordA(wordA), m_wordB(wordB), m_wordC(0)
{
}

void YFileFinder::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_key << m_file << m_wordA << m_wordB << m_wordC;
    else
        ar >> m_key >> m_file >> m_wordA >> m_wordB >> m_wordC;
}
