#include "gui/YLayoutResSet.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <set>

#include "foundation/YCatalog.h"
#include "foundation/YResource.h"
#include "graphics2d/YFont.h"
#include "gui/YButton.h"
#include "gui/YLayoutItem.h"
#include "gui/YLayoutRes.h"
#include "gui/YWindow.h"

namespace {
enum { kRadioStyle = 0x4 };

YLayoutRes* RecordAt(POSITION& at, const CObList& list) { return static_cast<YLayoutRes*>(list.GetNext(at)); }

YWindow* ControlOf(const YLayoutRes* record) { return dynamic_cast<YWindow*>(record->m_resource); }

// The control stops drawing with the resource: drawables, its font and its
// caption fonts let go of it, so that nothing points at it once it is
// deleted.  Whether the control held it.
bool GiveUp(YWindow* control, CObject* resource)
{
    bool held = false;
    for (int i = 0; i < control->GetResourceCount(); ++i)
        if (control->GetResourceAt(i) == resource) {
            control->SetResourceAt(i, nullptr, false);
            held = true;
        }
    if (control->GetFont() == resource) {
        control->SetFont(nullptr);
        held = true;
    }
    if (YButton* button = dynamic_cast<YButton*>(control))
        for (int state = 0; state < 4; ++state)
            if (button->GetCaptionFont(state) == resource) {
                button->SetCaptionFont(state, nullptr);
                held = true;
            }
    return held;
}

bool Matches(const YLayoutRes* record, uint8_t hash, const char* name)
{
    return record->m_hash == hash && _stricmp(record->m_name, name ? name : "") == 0;
}
}  // namespace

YLayoutResSet::YLayoutResSet() : m_catalog(nullptr), m_baseNumber(0), m_clean(1) {}

YLayoutResSet::~YLayoutResSet()
{
    for (CObList& list : m_controls) {
        while (!list.IsEmpty()) DeleteControlRecord(static_cast<YLayoutRes*>(list.RemoveHead()));
    }
    for (CObList& list : m_resources) {
        while (!list.IsEmpty()) DeleteRecord(static_cast<YLayoutRes*>(list.RemoveHead()));
    }
    while (!m_surfaces.IsEmpty()) delete static_cast<YLayoutRes*>(m_surfaces.RemoveHead());
}

void YLayoutResSet::DeleteRecord(YLayoutRes* record)
{
    YResource* resource = dynamic_cast<YResource*>(record->m_resource);
    if (!record->m_fromCatalog || record->m_privateCopy) delete record->m_resource;
    else if (resource && m_catalog) m_catalog->ReleaseResource(resource);
    // A catalog resource with no catalog to take it back stays the catalog's.
    record->m_resource = nullptr;
    delete record;
}

void YLayoutResSet::DeleteControlRecord(YLayoutRes* record)
{
    if (YWindow* control = ControlOf(record)) control->SetParent(nullptr);
    delete record->m_resource;
    record->m_resource = nullptr;
    delete record;
}

BOOL YLayoutResSet::ReleaseSurfaces()
{
    BOOL result = TRUE;
    for (CObList& list : m_resources)
        for (POSITION at = list.GetHeadPosition(); at;) {
            YResource* resource = dynamic_cast<YResource*>(RecordAt(at, list)->m_resource);
            if (resource) result &= resource->ReleaseSurfaces() ? TRUE : FALSE;
        }
    for (CObList& list : m_controls)
        for (POSITION at = list.GetHeadPosition(); at;)
            if (YWindow* control = ControlOf(RecordAt(at, list))) result &= control->ReleaseSurfaces() ? TRUE : FALSE;
    while (!m_surfaces.IsEmpty()) delete static_cast<YLayoutRes*>(m_surfaces.RemoveHead());
    return result;
}

BOOL YLayoutResSet::RestoreSurfaces(YDXDraw* display)
{
    BOOL result = TRUE;
    for (CObList& list : m_resources)
        for (POSITION at = list.GetHeadPosition(); at;) {
            YResource* resource = dynamic_cast<YResource*>(RecordAt(at, list)->m_resource);
            if (resource) result &= resource->Restore(display) ? TRUE : FALSE;
        }
    for (CObList& list : m_controls)
        for (POSITION at = list.GetHeadPosition(); at;)
            if (YWindow* control = ControlOf(RecordAt(at, list))) result &= control->Restore(display) ? TRUE : FALSE;
    return result;
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
            if (control && ControlOf(record)) ControlOf(record)->m_visible = inUse ? 1 : 0;
        }
    };
    for (CObList& list : m_controls) mark(list, true);
    for (CObList& list : m_resources) mark(list, false);
    mark(m_surfaces, false);
    m_clean = 0;
}

BOOL YLayoutResSet::DetachResource(CObject* resource)
{
    BOOL held = FALSE;
    if (!resource) return held;
    for (CObList& list : m_controls)
        for (POSITION at = list.GetHeadPosition(); at;) {
            YLayoutRes* record = RecordAt(at, list);
            YWindow* control = ControlOf(record);
            if (!control || !GiveUp(control, resource)) continue;
            if (record->m_owner) record->m_owner->m_loaded = 0;
            record->m_inUse = 0;
            held = TRUE;
        }
    return held;
}

