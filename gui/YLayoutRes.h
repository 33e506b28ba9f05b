// One cached resource of a layout resource set: a control, sprite, font,
// image or named surface, with the name it was asked for.
#pragma once

#include "platform/mfc.h"

class YLayoutItem;

class YLayoutRes : public CObject {
    DECLARE_DYNAMIC(YLayoutRes)
public:
    YLayoutRes();
    // Deletes the resource it owns.
    ~YLayoutRes() override;

    CString m_name;
    uint8_t m_hash;
    // Controls: the console command the control runs.
    CString m_command;
    CString m_path;
    CObject* m_resource;
    // Controls: the item that uses the control; null when free.
    YLayoutItem* m_owner;
    uint8_t m_fromCatalog;
    uint8_t m_privateCopy;
    uint8_t m_inUse;
};
