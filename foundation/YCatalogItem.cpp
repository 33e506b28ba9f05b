#include "foundation/YCatalogItem.h"

#include "foundation/YCatalog.h"
#include "foundation/YResource.h"
#include "foundation/YResourceFactory.h"

IMPLEMENT_SERIAL(YCatalogItem, CObject, VERSIONABLE_SCHEMA | 3)

namespace {
const char* const kSectionNames[] = {
    "",          "Images",     "Sounds",       "Sprites",        "Meshes",      "Textures",      "Actors",
    "Surfaces",  "Animations", "Buttons",      "Combo Boxes",    "Dialogs",     "Edit Boxes",    "List Boxes",
    "Screens",   "",           "",             "Fonts",          "Texts",       "Models",        "Sound Emitters",
    "YSM Loaders", "File Handlers", "MultiImages", "Texture2s", "",           "Sliders",       "Scrollbars"};
const int kSectionCount = sizeof(kSectionNames) / sizeof(kSectionNames[0]);

bool PathExists(const CString& path)
{
    if (path.IsEmpty()) return false;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

// Item records being read inside one another.
int g_nesting = 0;
struct NestingScope {
    NestingScope() { ++g_nesting; }
    ~NestingScope() { --g_nesting; }
};

// Splits at every backslash; a final empty component is dropped.
void SplitComponents(const CString& path, CStringArray& out)
{
    int start = 0;
    for (;;) {
        int slash = path.Find('\\', start);
        if (slash < 0) {
            CString last = path.Mid(start);
            if (!last.IsEmpty()) out.Add(last);
            return;
        }
        out.Add(path.Mid(start, slash - start));
        start = slash + 1;
    }
}
}  // namespace

YCatalogItem::YCatalogItem()
    : m_directorySelector(0),
      m_wordA(0),
      m_wordB(0),
      m_related(10),
      m_catalog(YCatalog::GetSerializingCatalog()),
      m_refCount(0),
      m_resource(nullptr),
      m_type(0),
      m_subType(0),
      m_strings(10)
{
    YCatalog::NoteItemMade(this);
}

YCatalogItem::YCatalogItem(LONG type, const CString& section, const CString& name, const CString& directory,
                           LONG subType, const CString& tag, YCatalogItem* related)
    : m_directorySelector(0),
      m_wordA(0),
      m_wordB(0),
      m_related(10),
      m_catalog(nullptr),
      m_refCount(0),
      m_resource(nullptr),
      m_type(type),
      m_subType(subType),
      m_section(section),
      m_tag(tag),
      m_strings(10)
{
    SetLocation(directory, name, 0);
    if (related) m_related.AddHead(related);
}

YCatalogItem::~YCatalogItem()
{
    YCatalog::NoteItemGone(this);
    delete m_resource;
}

CString YCatalogItem::GetKey() const
{
    CString key;
    key.Format("%s-%s-%s-%d-%d", (LPCTSTR)m_section, (LPCTSTR)m_name, (LPCTSTR)m_tag, (int)m_type, (int)m_subType);
    return key;
}

CString YCatalogItem::SectionName(int type)
{
    if (type < 0 || type >= kSectionCount) return CString();
    return CString(kSectionNames[type]);
}

CString YCatalogItem::SubTypeSectionName(int subType)
{
    switch (subType) {
    case 9:
    case 10:
    case 12:
    case 13:
    case 17:
    case 18:
        return SectionName(subType);
    default:
        return CString();
    }
}

CString YCatalogItem::SectionName() const { return SectionName(m_type); }

CString YCatalogItem::SubTypeSectionName() const { return SubTypeSectionName(m_subType); }

BOOL YCatalogItem::IsExternal() const
{
    if (m_type != 1 && m_type != 2) return FALSE;
    if (!m_catalog) return TRUE;
    return !m_catalog->IsEmbeddedSection(m_section);
}

bool YCatalogItem::IsRelativeDirectory(const CString& directory) const
{
    return directory.GetLength() >= 2 && directory[1] != ':';
}

const CString& YCatalogItem::ModeDirectory() const
{
    if (m_catalog && m_catalog->Mode() == 1) return m_directory1;
    return m_directory0;
}

CString YCatalogItem::AppendFile(const CString& path, const CString& extension, BOOL file) const
{
    if (m_name.IsEmpty()) return CString();
    if (!file) return path;
    return path + "\\" + m_name + "." + extension;
}

CString YCatalogItem::GetExtension() const
{
    switch (m_type) {
    case 1:
        break;
    case 2:
        return "wav";
    case 3:
        return "spr";
    case 4:
        return "msh";
    case 5:
        return "tex";
    case 9:
        return "but";
    case 11:
        return "dlg";
    case 14:
        return "scr";
    case 17:
        return "fnt";
    case 19:
        return "mod";
    case 20:
        return "sem";
    default:
        return CString();
    }

    if (m_catalog) {
        static const char* const kTried[] = {"bmp", "jpg"};
        const CStringArray& directories = m_catalog->GetSearchDirectories();
        const CString& relative = ModeDirectory();
        for (const char* extension : kTried) {
            for (int i = 0; i < directories.GetSize(); ++i) {
                CString path = relative;
                const CString& directory = directories[i];
                if (IsRelativeDirectory(relative) && !directory.IsEmpty())
                    path = directory + "\\" + relative;
                else if (relative.IsEmpty())
                    path = directory;
                if (PathExists(AppendFile(path, extension, TRUE))) return extension;
            }
        }
    }
    return "tga";
}

CString YCatalogItem::ResolvePath(BOOL base, BOOL file, BOOL collapse) const
{
    const CString& relative = ModeDirectory();
    CString path;
    if (m_catalog && m_catalog->HasNoBaseDirectories()) {
        const CString extension = file ? GetExtension() : CString();
        // Only image files may also exist as ".jpg".
        const bool tryJpeg = m_type == 1 && file && !m_name.IsEmpty();
        const CStringArray& directories = m_catalog->GetSearchDirectories();
        for (int i = 0; i < directories.GetSize(); ++i) {
            const CString& directory = directories[i];
            path = relative;
            if (base) {
                if (IsRelativeDirectory(relative) && !directory.IsEmpty())
                    path = directory + "\\" + relative;
                else if (relative.IsEmpty())
                    path = directory;
            }
            path = AppendFile(path, extension, file);
            if (PathExists(path)) break;
            if (tryJpeg) {
                path = path.Left(path.GetLength() - 3) + "jpg";
                if (PathExists(path)) break;
            }
        }
    } else {
        path = relative;
        if (base) {
            if (IsRelativeDirectory(relative) && m_catalog && !m_catalog->GetBaseDirectory0().IsEmpty())
                path = m_catalog->GetBaseDirectory() + "\\" + relative;
            else if (relative.IsEmpty())
                path = m_catalog ? m_catalog->GetBaseDirectory() : CString();
        }
        path = AppendFile(path, file ? GetExtension() : CString(), file);
    }
    if (collapse) path = CollapseParent(path);
    return path;
}

CString YCatalogItem::GetFullDirectory() const
{
    if (!m_catalog) return CString();
    CString directory = m_catalog->GetBaseDirectory();
    if (m_catalog->Mode() == 1 && !directory.IsEmpty() && !m_directory1.IsEmpty()) directory += "\\" + m_directory1;
    return directory;
}

void YCatalogItem::SetLocation(const CString& directory, const CString& name, int which)
{
    CString stored = directory;
    if (m_catalog) stored = RelativePath(m_catalog->GetBaseDirectoryOf(which), directory);
    if (which == 1)
        m_directory1 = stored;
    else
        m_directory0 = stored;
    m_name = name;
}

CString YCatalogItem::RelativeTo(const CString& target) const
{
    if (!m_catalog) return RelativePath(CString(), target);
    return RelativePath(m_catalog->GetBaseDirectoryOf(m_directorySelector), target);
}

void YCatalogItem::AddRelated(YCatalogItem* item)
{
    if (item == this) return;
    m_related.AddTail(item);
}

void YCatalogItem::RemoveRelated(YCatalogItem* item)
{
    POSITION pos = m_related.GetHeadPosition();
    while (pos) {
        POSITION current = pos;
        if (m_related.GetNext(pos) == item) m_related.RemoveAt(current);
    }
}

void YCatalogItem::RemoveRelatedByResource(YResource* resource)
{
    POSITION pos = m_related.GetHeadPosition();
    while (pos) {
        YCatalogItem* item = m_related.GetNext(pos);
        if (item && item->GetResource() == resource) {
            RemoveRelated(item);
            return;
        }
    }
}

void YCatalogItem::Load(DWORD_PTR context)
{
    if (!m_resource) {
        CString path = ResolvePath(TRUE, TRUE, TRUE);
        YResourceFactory factory;
        try {
            m_resource = factory.CreateAndLoad(m_type, CString(), path);
        } catch (CException* e) {
            if (!e->IsKindOf(RUNTIME_CLASS(CFileException)) && !e->IsKindOf(RUNTIME_CLASS(CArchiveException))) throw;
            delete YResourceFactory::GetLoadingResource();
            YResourceFactory::ClearLoadingResource();
            m_resource = nullptr;
            e->Delete();
        }
    }
    if (m_resource && m_refCount < 2) {
        if (m_catalog && m_catalog->HasNoBaseDirectories())
            m_resource->LoadFromDirectories(&m_catalog->GetSearchDirectories(), context);
        else
            m_resource->LoadFromPath(GetFullDirectory(), context);
    }
}

void YCatalogItem::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_directorySelector << m_type;
        ar << m_section << m_name << m_directory0 << m_directory1;
        ar << m_wordA << m_subType << m_tag << m_wordB;
        SerializeBody(ar, 3);
        ar.WriteCount(m_strings.GetCount());
        for (POSITION pos = m_strings.GetHeadPosition(); pos;) ar << m_strings.GetNext(pos);
        ar.WriteCount(m_related.GetCount());
        for (POSITION pos = m_related.GetHeadPosition(); pos;) ar.WriteObject(m_related.GetNext(pos));
        return;
    }

    NestingScope nesting;
    if (g_nesting > kMaxNesting) AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);

    UINT schema = ar.GetObjectSchema();
    if (schema == (UINT)-1) schema = 3;
    if (schema < 1 || schema > 3) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar >> m_directorySelector >> m_type;
    ar >> m_section >> m_name >> m_directory0 >> m_directory1;
    ar >> m_wordA >> m_subType >> m_tag >> m_wordB;
    SerializeBody(ar, schema);
    m_strings.RemoveAll();
    DWORD count = ar.ReadCount();
    for (DWORD i = 0; i < count; ++i) {
        CString text;
        ar >> text;
        m_strings.AddTail(text);
    }
    m_related.RemoveAll();
    if (schema >= 2) {
        count = ar.ReadCount();
        for (DWORD i = 0; i < count; ++i) {
            CObject* related = ar.ReadObject(RUNTIME_CLASS(YCatalogItem));
            if (related) m_related.AddTail(static_cast<YCatalogItem*>(related));
        }
    }
}