void YLayoutResSet::PurgeUnused()
{
    BOOL more = FALSE;
    for (CObList& list : m_resources)
        for (POSITION at = list.GetHeadPosition(); at;) {
            POSITION here = at;
            YLayoutRes* record = RecordAt(at, list);
            if (record->m_inUse) continue;
            more |= DetachResource(record->m_resource);
            list.RemoveAt(here);
            DeleteRecord(record);
        }
    for (POSITION at = m_surfaces.GetHeadPosition(); at;) {
        POSITION here = at;
        YLayoutRes* record = RecordAt(at, m_surfaces);
        if (record->m_inUse) continue;
        m_surfaces.RemoveAt(here);
        delete record;
    }

    int highest = 0;
    std::set<int> numbers;
    for (CObList& list : m_controls)
        for (POSITION at = list.GetHeadPosition(); at;) {
            POSITION here = at;
            YLayoutRes* record = RecordAt(at, list);
            if (record->m_inUse) {
                if (record->m_owner) {
                    highest = std::max(highest, static_cast<int>(record->m_owner->m_context));
                    numbers.insert(record->m_owner->m_context);
                }
                continue;
            }
            list.RemoveAt(here);
            DeleteControlRecord(record);
        }
    // Items without a context number get one above every number in use;
    // above the largest number there is none, and the lowest free one is taken.
    int free = 0;
    for (CObList& list : m_controls)
        for (POSITION at = list.GetHeadPosition(); at;) {
            YLayoutRes* record = RecordAt(at, list);
            if (!record->m_owner || record->m_owner->m_context != -1) continue;
            if (highest < INT_MAX) {
                record->m_owner->m_context = ++highest;
            } else {
                while (numbers.count(free)) ++free;
                record->m_owner->m_context = free;
            }
            numbers.insert(record->m_owner->m_context);
        }
    for (CObList& list : m_controls)
        for (POSITION at = list.GetHeadPosition(); at;) {
            YLayoutRes* record = RecordAt(at, list);
            if (record->m_owner && ControlOf(record))
                ControlOf(record)->SetWindowId(IdOf(record->m_owner->m_context));
        }

    // One radio button of the screen is always checked: the last one.
    YButton* lastRadio = nullptr;
    CObList& buttons = m_controls[Buttons];
    for (POSITION at = buttons.GetHeadPosition(); at;) {
        YLayoutRes* record = RecordAt(at, buttons);
        YButton* button = dynamic_cast<YButton*>(record->m_resource);
        if (!button || !record->m_owner || !(button->GetStyle() & kRadioStyle)) continue;
        if (button->IsChecked()) {
            lastRadio = nullptr;
            break;
        }
        lastRadio = button;
    }
    if (lastRadio) lastRadio->SetCheck(true);

    m_clean = more ? 0 : 1;
}

CObject* YLayoutResSet::FindControl(CObList& list, const char* name, YLayoutItem* owner, CObject** templateOut)
{
    const uint8_t hash = HashName(name);
    for (POSITION at = list.GetHeadPosition(); at;) {
        YLayoutRes* record = RecordAt(at, list);
        if (!Matches(record, hash, name)) continue;
        if (templateOut && !*templateOut) *templateOut = record->m_resource;
        if (record->m_owner && record->m_owner != owner) continue;
        record->m_inUse = 1;
        record->m_owner = owner;
        return record->m_resource;
    }
    return nullptr;
}

CObject* YLayoutResSet::FindResource(CObList& list, const char* name)
{
    const uint8_t hash = HashName(name);
    for (POSITION at = list.GetHeadPosition(); at;) {
        YLayoutRes* record = RecordAt(at, list);
        if (!Matches(record, hash, name)) continue;
        record->m_inUse = 1;
        return record->m_resource;
    }
    return nullptr;
}

CObject* YLayoutResSet::FindSurface(CObList& list, const char* name) { return FindResource(list, name); }

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

YLayoutRes* YLayoutResSet::FindRecord(CObList& list, const char* name)
{
    const uint8_t hash = HashName(name);
    for (POSITION at = list.GetHeadPosition(); at;) {
        YLayoutRes* record = RecordAt(at, list);
        if (Matches(record, hash, name)) return record;
    }
    return nullptr;
}

int YLayoutResSet::GetRecordCount() const
{
    int count = static_cast<int>(m_surfaces.GetCount());
    for (const CObList& list : m_controls) count += static_cast<int>(list.GetCount());
    for (const CObList& list : m_resources) count += static_cast<int>(list.GetCount());
    return count;
}

int YLayoutResSet::IdOf(int context) const
{
    return static_cast<int32_t>(static_cast<uint32_t>(context) + static_cast<uint32_t>(m_baseNumber));
}

int YLayoutResSet::ContextOf(int id) const
{
    return static_cast<int32_t>(static_cast<uint32_t>(id) - static_cast<uint32_t>(m_baseNumber));
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
