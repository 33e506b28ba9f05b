// The resources a layout draws with, cached by name: controls, sprites,
// fonts, images and named surfaces.  Marked unused before a script is set,
// marked again by every look-up, and purged of what the new script no
// longer asked for.
#pragma once

#include "platform/mfc.h"

class YCatalog;
class YLayoutItem;
class YLayoutRes;

class YLayoutResSet {
public:
    enum ControlList { Buttons = 0, EditBoxes = 1, Sliders = 2, ListWindows = 3 };
    enum ResourceList { Sprites = 0, Fonts = 1, Images = 2 };

    YLayoutResSet();
    virtual ~YLayoutResSet();

    // Deletes every named surface with its record.
    virtual BOOL ReleaseSurfaces();
    virtual YCatalog* SetCatalog(YCatalog* catalog);
    // Every record in use or not; unmarked records forget their owner.
    virtual void MarkAll(bool inUse);
    // Deletes the records not in use, with their resources.
    virtual void PurgeUnused();
    // The resource of the first record of that name; marks it in use.
    virtual CObject* FindResource(CObList& list, const char* name);

    // The record of a new resource, appended to the list.
    YLayoutRes* Add(CObList& list, const char* name, CObject* resource, YLayoutItem* owner);
    // The control record of that window, in any control list.
    YLayoutRes* FindControlRecord(const CObject* window);
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
    YLayoutResSet(const YLayoutResSet&) = delete;
    YLayoutResSet& operator=(const YLayoutResSet&) = delete;
};