// A type without a class has no body: it is neither written nor read.
void YCatalogItem::SerializeBody(CArchive& ar, UINT schema)
{
    if (IsExternal()) return;
    YResourceFactory factory;
    if (ar.IsStoring()) {
        if (!m_resource && (m_type == 1 || m_type == 2)) Load(0);
        if (!m_resource) m_resource = factory.Create(m_type);
        if (m_resource) m_resource->Serialize(ar);
        return;
    }
    if (schema < 3) return;
    delete m_resource;
    m_resource = factory.Create(m_type);
    if (m_resource) m_resource->Serialize(ar);
}

CString YCatalogItem::CollapseParent(const CString& path)
{
    int up = path.IsEmpty() ? -1 : path.Find("\\..\\", 1);
    if (up < 1) return path;
    int before = path.Left(up).ReverseFind('\\') + 1;
    CString previous = path.Mid(before, up - before);
    int afterStart = up + 4;
    int afterEnd = path.Find('\\', afterStart);
    if (afterEnd < 0) afterEnd = path.GetLength();
    CString next = path.Mid(afterStart, afterEnd - afterStart);
    if (previous.Compare(next) != 0) return path;
    return path.Left(up) + path.Mid(afterEnd);
}

CString YCatalogItem::RelativePath(const CString& base, const CString& target)
{
    CStringArray from;
    CStringArray to;
    SplitComponents(base, from);
    SplitComponents(target, to);
    if (from.GetSize() == 0 || to.GetSize() == 0) return target;
    if (from[0].Compare(to[0]) != 0) return target;

    CString result;
    int i = 0;
    int next = -1;  // first target component left after the walk
    for (; i < from.GetSize(); ++i) {
        if (i >= to.GetSize()) {
            result += "..\\";
            continue;
        }
        if (from[i].Compare(to[i]) != 0) {
            for (int j = i; j < from.GetSize(); ++j) result += "..\\";
            result += to[i] + "\\";
            next = i + 1;
            break;
        }
    }
    if (next < 0) next = from.GetSize();
    for (int j = next; j < to.GetSize(); ++j) result += to[j] + "\\";
    if (!result.IsEmpty() && result[0] == '\\') result = result.Mid(1);
    if (!result.IsEmpty() && result[result.GetLength() - 1] == '\\') result = result.Left(result.GetLength() - 1);
    return result;
}
