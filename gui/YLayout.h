// The window that shows one layout script: the script is parsed once into a
// tree of items, which draws every frame and resolves its arguments through
// the game's hooks.  Notifications of the controls the items made become
// console command lines.
#pragma once

#include "gui/YLayoutResSet.h"
#include "gui/YWindow.h"

class YButton;
class YCatalog;
class YDIB;
class YDXDraw;
class YEditBox;
class YGraphics;
class YDXSurface;
class YSlider;
class YSprite;
class YToolTipCtrl;
class YLayoutGroup;
class YLayoutItem;
class YLayoutTokenizer;

class YLayout : public YWindow {
    DECLARE_DYNAMIC(YLayout)
public:
    enum { kDefaultDepth = 32767, kMaxArgPieces = 50, kMaxBlockDepth = 64 };
    enum { kNotifyEditBox = 1024 };

    YLayout();
    ~YLayout() override;

    BOOL ReleaseSurfaces() override;
    int Draw(YDC* dc) override;
    // Controls first, the topmost first; a layout of the interface manager
    // (on a shared set) catches every point in its rectangle.
    YWindow* ChildFromPoint(int x, int y, int flags) override;
    void OnNotify(int id, int code) override;
    // A key in one of the layout's edit boxes: its next notification may
    // run the box's command.
    void OnKeyDown(int key, int repeat, int keyFlags) override;

    // Draws a control unless a second pass is coming.
    virtual void DrawControl(YWindow* window, YDC* dc);
    // Set-up before the first draw.
    virtual void SetRefresh();
    virtual int SetDepth(int depth);
    virtual int GetDepth();
    virtual void ClearItems();
    virtual void ParseScript();
    // The argument text that follows an item's keyword, cut into arguments
    // at the operators; keepOperators keeps them as arguments of their own.
    virtual void ReadItemArgs(YLayoutItem* item, YLayoutTokenizer& tokens, const char* const* operators,
                              bool keepOperators);
    virtual void PlaySecondSound();
    virtual YLayoutResSet* GetResourceSet();
    // The resource getters: the cached resource of that name, else a new
    // one (created, when given, tells which), else null.  A name with ":"
    // is "catalog:entry" in the layout's catalog.
    virtual YSprite* GetSprite(const char* name, bool* created = nullptr);
    virtual YFont* GetFont(const char* name, bool* created = nullptr);
    // Without ":" the file the catalog's search finds.
    virtual YDIB* GetDIB(const char* name, bool* created = nullptr);
    // The picture copied onto a surface of its own; without ":" the name
    // is the file.
    virtual YDXSurface* GetImage(const char* name, bool* created = nullptr);
    // A new surface of that size when the name is not cached.
    virtual YDXSurface* GetSurface(const char* name, int width, int height, bool* created = nullptr);
    // Controls: the one of that name free or owned by owner, else a copy of
    // the catalog's (or of another item's control of that name).
    virtual YButton* GetButton(const char* name, YLayoutItem* owner, bool* created = nullptr);
    virtual YSlider* GetSlider(const char* name, YLayoutItem* owner, bool* created = nullptr);
    virtual YEditBox* GetEditBox(const char* name, YLayoutItem* owner, bool* created = nullptr);
    // kind 0 a text control, 1 a list box, 2 a list control.
    virtual YWindow* GetMiscWindow(const char* name, YLayoutItem* owner, int kind, bool* created = nullptr);
    // The display new surfaces are made on: the layout's graphics.
    virtual YDXDraw* GetDisplay();
    // The active set's lists.
    virtual CObList& GetSpriteList();
    virtual CObList& GetFontList();
    virtual CObList& GetImageList();
    virtual CObList& GetSurfaceList();
    virtual CObList& GetButtonList();
    virtual CObList& GetSliderList();
    virtual CObList& GetEditBoxList();
    virtual CObList& GetMiscWindowList();
    virtual void SetControlCommand(YWindow* window, const char* text);
    virtual void SetControlTip(YWindow* window, const char* text);
    // An item of the keyword table, or null.
    virtual YLayoutItem* CreateItem(const char* keyword);
    virtual void DetachChildren();
    virtual YLayoutResSet* SetResourceSet(YLayoutResSet* set);
    virtual YWindow* GetControlParent();
    virtual void OnOpen();
    virtual void OnClose();
    virtual void OnStep();
    virtual YCatalog* GetCatalog() = 0;
    virtual YGraphics* GetGraphics() = 0;
    virtual int ResolveValue(const char* text, YDC* dc, YLayoutGroup* group) = 0;
    virtual float ResolveFloat(const char* text, YDC* dc, YLayoutGroup* group) = 0;
    virtual CString ResolveText(const char* text, YDC* dc) = 0;
    // A game item for a token the parser did not know, or null.
    virtual YLayoutItem* CreateAppItem(const char* token) = 0;
    virtual void ExecuteCommand(const char* text) = 0;
    // Runs the command with the text as its last argument, one argument
    // whatever it holds (blanks, ";" and quotes are no syntax in it).
    virtual void ExecuteCommandWithText(const char* command, const char* text) = 0;
    virtual void KeyboardOn(bool on) = 0;
    // Between the two passes of a draw.
    virtual void OnIdle() = 0;
    virtual void MarkResources(bool inUse);
    virtual void PurgeResources();

