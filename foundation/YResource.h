// Base of everything a resource catalog holds.
#pragma once

#include "platform/mfc.h"
#include "foundation/YResourceArray.h"

class YResourceVisitor;
class YDXSurface;
class YDXDraw;

class YResource : public CObject {
    DECLARE_SERIAL(YResource)
public:
    YResource();
    ~YResource() override;

    void Serialize(CArchive& ar) override;

    // Frees loaded data; the object stays for the next hand-out.
    virtual void Unload();
    // Copies id, bounds and version; a null target gets a new YResource.
    virtual YResource* CopyTo(YResource* target);
    virtual void OnNotify(DWORD value);
    virtual void OnNotify2(DWORD value, DWORD extra);
    // Nulls every dependents entry equal to resource; always 1.
    virtual int RemoveReference(YResource* resource);
    // The context word comes unchanged from the catalog look-up; it is
    // pointer-sized, since callers hand the display through it, and is
    // never stored in a file.
    virtual BOOL LoadFromDirectories(CStringArray* directories, DWORD_PTR context);
    virtual BOOL LoadFromPath(const CString& path, DWORD_PTR context);
    virtual BOOL Draw(YDXSurface* target);
    virtual BOOL SetColors(int first, int count, BYTE* colors);
    virtual BOOL GetColors(int first, int count, BYTE* out);
    virtual LONG GetWidth();
    virtual LONG GetHeight();
    virtual LONG GetId();
    virtual BOOL Restore(YDXDraw* display);
    virtual BOOL ReleaseSurfaces();
    virtual BOOL CreateSurfaces(YDXDraw* display);
    virtual BOOL LoadFromFile(CFile& file);
    virtual int Accept(YResourceVisitor* visitor);

    int GetBounds(RECT& bounds) const;
    YResourceArray* GetDependents() const { return m_dependents; }
    void SetId(LONG id) { m_id = id; }
    void SetBounds(const RECT& bounds) { m_bounds = bounds; }
    LONG GetVersion() const { return m_version; }

protected:
    LONG m_version;
    YResourceArray* m_dependents;
    LONG m_id;
    RECT m_bounds;

private:
    YResource(const YResource&) = delete;
    YResource& operator=(const YResource&) = delete;
};
