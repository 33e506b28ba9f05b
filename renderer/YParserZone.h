// A zone record of the renderer: a buffer, an object it owns and a name.
#pragma once

#include "foundation/YString.h"
#include "platform/mfc.h"

struct YParserZone {
    void* m_buffer = nullptr;  // malloc'ed
    CObject* m_object = nullptr;
    YString m_name;
};
