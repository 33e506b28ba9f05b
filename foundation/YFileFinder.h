// One look-up name of a file handler and the file it stands for.
#pragma once

#include "platform/mfc.h"

class YFileFinder : public CObject {
    DECLARE_SERIAL(YFileFinder)
public:
    YFileFinder();
    YFileFinder(const CString& file, const CString& key, LONG wordA, LONG wordB);

    void Serialize(CArchive& ar) override;

    CString m_file;
    CString m_key;
    LONG m_wordA;
    LONG m_wordB;
    LONG m_wordC;
};
