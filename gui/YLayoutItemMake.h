// Items that make buttons, fonts, sprites and sliders out of image files and
// register them in the layout's resource set under the name of their first
// argument, where later items find them.  A make item runs once per load and
// draws nothing.
#pragma once

#include "gui/YLayoutItem.h"

class YWindow;

class YLayoutItemMake : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemMake)
public:
    enum Kind { Button = 0, ButtonWithFont = 1, FontButton = 2, Font = 3, Sprite = 4, Slider = 5 };
    enum { kDefaultKey = 0x00FF00FF, kCatalogImages = 1, kCatalogFonts = 17 };

    explicit YLayoutItemMake(int kind) : m_kind(kind) {}

    // Reads the name and builds what the keyword makes.
    void Load(YDC* dc) override;

    // "catalog:entry" becomes the file of that image (or else font) item of
    // the layout's catalog, left as path was when there is none; a name
    // without ":" is the path itself.
    virtual void ResolveImagePath(const char* name, CString& path);
    virtual void MakeButton(YDC* dc);
    virtual void MakeButtonWithFont(YDC* dc);
    virtual void MakeFontButton(YDC* dc);
    virtual void MakeFont(YDC* dc);
    virtual void MakeSprite(YDC* dc);
    virtual void MakeSlider(YDC* dc);

    // The keyword's variant.
    int32_t m_kind;
    CString m_name;

private:
    CString Text(int index, YDC* dc);
    int Value(int index, YDC* dc);
    // The window of the name when it has that type code, else a new button
    // or font button in its place; null when none could be made.
    YWindow* FindOrReplaceWindow(int typeCode);
    // The first window of the name in any control list; marks it in use.
    YWindow* FindWindow();
    // Every control of the name leaves the set; their items load again.
    void RemoveWindows();
    // The button takes the size of its normal image.
    static void SizeToFirstImage(YWindow* window);
};
