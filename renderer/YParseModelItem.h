// An entry of the renderer's model table: the loaded model and the name it
// was loaded by.  The index of the entry is the model id.
#pragma once

#include <cstdint>

#include "foundation/YString.h"

class YSMObject;

struct YParseModelItem {
    YSMObject* m_model = nullptr;  // owned
    YString m_name;
    uint8_t m_hash = 0;
};
