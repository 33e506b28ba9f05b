// The resources a layout draws with, cached by name: controls, sprites,
// fonts, images and named surfaces.  Marked unused before a script is set,
// marked again by every look-up, and purged of what the new script no
// longer asked for.
#pragma once

#include "platform/mfc.h"

class YCatalog;
class YDXDraw;
class YLayoutItem;
class YLayoutRes;

class YLayoutResSet {
public:
    enum ControlList { Buttons = 0, EditBoxes = 1, Sliders = 2, ListWindows = 3 };
    enum ResourceList { Sprites = 0, Fonts = 1, Images = 2 };

    YLayoutResSet();
    // Gives catalog resources back and deletes the rest.
    virtual ~YLayoutResSet();

    // Every resource and control lets its device surfaces go; the named
    // surfaces are deleted with their records.  The results ANDed.
    virtual BOOL ReleaseSurfaces();
    // Every resource and control makes its surfaces again; results ANDed.
    virtual BOOL RestoreSurfaces(YDXDraw* display);
    virtual YCatalog* SetCatalog(YCatalog* catalog);
    // Every record in use or not; unmarked records forget their owner, and
    // every control is shown or hidden with the mark.
    virtual void MarkAll(bool inUse);
    // The controls that draw with that resource (a drawable, their font or
    // a caption font) give it up and are marked unused: their items load
    // again and the controls go with the purge.  Whether any held it.
    virtual BOOL DetachResource(CObject* resource);
    // Deletes the records not in use, with their resources; numbers the
    // controls kept and checks a radio button where none of them is.
    virtual void PurgeUnused();
    // The first control of that name free or owned by owner, taken for
    // owner; templateOut gets the first control of that name if still null.
    virtual CObject* FindControl(CObList& list, const char* name, YLayoutItem* owner, CObject** templateOut);
    // The resource of the first record of that name; marks it in use.
    virtual CObject* FindResource(CObList& list, const char* name);
    virtual CObject* FindSurface(CObList& list, const char* name);

    // The record of a new resource, appended to the list.
    YLayoutRes* Add(CObList& list, const char* name, CObject* resource, YLayoutItem* owner);
    // The control record of that window, in any control list.
    YLayoutRes* FindControlRecord(const CObject* window);
    // The record of that name in the list, or null; marks nothing.
    YLayoutRes* FindRecord(CObList& list, const char* name);
    bool IsClean() const { return m_clean != 0; }
    int GetRecordCount() const;
    // A control's id from its owner's context number and back: the base
    // number added as 32-bit words, so that every id maps back whatever the
    // numbers.
    int IdOf(int context) const;
    int ContextOf(int id) const;
    // 8-bit case-insensitive hash compared before the names.
    static uint8_t HashName(const char* name);

    CObList m_controls[4];
    CObList m_resources[3];
    CObList m_surfaces;
    YCatalog* m_catalog;
    // A control's id is its owner's context number plus this.
    int32_t m_baseNumber;
    uint8_t m_clean;

private:
    // The resource given back to the catalog or deleted, then the record.
    void DeleteRecord(YLayoutRes* record);
    void DeleteControlRecord(YLayoutRes* record);

    YLayoutResSet(const YLayoutResSet&) = delete;
    YLayoutResSet& operator=(const YLayoutResSet&) = delete;
};
