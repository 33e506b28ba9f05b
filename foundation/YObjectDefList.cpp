#include "foundation/YObjectDefList.h"

#include "foundation/YObjectDef.h"

YObjectDef* YObjectDefList::Find(const CString& name) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        YObjectDef* definition = GetNext(pos);
        if (definition->GetName().CompareNoCase(name) == 0) return definition;
    }
    return nullptr;
}

void YObjectDefList::DeleteAll()
{
    while (!IsEmpty()) delete RemoveHead();
}

void YObjectDefList::ReleaseAll()
{
    while (!IsEmpty()) RemoveHead()->Release();
}

void YObjectDefList::FindDerived(const CString& name, YObjectDefList& out) const
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        YObjectDef* definition = GetNext(pos);
        if (definition->IsDerivedFrom(name)) out.AddTail(definition);
    }
}

void YObjectDefList::DeleteByBaseName(const CString& name)
{
    POSITION pos = GetHeadPosition();
    while (pos) {
        POSITION current = pos;
        YObjectDef* definition = GetNext(pos);
        if (definition->GetBaseName().CompareNoCase(name) == 0) {
            RemoveAt(current);
            delete definition;
        }
    }
}

int YObjectDefList::Remove(YObjectDef* definition)
{
    POSITION pos = CTypedPtrList<CObList, YObjectDef*>::Find(definition);
    if (!pos) return 0;
    RemoveAt(pos);
    delete definition;
    return 1;
}

CString YObjectDefList::ToScript() const
{
    CString text;
    for (POSITION pos = GetHeadPosition(); pos;) text += GetNext(pos)->ToScript(0);
    return text;
}

CString YObjectDefList::Save(LPCTSTR fileName) const
{
    CString text = ToScript();
    try {
        CStdioFile file(fileName, CFile::modeWrite | CFile::typeText);
        file.WriteString(text);
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
    }
    return text;
}

void YObjectDefList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << (LONG)GetCount();
        for (POSITION pos = GetHeadPosition(); pos;) GetNext(pos)->Serialize(ar);
        return;
    }
    RemoveAll();
    LONG count = 0;
    ar >> count;
    if (count < 0) AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    for (LONG i = 0; i < count; ++i) {
        YObjectDef* definition = new YObjectDef;
        try {
            definition->Serialize(ar);
        } catch (...) {
            delete definition;
            throw;
        }
        AddTail(definition);
    }
}
