// One sound driver as DirectSound enumerates it.
#pragma once

#include "platform/dsound.h"
#include "platform/mfc.h"

class DSDriver : public CObject {
public:
    DSDriver(const GUID* guid, const char* description, const char* module);

    GUID m_guid;  // all zero for the primary driver
    CString m_description;
    CString m_module;
};
