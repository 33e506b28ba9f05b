// A catalog resource that maps look-up names to data files.
#pragma once

#include "foundation/YFileFinderArray.h"
#include "foundation/YResource.h"

class YFileHandler : public YResource {
    DECLARE_SERIAL(YFileHandler)
public:
    YFileHandler();
    ~YFileHandler() override;

    void Serialize(CArchive& ar) override;
    BOOL LoadFromDirectories(CStringArray* directories, DWORD_PTR context) override;
    BOOL LoadFromPath(const CString& path, DWORD_PTR context) override;
    int Accept(YResourceVisitor* visitor) override;

    int GetCount() const { return m_entries.GetSize(); }
    void AddEntry(const CString& file, const CString& key, LONG wordA, LONG wordB);
    // Index operations ignore indexes out of range.
    void RemoveEntry(int index);
    void SetFile(int index, const CString& text);
    void SetKey(int index, const CString& text);
    LONG GetWordC(int index) const;
    void SetWordC(int index, LONG value);
    YFileFinder* GetEntry(int index) const;

    int GetKey(int index, CString& out) const;
    int GetPath(int index, CString& out) const;
    int FindFile(const CString& name, CString& out) const;

    const CString& GetBaseDirectory() const { return m_baseDirectory; }
    CStringArray* GetSearchDirectories() const { return m_searchDirectories; }
    LONG m_word;

private:
    bool IsValidIndex(int index) const { return index >= 0 && index < m_entries.GetSize(); }

    CString m_baseDirectory;
    CStringArray* m_searchDirectories;
    YFileFinderArray m_entries;
};
