// One frame of a catalog model; its values are carried as stored.
#pragma once

#include "platform/mfc.h"

class YModelFrame : public CObject {
    DECLARE_SERIAL(YModelFrame)
public:
    YModelFrame();

    void Serialize(CArchive& ar) override;

    CString m_name;
    CString m_secondName;
    DWORD m_unused;
    float m_valueK;
    LONG m_valueP;
    LONG m_valueQ;
    LONG m_valueR;
    LONG m_valueS;
};
