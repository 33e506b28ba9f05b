#include "foundation/YCatalog.h"

#include <unordered_set>

#include "foundation/YCatalogItem.h"
#include "foundation/YResource.h"

IMPLEMENT_SERIAL(YCatalog, CObject, 1)

namespace {
YCatalog* g_serializingCatalog = nullptr;

// Clears the serialising slot however Serialize ends.
struct SerializingScope {
    explicit SerializingScope(YCatalog* catalog) { g_serializingCatalog = catalog; }
    ~SerializingScope() { g_serializingCatalog = nullptr; }
};

bool KeysMatch(const CString& a, const CString& b)
{
    CString upperA = a;
    CString upperB = b;
    upperA.MakeUpper();
    upperB.MakeUpper();
    return upperA.Compare(upperB) == 0;
}
}  // namespace

YCatalog* YCatalog::GetSerializingCatalog() { return g_serializingCatalog; }

void YCatalog::NoteItemMade(YCatalogItem* item)
{
    if (g_serializingCatalog && item) g_serializingCatalog->m_read.AddTail(item);
}

void YCatalog::NoteItemGone(YCatalogItem* item)
{
    YCatalog* catalog = g_serializingCatalog;
    if (!catalog || !item) return;
    // An item whose reading failed is deleted by the archive: forget it,
    // also where the items read before it point at it.
    for (POSITION pos = catalog->m_read.GetHeadPosition(); pos;) {
        POSITION current = pos;
        YCatalogItem* read = catalog->m_read.GetNext(pos);
        if (read == item) {
            catalog->m_read.RemoveAt(current);
            continue;
        }
        YCatalogItemList& related = read->GetRelated();
        for (POSITION at = related.GetHeadPosition(); at;) {
            POSITION here = at;
            if (related.GetNext(at) == item) related.RemoveAt(here);
        }
    }
}

YCatalog::YCatalog()
    : m_headerWord(0), m_mode(0), m_closing(0), m_version(2), m_items(new YCatalogItemList(10)), m_unlisted(10),
      m_read(10)
{
    ClearTypeCache();
}

YCatalog::YCatalog(LPCTSTR fileName) : YCatalog()
{
    try {
        CFile file(fileName, CFile::modeRead | CFile::shareDenyWrite);
        CArchive ar(&file, CArchive::load, 4096);
        Serialize(ar);
        ClearTypeCache();
        m_closing = 0;
        ar.Close();
        file.Close();
    } catch (...) {
        DeleteItems();
        delete m_items;
        m_items = nullptr;
        throw;
    }
    m_mode = 0;
}

YCatalog::~YCatalog()
{
    m_closing = 1;
    DeleteItems();
    delete m_items;
    m_items = nullptr;
    m_closing = 0;
}

void YCatalog::DeleteItems()
{
    if (!m_items) return;
    // Items reached only through related lists go last, like the rest.
    m_items->AddTail(&m_unlisted);
    m_unlisted.RemoveAll();
    while (!m_items->IsEmpty()) {
        YCatalogItem* item = m_items->RemoveHead();
        POSITION pos = m_items->GetHeadPosition();
        while (pos) {
            POSITION current = pos;
            if (m_items->GetNext(pos) == item) m_items->RemoveAt(current);
        }
        YResource* resource = item ? item->GetResource() : nullptr;
        if (resource) {
            resource->RemoveReference(resource);
            for (pos = m_items->GetHeadPosition(); pos;) {
                YCatalogItem* later = m_items->GetNext(pos);
                if (later && later->GetResource()) later->GetResource()->RemoveReference(resource);
            }
        }
        delete item;
    }
    ClearTypeCache();
}

void YCatalog::ClearTypeCache()
{
    for (POSITION& pos : m_typeCache) pos = nullptr;
}

