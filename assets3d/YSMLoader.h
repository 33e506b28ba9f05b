// The catalog's model loader (type 21, "YSM Loaders"): names a model file
// and knows where to look for it.
#pragma once

#include "foundation/YResource.h"

class YSMLoader : public YResource {
    DECLARE_SERIAL(YSMLoader)
public:
    YSMLoader() = default;

    void Serialize(CArchive& ar) override;
    // Remembers the directory list (not owned); the directory is forgotten.
    BOOL LoadFromDirectories(CStringArray* directories, DWORD_PTR context) override;
    // Remembers the directory; the list is forgotten.
    BOOL LoadFromPath(const CString& directory, DWORD_PTR context) override;
    int Accept(YResourceVisitor* visitor) override;

    void SetFileName(const CString& name) { m_fileName = name; }
    const CString& GetFileName() const { return m_fileName; }
    const CString& GetDirectory() const { return m_directory; }
    // directory + "/" + file name; with search on and no directory known, the
    // first directory of the list that holds the file is found and kept.
    // The file name alone when no directory is known (or search is off).
    CString GetPath(bool search);

private:
    CStringArray* m_directories = nullptr;
    CString m_directory;
    CString m_fileName;
};
