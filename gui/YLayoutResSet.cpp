#include "gui/YLayoutResSet.h"

#include <cctype>

#include "gui/YLayoutRes.h"
#include "gui/YWindow.h"

namespace {
YLayoutRes* RecordAt(POSITION& at, CObList& list) { return static_cast<YLayoutRes*>(list.GetNext(at)); }

void DeleteAll(CObList& list)
{
    for (POSITION at = list.GetHeadPosition(); at;) delete RecordAt(at, list);
    list.RemoveAll();
}
}  // namespace

YLayoutResSet::YLayoutResSet() : m_catalog(nullptr), m_baseNumber(0), m_clean(1) {}

YLayoutResSet::~YLayoutResSet()
{
    for (CObList& list : m_controls) DeleteAll(list);
    for (CObList& list : m_resources) DeleteAll(list);
    DeleteAll(m_surfaces);
}

BOOL YLayoutResSet::ReleaseSurfaces()
{
    DeleteAll(m_surfaces);
    return TRUE;
}

YCatalog* YLayoutResSet::SetCatalog(YCatalog* catalog)
{
    m_catalog = catalog;
    return catalog;
}

void YLayoutResSet::MarkAll(bool inUse)
{
    auto mark = [&](CObList& list, bool control) {
        for (POSITION at = list.GetHeadPosition(); at;) {
            YLayoutRes* record = RecordAt(at, list);
            record->m_inUse = inUse ? 1 : 0;
            if (!inUse) record->m_owner = nullptr;
            if (control && record->m_resource) static_cast<YWindow*>(record->m_resource)->m_visible = inUse ? 1 : 0;
        }
    };
    for (CObList& list : m_controls) mark(list, true);
    for (CObList& list : m_resources) mark(list, false);
    mark(m_surfaces, false);
    m_clean = 0;
}

void YLayoutResSet::PurgeUnused()
{
    auto purge = [](CObList& list) {
        for (POSITION at = list.GetHeadPosition(); at;) {
            POSITION here = at;
            YLayoutRes* record = RecordAt(at, list);
            if (record->m_inUse) continue;
            list.RemoveAt(here);
            delete record;
        }
    };
    for (CObList& list : m_controls) purge(list);
    for (CObList& list : m_resources) purge(list);
    purge(m_surfaces);
    m_clean = 1;
}

CObject* YLayoutResSet::FindResource(CObList& list, const char* name)
{
    const uint8_t hash = HashName(name);
    for (POSITION at = list.GetHeadPosition(); at;) {
        YLayoutRes* record = RecordAt(at, list);
        if (record->m_hash != hash || _stricmp(record->m_name, name ? name : "") != 0) continue;
        record->m_inUse = 1;
        return record->m_resource;
    }
    return nullptr;
}

YLayoutRes* YLayoutResSet::Add(CObList& list, const char* name, CObject* resource, YLayoutItem* owner)
{
    YLayoutRes* record = new YLayoutRes;
    record->m_name = name ? name : "";
    record->m_hash = HashName(name);
    record->m_resource = resource;
    record->m_owner = owner;
    list.AddTail(record);
    return record;
}

YLayoutRes* YLayoutResSet::FindControlRecord(const CObject* window)
{
    for (CObList& list : m_controls)
        for (POSITION at = list.GetHeadPosition(); at;) {
            YLayoutRes* record = RecordAt(at, list);
            if (record->m_resource == window) return record;
        }
    return nullptr;
}

uint8_t YLayoutResSet::HashName(const char* name)
{
    uint8_t hash = 0;
    for (int i = 0; name && name[i]; ++i) {
        const uint8_t c = static_cast<uint8_t>(tolower(static_cast<unsigned char>(name[i])) - 64);
        hash ^= static_cast<uint8_t>(c << (i % 3));
    }
    return hash;
}