void YCatalog::Serialize(CArchive& ar)
{
    SerializingScope scope(this);
    if (ar.IsStoring()) {
        m_version = 2;
        ar << m_headerWord << m_version << m_labelB << m_labelA << m_baseDirectory0 << m_baseDirectory1;
        ar.WriteCount(m_embeddedSections.GetSize());
        for (int i = 0; i < m_embeddedSections.GetSize(); ++i) ar << m_embeddedSections[i];
        ar.WriteCount(m_items->GetCount());
        for (POSITION pos = m_items->GetHeadPosition(); pos;) ar.WriteObject(m_items->GetNext(pos));
        return;
    }

    DWORD version = 0;
    ar >> m_headerWord >> version >> m_labelB >> m_labelA >> m_baseDirectory0 >> m_baseDirectory1;
    m_embeddedSections.RemoveAll();
    if (version > 1) {
        DWORD count = ar.ReadCount();
        for (DWORD i = 0; i < count; ++i) {
            CString section;
            ar >> section;
            m_embeddedSections.Add(section);
        }
    }
    m_read.RemoveAll();
    try {
        ReadItems(ar);
    } catch (...) {
        AdoptUnlisted();
        throw;
    }
    AdoptUnlisted();
    m_version = 2;
    ClearTypeCache();
    for (POSITION pos = m_items->GetHeadPosition(); pos;) {
        YCatalogItem* item = m_items->GetNext(pos);
        item->SetCatalog(this);
        if (!item->GetResource() && !item->IsExternal()) item->Load(0);
    }
}

void YCatalog::ReadItems(CArchive& ar)
{
    DWORD count = ar.ReadCount();
    for (DWORD i = 0; i < count; ++i) {
        CObject* item = ar.ReadObject(RUNTIME_CLASS(YCatalogItem));
        if (item) m_items->AddTail(static_cast<YCatalogItem*>(item));
    }
}

void YCatalog::AdoptUnlisted()
{
    std::unordered_set<const YCatalogItem*> owned;
    for (POSITION pos = m_items->GetHeadPosition(); pos;) owned.insert(m_items->GetNext(pos));
    for (POSITION pos = m_unlisted.GetHeadPosition(); pos;) owned.insert(m_unlisted.GetNext(pos));
    while (!m_read.IsEmpty()) {
        YCatalogItem* item = m_read.RemoveHead();
        if (!owned.insert(item).second) continue;
        item->SetCatalog(this);
        m_unlisted.AddTail(item);
    }
}

void YCatalog::Store(LPCTSTR fileName)
{
    CFile file(fileName, CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store, 4096);
    Serialize(ar);
    ar.Close();
    file.Close();
}

POSITION YCatalog::FirstOfType(int type)
{
    if (type < 0 || type >= kTypeCacheSize) return nullptr;
    if (m_typeCache[type]) return m_typeCache[type];
    for (POSITION pos = m_items->GetHeadPosition(); pos;) {
        POSITION current = pos;
        YCatalogItem* item = m_items->GetNext(pos);
        if (item->GetType() == type) {
            m_typeCache[type] = current;
            return current;
        }
    }
    return nullptr;
}

POSITION YCatalog::StartOf(int type) { return type == -1 ? m_items->GetHeadPosition() : FirstOfType(type); }

YCatalogItem* YCatalog::FindItem(const CString& key)
{
    for (POSITION pos = m_items->GetHeadPosition(); pos;) {
        YCatalogItem* item = m_items->GetNext(pos);
        if (KeysMatch(item->GetKey(), key)) return item;
    }
    return nullptr;
}

YCatalogItem* YCatalog::FindItem(const CString& section, const CString& name, int startType)
{
    for (POSITION pos = StartOf(startType); pos;) {
        YCatalogItem* item = m_items->GetNext(pos);
        if (item->GetSection().CompareNoCase(section) != 0) continue;
        if (name.IsEmpty() || item->GetName().CompareNoCase(name) == 0) return item;
    }
    return nullptr;
}

YResource* YCatalog::GetResource(int type, const CString& key, DWORD_PTR context)
{
    for (POSITION pos = StartOf(type); pos;) {
        YCatalogItem* item = m_items->GetNext(pos);
        if ((type == -1 || item->GetType() == type) && KeysMatch(item->GetKey(), key))
            return AcquireItem(item, context);
    }
    return nullptr;
}

YResource* YCatalog::GetResource(int type, const CString& section, const CString& name, DWORD_PTR context)
{
    for (POSITION pos = StartOf(type); pos;) {
        YCatalogItem* item = m_items->GetNext(pos);
        if (type != -1 && item->GetType() != type) continue;
        if (item->GetSubType() != 0) continue;
        if (item->GetSection().CompareNoCase(section) != 0) continue;
        if (name.IsEmpty() || item->GetName().CompareNoCase(name) == 0) return AcquireItem(item, context);
    }
    return nullptr;
}

YResource* YCatalog::AcquireItem(YCatalogItem* item, DWORD_PTR context)
{
    if (!item) return nullptr;
    if (item->AddRef() >= 2 && item->GetResource()) return item->GetResource();
    item->Load(context);
    return item->GetResource();
}

