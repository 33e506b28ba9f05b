#include "foundation/YFileHandler.h"

#include "foundation/YFileFinder.h"
#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YFileHandler, YResource, 1)

namespace {
bool FileExists(const CString& path)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}
}  // namespace

YFileHandler::YFileHandler() : m_word(0), m_searchDirectories(nullptr) {}

YFileHandler::~YFileHandler()
{
    for (int i = 0; i < m_entries.GetSize(); ++i) delete m_entries[i];
    m_entries.RemoveAll();
}

void YFileHandler::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_word;
        ar.WriteCount(m_entries.GetSize());
        for (int i = 0; i < m_entries.GetSize(); ++i) ar.WriteObject(m_entries[i]);
    } else {
        ar >> m_word;
        for (int i = 0; i < m_entries.GetSize(); ++i) delete m_entries[i];
        m_entries.RemoveAll();
        DWORD count = ar.ReadCount();
        // Each entry is the handler's own: a reference to one read before is refused.
        for (DWORD i = 0; i < count; ++i) {
            CObject* entry = ar.ReadOwnedObject(RUNTIME_CLASS(YFileFinder));
            if (entry) m_entries.Add(static_cast<YFileFinder*>(entry));
        }
    }
}

BOOL YFileHandler::LoadFromDirectories(CStringArray* directories, DWORD_PTR)
{
    m_baseDirectory.Empty();
    m_searchDirectories = directories;
    return TRUE;
}

BOOL YFileHandler::LoadFromPath(const CString& path, DWORD_PTR)
{
    m_baseDirectory = path;
    m_searchDirectories = nullptr;
    return TRUE;
}

int YFileHandler::Accept(YResourceVisitor* visitor) { return visitor->VisitFileHandler(this); }

void YFileHandler::AddEntry(const CString& file, const CString& key, LONG wordA, LONG wordB)
{
    m_entries.Add(new YFileFinder(file, key, wordA, wordB));
}

void YFileHandler::RemoveEntry(int index)
{
    if (!IsValidIndex(index)) return;
    delete m_entries[index];
    m_entries.RemoveAt(index);
}

void YFileHandler::SetFile(int index, const CString& text)
{
    if (IsValidIndex(index)) m_entries[index]->m_file = text;
}

void YFileHandler::SetKey(int index, const CString& text)
{
    if (IsValidIndex(index)) m_entries[index]->m_key = text;
}

LONG YFileHandler::GetWordC(int index) const { return IsValidIndex(index) ? m_entries[index]->m_wordC : 0; }

void YFileHandler::SetWordC(int index, LONG value)
{
    if (IsValidIndex(index)) m_entries[index]->m_wordC = value;
}

YFileFinder* YFileHandler::GetEntry(int index) const { return IsValidIndex(index) ? m_entries[index] : nullptr; }

int YFileHandler::GetKey(int index, CString& out) const
{
    if (!IsValidIndex(index)) return 0;
    out = m_entries[index]->m_key;
    return 1;
}

int YFileHandler::GetPath(int index, CString& out) const
{
    if (!IsValidIndex(index)) return 0;
    const CString& file = m_entries[index]->m_file;
    out = file;
    if (!m_searchDirectories) {
        out = m_baseDirectory + "\\" + file;
        return 1;
    }
    for (int i = 0; i < m_searchDirectories->GetSize(); ++i) {
        const CString& directory = m_searchDirectories->GetAt(i);
        if (FileExists(directory + "/" + file)) {
            out = directory + "\\" + file;
            return 1;
        }
    }
    return 0;
}

int YFileHandler::FindFile(const CString& name, CString& out) const
{
    for (int i = 0; i < m_entries.GetSize(); ++i) {
        if (m_entries[i]->m_key.CompareNoCase(name) == 0) return GetPath(i, out);
    }
    return 0;
}
