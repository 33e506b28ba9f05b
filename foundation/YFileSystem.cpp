#include "foundation/YFileSystem.h"

#include <vector>

YFileSystem::YFileSystem() : m_findData(), m_find(INVALID_HANDLE_VALUE), m_pathLimit(kPathLimit) {}

YFileSystem::~YFileSystem() { CloseFind(); }

void YFileSystem::CloseFind()
{
    if (m_find != INVALID_HANDLE_VALUE) ::FindClose(m_find);
    m_find = INVALID_HANDLE_VALUE;
}

CString YFileSystem::Terminated(const CString& directory)
{
    if (directory.IsEmpty() || directory[directory.GetLength() - 1] == '\\') return directory;
    return directory + "\\";
}

// ---------------------------------------------------------------- paths

CString YFileSystem::JoinPath(const CString& directory, const CString& name) const
{
    if (!directory.IsEmpty() && directory[directory.GetLength() - 1] != '\\') return directory + "\\" + name;
    return directory + name;
}

CString YFileSystem::GetDirectory(const CString& path, BOOL keepDrive) const
{
    int slash = path.ReverseFind('\\');
    CString directory = slash < 0 ? CString() : path.Left(slash + 1);
    if (!keepDrive) {
        int colon = directory.Find(':');
        if (colon >= 0) directory = directory.Mid(colon + 1);
    }
    return directory;
}

CString YFileSystem::GetFileName(const CString& path) const
{
    int slash = path.ReverseFind('\\');
    return slash < 0 ? path : path.Mid(slash + 1);
}

CString YFileSystem::GetExtension(const CString& path) const
{
    int dot = path.ReverseFind('.');
    if (dot <= 0 || dot == path.GetLength() - 1) return CString();
    return path.Mid(dot + 1);
}