YResource* YCatalog::LoadItem(YCatalogItem* item, DWORD_PTR context)
{
    if (!item) return nullptr;
    item->Load(context);
    return item->GetResource();
}

BOOL YCatalog::ReleaseResource(YResource* resource)
{
    if (!resource || !m_items || m_items->IsEmpty()) return FALSE;
    YCatalogItem* holder = nullptr;
    for (POSITION pos = m_items->GetHeadPosition(); pos && !holder;) {
        YCatalogItem* item = m_items->GetNext(pos);
        if (item->GetResource() == resource) holder = item;
    }
    if (!holder) return FALSE;
    if (m_closing) return TRUE;
    if (holder->DropRef() > 0) return TRUE;
    resource->Unload();
    return TRUE;
}

void YCatalog::DetachResource(YResource* resource)
{
    if (!resource) return;
    for (POSITION pos = m_items->GetHeadPosition(); pos;) {
        YCatalogItem* item = m_items->GetNext(pos);
        if (item->GetResource() != resource) continue;
        item->DropRef();
        item->SetResource(resource->CopyTo(nullptr));
        return;
    }
}

int YCatalog::FindFile(LPCTSTR fileName, LPTSTR buffer, int bufferSize) const
{
    for (int i = 0; i < m_searchDirectories.GetSize(); ++i) {
        CString path;
        path.Format("%s\\%s", (LPCTSTR)m_searchDirectories[i], fileName);
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(path, &data);
        if (find == INVALID_HANDLE_VALUE) continue;
        FindClose(find);
        if (!buffer || bufferSize <= 0) return 0;
        lstrcpynA(buffer, path, bufferSize);
        return lstrlenA(buffer);
    }
    return 0;
}

int YCatalog::AddItem(YCatalogItem* item)
{
    m_items->AddTail(item);
    item->SetCatalog(this);
    CString directory = item->GetDirectory0();
    CString name = item->GetName();
    item->SetLocation(directory, name, 0);
    return 1;
}

void YCatalog::ListKeys(int type, CStringArray& out)
{
    for (POSITION pos = m_items->GetHeadPosition(); pos;) {
        YCatalogItem* item = m_items->GetNext(pos);
        if (item->GetType() == type) out.Add(item->GetKey());
    }
}

void YCatalog::ListKeysInSection(int type, const CString& section, CStringArray& out)
{
    CString wanted = section;
    wanted.MakeUpper();
    for (POSITION pos = m_items->GetHeadPosition(); pos;) {
        YCatalogItem* item = m_items->GetNext(pos);
        CString itemSection = item->GetSection();
        itemSection.MakeUpper();
        if (item->GetType() == type && itemSection.Compare(wanted) == 0) out.Add(item->GetKey());
    }
}

int YCatalog::ListSections(CStringArray& out) const
{
    for (POSITION pos = m_items->GetHeadPosition(); pos;) {
        const CString& section = m_items->GetNext(pos)->GetSection();
        bool present = false;
        for (int i = 0; i < out.GetSize() && !present; ++i) present = out[i].Compare(section) == 0;
        if (!present) out.Add(section);
    }
    return 1;
}

void YCatalog::AddEmbeddedSection(const CString& name)
{
    if (!IsEmbeddedSection(name)) m_embeddedSections.Add(name);
}

int YCatalog::RemoveEmbeddedSection(const CString& name)
{
    for (int i = m_embeddedSections.GetSize() - 1; i >= 0; --i) {
        if (m_embeddedSections[i].Compare(name) == 0) m_embeddedSections.RemoveAt(i);
    }
    return m_embeddedSections.GetSize();
}

BOOL YCatalog::IsEmbeddedSection(const CString& name) const
{
    for (int i = 0; i < m_embeddedSections.GetSize(); ++i) {
        if (m_embeddedSections[i].Compare(name) == 0) return TRUE;
    }
    return FALSE;
}

CString YCatalog::GetBaseDirectory() const
{
    if (m_mode == 1) return m_overrideDirectory.IsEmpty() ? m_baseDirectory1 : m_overrideDirectory;
    return m_baseDirectory0;
}

void YCatalog::SetBaseDirectory(int which, const CString& directory)
{
    if (which == 1)
        m_baseDirectory1 = directory;
    else
        m_baseDirectory0 = directory;
}

YCatalog* YCatalog::CatalogOf(const YCatalogItem* item) { return item ? item->GetCatalog() : nullptr; }
