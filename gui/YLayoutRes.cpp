#include "gui/YLayoutRes.h"

IMPLEMENT_DYNAMIC(YLayoutRes, CObject)

YLayoutRes::YLayoutRes()
    : m_hash(0), m_resource(nullptr), m_owner(nullptr), m_fromCatalog(0), m_privateCopy(0), m_inUse(1)
{
}

YLayoutRes::~YLayoutRes()
{
    // The catalog keeps what it handed out; copies are ours.
    if (!m_fromCatalog || m_privateCopy) delete m_resource;
}