CString YFileSystem::GetBaseName(const CString& path) const
{
    CString name = GetFileName(path);
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

CString YFileSystem::GetDrive(const CString& path) const
{
    int colon = path.Find(':');
    if (colon >= 0) return path.Left(colon + 1);
    if (path.Left(2) == "\\\\") {
        // \\server\share
        int server = path.Find('\\', 2);
        if (server < 0) return path;
        int share = path.Find('\\', server + 1);
        return share < 0 ? path : path.Left(share);
    }
    return CString();
}

CString YFileSystem::GetFullPath(const CString& path) const
{
    std::vector<char> buffer(m_pathLimit, '\0');
    DWORD length = ::GetFullPathNameA(path, m_pathLimit, buffer.data(), nullptr);
    if (length == 0 || length >= m_pathLimit) return CString();
    return CString(buffer.data());
}

// ---------------------------------------------------------------- status

namespace {
// The finder's entry for one path, or false.
bool FindEntry(const CString& path, CFileFind& finder)
{
    if (path.IsEmpty() || !finder.FindFile(path)) return false;
    finder.FindNextFile();
    return true;
}
}  // namespace

int YFileSystem::GetModifiedTime(const CString& path, CTime& time)
{
    CFileFind finder;
    return FindEntry(path, finder) && finder.GetLastWriteTime(time) ? 1 : 0;
}

int YFileSystem::GetCreationTime(const CString& path, CTime& time)
{
    CFileFind finder;
    return FindEntry(path, finder) && finder.GetCreationTime(time) ? 1 : 0;
}

int YFileSystem::GetAccessTime(const CString& path, CTime& time)
{
    CFileFind finder;
    return FindEntry(path, finder) && finder.GetLastAccessTime(time) ? 1 : 0;
}

int YFileSystem::GetSize(const CString& path, DWORD& size)
{
    CFileFind finder;
    if (!FindEntry(path, finder)) return 0;
    size = finder.GetLength();
    return 1;
}

int YFileSystem::GetAttributes(const CString& path, BYTE& attributes)
{
    DWORD found = ::GetFileAttributesA(path);
    if (found == INVALID_FILE_ATTRIBUTES) return 0;
    attributes = (BYTE)found;
    return 1;
}

int YFileSystem::FileExists(const CString& path)
{
    return !path.IsEmpty() && ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

int YFileSystem::IsDirectory(const CString& path)
{
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

// ---------------------------------------------------------------- listing

bool YFileSystem::Passes(DWORD attributes, int filter)
{
    if (filter == -1) return true;
    if (filter == 0 || filter == 0x80) return (attributes & 0x5E) == 0;
    return (attributes & (DWORD)filter) != 0;
}

int YFileSystem::FindNext(CString& out, const CString& pattern, int filter)
{
    if (!pattern.IsEmpty()) {
        CloseFind();
        m_find = ::FindFirstFileA(pattern, &m_findData);
        if (m_find == INVALID_HANDLE_VALUE) return 0;
    } else {
        if (m_find == INVALID_HANDLE_VALUE) return 0;
        if (!::FindNextFileA(m_find, &m_findData)) {
            CloseFind();
            return 0;
        }
    }
    out = Passes(m_findData.dwFileAttributes, filter) ? CString(m_findData.cFileName) : CString();
    return 1;
}

CString* YFileSystem::FindMatching(const CString& pattern, int filter)
{
    CString name;
    int more = FindNext(name, pattern, filter);
    while (more && name.IsEmpty()) more = FindNext(name, CString(), filter);
    return more ? new CString(name) : nullptr;
}

CStringList* YFileSystem::ListMatching(const CString& pattern, int filter)
{
    CStringList* list = new CStringList;
    CString directory = GetDirectory(pattern, TRUE);
    for (CString* name = FindMatching(pattern, filter); name; name = FindMatching(CString(), filter)) {
        if (*name != "." && *name != "..") list->AddTail(directory + *name);
        delete name;
    }
    CloseFind();
    return list;
}

CStringList* YFileSystem::ListSubdirectories(const CString& directory, BOOL fullPaths)
{
    CStringList* list = new CStringList;
    CString root = Terminated(directory);
    CString name;
    for (int more = FindNext(name, root + "*.*", 0x10); more; more = FindNext(name, CString(), 0x10)) {
        if (name.IsEmpty() || name == "." || name == "..") continue;
        if (!IsDirectory(root + name)) continue;
        list->AddTail(fullPaths ? root + name : name);
    }
    CloseFind();
    return list;
}

CStringList* YFileSystem::ListFiles(const CString& pattern, int filter, BOOL recursive, CStringList* list)
{
    if (!list) list = new CStringList;
    CStringList* found = ListMatching(pattern, filter);
    list->AddTail(found);
    delete found;
    if (recursive) {
        CString fileName = GetFileName(pattern);
        CStringList* subdirectories = ListSubdirectories(GetDirectory(pattern, TRUE), TRUE);
        for (POSITION pos = subdirectories->GetHeadPosition(); pos;)
            ListFiles(Terminated(subdirectories->GetNext(pos)) + fileName, filter, TRUE, list);
        delete subdirectories;
    }
    return list;
}

void YFileSystem::SortStrings(CStringList& list, BOOL caseSensitive)
{
    for (POSITION a = list.GetHeadPosition(); a; list.GetNext(a)) {
        POSITION b = a;
        list.GetNext(b);
        for (; b; list.GetNext(b)) {
            CString& first = list.GetAt(a);
            CString& second = list.GetAt(b);
            int order = caseSensitive ? first.Compare(second) : first.CompareNoCase(second);
            if (order > 0) {
                CString swap = first;
                first = second;
                second = swap;
            }
        }
    }
}

// ---------------------------------------------------------------- directories

BOOL YFileSystem::SetCurrentDirectory(const CString& path) { return ::SetCurrentDirectoryA(path); }

void YFileSystem::GetCurrentDirectory(CString& out, const CString& path)
{
    CString previous;
    if (!path.IsEmpty()) {
        std::vector<char> before(m_pathLimit, '\0');
        if (::GetCurrentDirectoryA(m_pathLimit, before.data())) previous = before.data();
        if (!::SetCurrentDirectoryA(path)) {
            out.Empty();
            return;
        }
    }
    std::vector<char> buffer(m_pathLimit, '\0');
    DWORD length = ::GetCurrentDirectoryA(m_pathLimit, buffer.data());
    out = length && length < m_pathLimit ? CString(buffer.data()) : CString();
    if (!path.IsEmpty() && !previous.IsEmpty()) ::SetCurrentDirectoryA(previous);
}

BOOL YFileSystem::CreateDirectory(const CString& path)
{
    SECURITY_ATTRIBUTES security = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateDirectoryA(path, &security);
}

BOOL YFileSystem::CreateDirectoryTree(const CString& path)
{
    CString full = Terminated(path);
    BOOL result = TRUE;
    for (int slash = full.Find('\\'); slash >= 0; slash = full.Find('\\', slash + 1)) {
        CString prefix = full.Left(slash);
        if (prefix.IsEmpty() || prefix[prefix.GetLength() - 1] == ':') continue;
        result = CreateDirectory(prefix);
    }
    return result;
}

BOOL YFileSystem::RemoveDirectory(const CString& path, BOOL recursive)
{
    if (recursive) {
        CStringList* subdirectories = ListSubdirectories(path, TRUE);
        for (POSITION pos = subdirectories->GetHeadPosition(); pos;) RemoveDirectory(subdirectories->GetNext(pos), TRUE);
        delete subdirectories;
        DeleteFiles(Terminated(path) + "*.*", -1);
    }
    return ::RemoveDirectoryA(path);
}

DWORD YFileSystem::DirectorySize(const CString& path, const CString& pattern, BOOL recursive)
{
    DWORD total = 0;
    CStringList* files = ListMatching(Terminated(path) + pattern, -1);
    for (POSITION pos = files->GetHeadPosition(); pos;) {
        DWORD size = 0;
        const CString& file = files->GetNext(pos);
        if (!IsDirectory(file) && GetSize(file, size)) total += size;
    }
    delete files;
    if (recursive) {
        CStringList* subdirectories = ListSubdirectories(path, TRUE);
        for (POSITION pos = subdirectories->GetHeadPosition(); pos;)
            total += DirectorySize(subdirectories->GetNext(pos), pattern, TRUE);
        delete subdirectories;
    }
    return total;
}

int YFileSystem::IsReadOnly(const CString& directory)
{
    CString probe = Terminated(directory) + "xxxxtest.999";
    try {
        CFile file(probe, CFile::modeCreate | CFile::modeWrite);
        file.Close();
        CFile::Remove(probe);
    } catch (CFileException* e) {
        e->Delete();
        return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- files

int YFileSystem::RemoveFile(const CString& path)
{
    try {
        CFile::Remove(path);
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}

int YFileSystem::DeleteFiles(const CString& pattern, int filter)
{
    int result = 1;
    CStringList* files = ListMatching(pattern, filter);
    for (POSITION pos = files->GetHeadPosition(); pos;) {
        const CString& file = files->GetNext(pos);
        if (IsDirectory(file)) continue;
        if (!RemoveFile(file)) result = 0;
    }
    delete files;
    return result;
}

int YFileSystem::ChangeFileName(const CString& oldName, const CString& newName)
{
    if (oldName == newName) return 1;
    if (!FileExists(oldName) || FileExists(newName)) return 0;
    try {
        CFile::Rename(oldName, newName);
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}

int YFileSystem::ChangeDirectoryName(const CString& oldName, const CString& newName)
{
    if (oldName == newName) return 1;
    if (!IsDirectory(oldName) || IsDirectory(newName)) return 0;
    try {
        CFile::Rename(oldName, newName);
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}

int YFileSystem::CopyFile(const CString& source, const CString& target, UINT bufferSize)
{
    if (FileExists(target) || bufferSize == 0) return 0;
    CFile in;
    if (!in.Open(source, CFile::modeRead | CFile::shareDenyWrite)) return 0;
    CFile out;
    if (!out.Open(target, CFile::modeCreate | CFile::modeWrite)) return 0;
    std::vector<BYTE> buffer(bufferSize);
    try {
        DWORD left = in.GetLength();
        while (left > 0) {
            UINT chunk = left < bufferSize ? (UINT)left : bufferSize;
            UINT got = in.Read(buffer.data(), chunk);
            if (got == 0) break;
            out.Write(buffer.data(), got);
            left -= got;
        }
        in.Close();
        out.Close();
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}

int YFileSystem::CopyFiles(const CString& pattern, const CString& targetDirectory, BOOL keepGoing, int filter)
{
    int result = 1;
    CStringList* files = ListMatching(pattern, filter);
    for (POSITION pos = files->GetHeadPosition(); pos;) {
        const CString& file = files->GetNext(pos);
        if (IsDirectory(file)) continue;
        if (!CopyFile(file, JoinPath(targetDirectory, GetFileName(file)), kCopyChunk)) {
            result = 0;
            if (!keepGoing) break;
        }
    }
    delete files;
    return result;
}

int YFileSystem::CompareFiles(const CString& a, const CString& b, UINT bufferSize)
{
    if (bufferSize == 0) return 0;
    CFile first;
    CFile second;
    if (!first.Open(a, CFile::modeRead | CFile::shareDenyWrite)) return 0;
    if (!second.Open(b, CFile::modeRead | CFile::shareDenyWrite)) return 0;
    DWORD left = first.GetLength();
    if (left != second.GetLength()) return 0;
    std::vector<BYTE> bufferA(bufferSize);
    std::vector<BYTE> bufferB(bufferSize);
    try {
        while (left > 0) {
            UINT chunk = left < bufferSize ? (UINT)left : bufferSize;
            if (first.Read(bufferA.data(), chunk) != chunk || second.Read(bufferB.data(), chunk) != chunk) return 0;
            if (memcmp(bufferA.data(), bufferB.data(), chunk) != 0) return 0;
            left -= chunk;
        }
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}

int YFileSystem::CompareDirectories(const CString& patternA, const CString& patternB, BOOL compareContents,
                                    int filter, BOOL recursive)
{
    if (patternA == patternB) return 1;
    CString current;
    GetCurrentDirectory(current, CString());

    const CString* patterns[2] = {&patternA, &patternB};
    CStringList names[2];
    for (int i = 0; i < 2; ++i) {
        CString directory = GetDirectory(*patterns[i], TRUE);
        if (!directory.IsEmpty() && !::SetCurrentDirectoryA(directory)) {
            ::SetCurrentDirectoryA(current);
            return 0;
        }
        CStringList* found = ListFiles(GetFileName(*patterns[i]), filter, recursive);
        names[i].AddTail(found);
        delete found;
        ::SetCurrentDirectoryA(current);
    }
    if (names[0].GetCount() != names[1].GetCount()) return 0;
    SortStrings(names[0], TRUE);
    SortStrings(names[1], TRUE);
    CString directoryA = GetDirectory(patternA, TRUE);
    CString directoryB = GetDirectory(patternB, TRUE);
    POSITION a = names[0].GetHeadPosition();
    POSITION b = names[1].GetHeadPosition();
    while (a && b) {
        const CString& nameA = names[0].GetNext(a);
        const CString& nameB = names[1].GetNext(b);
        if (nameA.Compare(nameB) != 0) return 0;
        if (compareContents && !IsDirectory(directoryA + nameA) &&
            !CompareFiles(directoryA + nameA, directoryB + nameB, kCopyChunk))
            return 0;
    }
    return 1;
}

int YFileSystem::CloseFile(CFile& file)
{
    try {
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}
