// File and directory services: path splitting, status, listing with
// attribute filters, copying, comparing and deleting files and trees.
// Paths use backslashes; a directory is terminated when it ends in one.
#pragma once

#include "platform/mfc.h"

class YFileSystem : public CObject {
public:
    enum { kPathLimit = 1024, kCopyChunk = 10240 };

    YFileSystem();
    ~YFileSystem() override;

    // ---- paths, no file access
    CString JoinPath(const CString& directory, const CString& name) const;
    CString GetDirectory(const CString& path, BOOL keepDrive) const;
    CString GetFileName(const CString& path) const;
    CString GetExtension(const CString& path) const;
    CString GetBaseName(const CString& path) const;
    CString GetDrive(const CString& path) const;
    CString GetFullPath(const CString& path) const;

    // ---- status; 0 and the output untouched on failure
    int GetModifiedTime(const CString& path, CTime& time);
    int GetCreationTime(const CString& path, CTime& time);
    int GetAccessTime(const CString& path, CTime& time);
    int GetSize(const CString& path, DWORD& size);
    int GetAttributes(const CString& path, BYTE& attributes);
    int FileExists(const CString& path);
    int IsDirectory(const CString& path);

    // ---- listing; filter -1 passes all, 0 or 0x80 plain files, else shared bits
    int FindNext(CString& out, const CString& pattern, int filter);
    CString* FindMatching(const CString& pattern, int filter);
    CStringList* ListMatching(const CString& pattern, int filter);
    CStringList* ListSubdirectories(const CString& directory, BOOL fullPaths);
    CStringList* ListFiles(const CString& pattern, int filter, BOOL recursive, CStringList* list = nullptr);
    static void SortStrings(CStringList& list, BOOL caseSensitive);

    // ---- directories
    BOOL SetCurrentDirectory(const CString& path);
    void GetCurrentDirectory(CString& out, const CString& path);
    BOOL CreateDirectory(const CString& path);
    BOOL CreateDirectoryTree(const CString& path);
    BOOL RemoveDirectory(const CString& path, BOOL recursive);
    DWORD DirectorySize(const CString& path, const CString& pattern, BOOL recursive);
    int IsReadOnly(const CString& directory);

    // ---- files
    int RemoveFile(const CString& path);
    int DeleteFiles(const CString& pattern, int filter);
    int ChangeFileName(const CString& oldName, const CString& newName);
    int ChangeDirectoryName(const CString& oldName, const CString& newName);
    int CopyFile(const CString& source, const CString& target, UINT bufferSize);
    int CopyFiles(const CString& pattern, const CString& targetDirectory, BOOL keepGoing, int filter);
    int CompareFiles(const CString& a, const CString& b, UINT bufferSize);
    int CompareDirectories(const CString& patternA, const CString& patternB, BOOL compareContents, int filter,
                           BOOL recursive);
    int CloseFile(CFile& file);

private:
    static bool Passes(DWORD attributes, int filter);
    static CString Terminated(const CString& directory);
    void CloseFind();

    WIN32_FIND_DATA m_findData;
    HANDLE m_find;
    DWORD m_pathLimit;
};
