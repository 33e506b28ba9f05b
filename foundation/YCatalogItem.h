// One entry of a resource catalog: type, section and name of a resource,
// where its file lies, and the resource once loaded.
#pragma once

#include "platform/mfc.h"
#include "foundation/YCatalogItemList.h"

class YCatalog;
class YResource;

class YCatalogItem : public CObject {
    DECLARE_SERIAL(YCatalogItem)
public:
    // Item records nested inside each other's related lists deeper than this
    // fail the load.
    enum { kMaxNesting = 64 };

    YCatalogItem();
    YCatalogItem(LONG type, const CString& section, const CString& name, const CString& directory, LONG subType,
                 const CString& tag, YCatalogItem* related);
    ~YCatalogItem() override;

    void Serialize(CArchive& ar) override;

    CString GetKey() const;
    YResource* GetResource() const { return m_resource; }
    void SetResource(YResource* resource) { m_resource = resource; }
    LONG GetRefCount() const { return m_refCount; }
    LONG AddRef() { return ++m_refCount; }
    LONG DropRef() { return --m_refCount; }

    const CString& GetName() const { return m_name; }
    const CString& GetSection() const { return m_section; }
    const CString& GetTag() const { return m_tag; }
    const CString& GetDirectory0() const { return m_directory0; }
    const CString& GetDirectory1() const { return m_directory1; }
    LONG GetType() const { return m_type; }
    LONG GetSubType() const { return m_subType; }
    YCatalog* GetCatalog() const { return m_catalog; }
    void SetCatalog(YCatalog* catalog) { m_catalog = catalog; }
    YCatalogItemList& GetRelated() { return m_related; }
    CStringList& GetStrings() { return m_strings; }

    CString SectionName() const;
    CString SubTypeSectionName() const;
    static CString SectionName(int type);
    static CString SubTypeSectionName(int subType);
    // True when the resource is read from its own file rather than the archive.
    BOOL IsExternal() const;

    CString GetExtension() const;
    CString ResolvePath(BOOL base, BOOL file, BOOL collapse) const;
    CString GetDirectory() const { return ResolvePath(TRUE, FALSE, TRUE); }
    CString GetFullDirectory() const;
    void SetLocation(const CString& directory, const CString& name, int which);
    CString RelativeTo(const CString& target) const;

    void AddString(const CString& text) { m_strings.AddTail(text); }
    void AddRelated(YCatalogItem* item);
    void RemoveRelated(YCatalogItem* item);
    void RemoveRelatedByResource(YResource* resource);

    // Makes sure the resource exists and hands it the catalog's folders.
    void Load(DWORD_PTR context);

    static CString CollapseParent(const CString& path);
    static CString RelativePath(const CString& base, const CString& target);

    LONG m_directorySelector;
    LONG m_wordA;
    LONG m_wordB;

private:
    bool IsRelativeDirectory(const CString& directory) const;
    const CString& ModeDirectory() const;
    CString AppendFile(const CString& path, const CString& extension, BOOL file) const;
    void SerializeBody(CArchive& ar, UINT schema);

    YCatalogItemList m_related;
    YCatalog* m_catalog;
    LONG m_refCount;
    YResource* m_resource;
    LONG m_type;
    LONG m_subType;
    CString m_section;
    CString m_name;
    CString m_tag;
    CString m_directory0;
    CString m_directory1;
    CStringList m_strings;
};