    void SetScript(const char* text);
    const CString& GetScript() const { return m_script; }
    void ReloadAll();
    // The background of the tool tips.
    void SetToolTipColour(COLORREF colour);
    YToolTipCtrl* GetToolTips() const { return m_toolTips; }
    const CObList& GetItems() const { return m_items; }
    bool OwnsResourceSet() const { return m_activeSet == &m_ownSet; }

    // Milliseconds spent this frame, by kind of item.
    int32_t m_groupTime;
    int32_t m_textTime;
    int32_t m_imageTime;
    int32_t m_controlTime;
    int32_t m_spriteTime;
    // A getter made a control during the draw: draw once more.
    int32_t m_redoPasses;
    int32_t m_drawTime;

protected:
    CString m_script;
    CObList m_items;
    int32_t m_depth;
    uint8_t m_refreshed;
    int32_t m_drawDepth = 0;
    CObList m_retiredItems;
    // Owned, and kept out of the children so that hit tests and child
    // counts see only the controls; drawn after the items.
    YToolTipCtrl* m_toolTips;
    YLayoutResSet* m_activeSet;
    YLayoutResSet m_ownSet;

private:
    // Items replaced while the layout draws are kept until the draw ends.
    void DeleteItems();
    void DeleteRetiredItems();
    // The cached resource of a list, else the catalog's of "catalog:entry".
    template <class T>
    T* CatalogGet(CObList& list, int type, const char* name, bool* created);
    // The catalog resource of "catalog:entry" of that type, or null.
    YResource* CatalogResource(int type, const char* name);
    // A new picture for GetDIB (search: through the catalog's file search).
    YDIB* LoadDIB(const char* name, bool search, CString* path, bool* fromCatalog);
    // The control of that name in the list free or owned by owner, else a
    // copy made by MakeControl; adopted by the layout.
    YWindow* GetCopiedControl(CObList& list, int type, const char* name, YLayoutItem* owner, bool button,
                              bool* created);
    // A button or slider not cached: see GetButton.
    YWindow* MakeControl(CObList& list, int type, const char* name, YLayoutItem* owner, CObject* model,
                         bool button, bool* created);
    // The control joins the layout when it hangs elsewhere.
    void Adopt(YWindow* control);
    // The tip of the control under the mouse, once it rested there; tips
    // of controls that left the resource set are dropped first.
    void DrawToolTip(YDC* dc);
    // The command of an edit box's Enter or Escape; typed is set when the
    // box's text goes with it as its argument.
    CString EditCommand(int context, CString& text, bool& typed);
    // Enter or Escape already ran the box's command for this key press: the
    // character the key makes notifies again and runs nothing.
    uint8_t m_editKeyDone = 0;
    CString ClickCommand(int context, bool& clickSound);
};
