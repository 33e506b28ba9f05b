// A resource catalog: items naming resources by type, section and name,
// handed out by name with reference counts.
#pragma once

#include "platform/mfc.h"
#include "foundation/YCatalogItemList.h"

class YCatalogItem;
class YResource;

class YCatalog : public CObject {
    DECLARE_SERIAL(YCatalog)
public:
    enum { kTypeCacheSize = 29 };

    YCatalog();
    // Loads the catalog file; file and archive exceptions pass to the caller.
    explicit YCatalog(LPCTSTR fileName);
    ~YCatalog() override;

    void Serialize(CArchive& ar) override;
    // Writes the catalog file.
    void Store(LPCTSTR fileName);

    YCatalogItem* FindItem(const CString& key);
    YCatalogItem* FindItem(const CString& section, const CString& name, int startType);
    YResource* GetResource(int type, const CString& key, DWORD_PTR context);
    YResource* GetResource(int type, const CString& section, const CString& name, DWORD_PTR context);
    YResource* AcquireItem(YCatalogItem* item, DWORD_PTR context);
    YResource* LoadItem(YCatalogItem* item, DWORD_PTR context);
    BOOL ReleaseResource(YResource* resource);
    void DetachResource(YResource* resource);
    int FindFile(LPCTSTR fileName, LPTSTR buffer, int bufferSize) const;

    int AddItem(YCatalogItem* item);
    YCatalogItemList* GetItems() { return m_items; }
    BYTE& Mode() { return m_mode; }
    BYTE Mode() const { return m_mode; }
    void ListKeys(int type, CStringArray& out);
    void ListKeysInSection(int type, const CString& section, CStringArray& out);
    int ListSections(CStringArray& out) const;
    void AddEmbeddedSection(const CString& name);
    int RemoveEmbeddedSection(const CString& name);
    BOOL IsEmbeddedSection(const CString& name) const;
    const CStringArray& GetEmbeddedSections() const { return m_embeddedSections; }
    CString GetBaseDirectory() const;
    static YCatalog* CatalogOf(const YCatalogItem* item);

    // The first item of the type, or null; types outside 0..28 have none.
    POSITION FirstOfType(int type);
    bool HasNoBaseDirectories() const { return m_baseDirectory0.IsEmpty() && m_baseDirectory1.IsEmpty(); }
    const CString& GetBaseDirectory0() const { return m_baseDirectory0; }
    const CString& GetBaseDirectoryOf(int which) const { return which == 1 ? m_baseDirectory1 : m_baseDirectory0; }
    void SetBaseDirectory(int which, const CString& directory);
    CStringArray& GetSearchDirectories() { return m_searchDirectories; }
    const CStringArray& GetSearchDirectories() const { return m_searchDirectories; }
    void SetOverrideDirectory(const CString& directory) { m_overrideDirectory = directory; }
    DWORD GetVersion() const { return m_version; }

    // The catalog whose Serialize is running, so that new items find it.
    static YCatalog* GetSerializingCatalog();
    // Items made and unmade while a catalog is being read, so that every item
    // the archive creates has the catalog as its one owner.
    static void NoteItemMade(YCatalogItem* item);
    static void NoteItemGone(YCatalogItem* item);
    // Items read only through other items' related lists: owned, never listed.
    const YCatalogItemList& GetUnlistedItems() const { return m_unlisted; }

    LONG m_headerWord;
    CString m_labelA;
    CString m_labelB;

private:
    void ClearTypeCache();
    void DeleteItems();
    void ReadItems(CArchive& ar);
    // Takes every item read so far that the list does not hold.
    void AdoptUnlisted();
    POSITION StartOf(int type);

    BYTE m_mode;
    BYTE m_closing;
    DWORD m_version;
    CString m_baseDirectory0;
    CString m_baseDirectory1;
    CStringArray m_searchDirectories;
    YCatalogItemList* m_items;
    YCatalogItemList m_unlisted;
    YCatalogItemList m_read;
    CStringArray m_embeddedSections;
    POSITION m_typeCache[kTypeCacheSize];
    CString m_overrideDirectory;
};
