#include "foundation/YObjectDef.h"

#include "foundation/YObjectParser.h"

IMPLEMENT_SERIAL(YObjectDef, YDataCollection, 1)

namespace {
LONG g_liveDefinitions = 0;
}  // namespace

LONG YObjectDef::GetLiveCount() { return g_liveDefinitions; }

YObjectDef::YObjectDef()
    : YDataCollection(0, 1),
      m_parent(nullptr),
      m_base(nullptr),
      m_children(new YObjectDefList(10)),
      m_registered(0),
      m_refCount(1)
{
    ++g_liveDefinitions;
}

YObjectDef::~YObjectDef()
{
    --g_liveDefinitions;
    m_children->DeleteAll();
    delete m_children;
}

void YObjectDef::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_name << m_baseName;
    else
        ar >> m_name >> m_baseName;
    YDataCollection::Serialize(ar);
}

void YObjectDef::Copy(const YObjectDef* source)
{
    if (!source || source == this) return;
    Merge(source);
    m_name = source->m_name;
    m_baseName = source->m_baseName;
    m_parent = source->m_parent;
    m_base = source->m_base;
    for (POSITION pos = source->m_children->GetHeadPosition(); pos;) {
        const YObjectDef* child = source->m_children->GetNext(pos);
        CObject* object = child->GetRuntimeClass()->CreateObject();
        YObjectDef* copy = object && object->IsKindOf(RUNTIME_CLASS(YObjectDef)) ? static_cast<YObjectDef*>(object)
                                                                                   : new YObjectDef;
        if (copy != object) delete object;
        copy->Copy(child);
        copy->m_parent = this;
        m_children->AddTail(copy);
    }
}

void YObjectDef::CopyUnique(const YObjectDef* source, const YObjectDef* reference)
{
    if (!source || !reference) return;
    m_name = source->m_name;
    m_baseName = source->m_baseName;
    StoreDifferences(source, reference);
}

void YObjectDef::InheritFrom(YObjectDef* base)
{
    if (!base) return;
    CString name = m_name;
    Copy(base);
    m_name = name;
    m_baseName = base->m_name;
    m_base = base;
}

BOOL YObjectDef::IsDerivedFrom(const CString& name) const
{
    if (!m_base) return FALSE;
    if (m_base->m_name.CompareNoCase(name) == 0 || m_baseName.CompareNoCase(name) == 0) return TRUE;
    return m_base->IsDerivedFrom(name);
}

BOOL YObjectDef::IsDerivedFrom(const YObjectDef* definition) const
{
    if (!m_base) return FALSE;
    if (m_base == definition) return TRUE;
    return m_base->IsDerivedFrom(definition);
}

void YObjectDef::SaveToFile(LPCTSTR fileName)
{
    try {
        CStdioFile file(fileName, CFile::modeWrite | CFile::typeText);
        file.WriteString(ToScript(0));
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
    }
}

void YObjectDef::OnSpare() {}

BOOL YObjectDef::LoadScript(LPCTSTR fileName, YObjectParser* parser)
{
    if (parser && fileName && *fileName) parser->ParseFileInto(fileName, this);
    return TRUE;
}

LONG YObjectDef::AddRef() { return __atomic_add_fetch(&m_refCount, 1, __ATOMIC_SEQ_CST); }

LONG YObjectDef::Release()
{
    LONG count = __atomic_sub_fetch(&m_refCount, 1, __ATOMIC_SEQ_CST);
    if (count == 0) delete this;
    return count;
}

CString YObjectDef::ToScript(int indent) const
{
    CString pad(' ', indent);
    if (indent <= 0) pad.Empty();
    CString header = m_name;
    if (m_base) header.Format("%s:%s", (LPCTSTR)m_name, (LPCTSTR)m_base->m_name);

    CString text;
    text.Format("%sOBJECT %s\n%s{\n", (LPCTSTR)pad, (LPCTSTR)header, (LPCTSTR)pad);
    for (int i = 0; i < GetSize(); ++i) {
        CString line;
        line.Format("%s    set %s \"%s\"\n", (LPCTSTR)pad, (const char*)YDataCollection::GetName(i),
                    (const char*)GetValue(i));
        text += line;
    }
    for (POSITION pos = m_children->GetHeadPosition(); pos;) text += m_children->GetNext(pos)->ToScript(indent + 4);
    text += pad + "}\n";
    return text;
}
