// Base of every 2D window and control.  A window has a rectangle in screen
// pixels, a parent and the children it owns, a font and a style word; it is
// drawn through a YDC and fed with the frame window's messages, which it
// routes to the capture window, the focus window or the window under the
// point.  Handlers that a window does not take pass to its parent.
//
// A window also owns its drawable resources (images, sounds), named by file
// or by "id;" and a catalog name, loads them, packs their images into source
// surfaces to draw them from, and serialises its description.
#pragma once

#include "foundation/YResource.h"
#include "platform/mfc.h"

class YCatalog;
class YDC;
class YFont;

class YWindow : public YResource {
    DECLARE_SERIAL(YWindow)
public:
    enum { kDisabledStyle = 0x08000000, kTabStopStyle = 0x00010000 };
    enum { kNotifyClicked = -2, kNotifyRightClicked = -5 };
    enum { kVersion = 4 };
    // A window tree read from an archive is at most this many windows deep.
    enum { kMaxArchiveDepth = 64 };

    YWindow();
    // A window like other, attached to other's parent, sharing its resources.
    explicit YWindow(const YWindow& other);
    ~YWindow() override;

    using YResource::Draw;
    using YResource::LoadFromFile;
    using YResource::OnNotify;

    void Serialize(CArchive& ar) override;
    // Hands the resources back and leaves the parent; the old parent.
    virtual YWindow* Release();
    // Into a given window or a new one; null for a target that is no window.
    YResource* CopyTo(YResource* target) override;
    // Clears the resource here and in every descendant.
    int RemoveReference(YResource* resource) override;
    // Loads the named resources, files searched in the directories in order.
    virtual int LoadFromFile(const CStringArray& directories, int flag);
    // Loads the named resources, files under the one directory.
    virtual int LoadFromCatalog(const char* directory, int flag);
    // Resource index drawn at where: from the private source, else the
    // default source, else directly.
    virtual int DrawResource(YDC* dc, const RECT* where, int index);
    virtual void SetFocus();
    virtual int SetStyle(int style);
    // This window, or unless selfOnly one of its descendants, has the focus.
    virtual bool HasFocus(bool selfOnly);
    // Packs the resource images into a source context, shelf by shelf; 0
    // when a shared source runs out of room.
    virtual int DrawResources(YDC* source, int maxWidth, int maxHeight, POINT* cursor);
    // The rectangle is relative to the parent's top-left corner; with a
    // parent the window joins its children.
    virtual int Create(int reserved1, const char* text, int style, const RECT* rect, YWindow* parent, int id,
                       int reserved2);
    // Returns the previous font.
    virtual YFont* SetFont(YFont* font);
    virtual int Draw(YDC* dc);
    // A pass over the tree for what lies above every window.
    virtual int DrawOverlay(YDC* dc);
    virtual void AddChild(YWindow* child);
    // Tallest first.
    virtual void SortChildrenByHeight();
    virtual RECT* GetRect(RECT* out);
    // Moves the window and all its descendants.
    virtual void MoveTo(const RECT* rect);
    virtual void GetName(CString& out);
    virtual void SetName(const char* text);
    // The deepest visible window under the point, children drawn later (on
    // top) asked first, else this window when the point lies in it, else null.
    virtual YWindow* ChildFromPoint(int x, int y, int flags);
    virtual YDC* GetLastDC();
    virtual void ReleaseDC(YDC* dc);
    virtual void SetDrawBackground(bool on);
    virtual void SetPrivateSource(bool on);
    virtual bool GetPrivateSource();
    virtual COLORREF GetForeColor();
    virtual int HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnActivate(int state, int minimized);
    virtual void OnMouseMove(int flags, int x, int y);
    virtual void OnLButtonDown(int flags, int x, int y);
    virtual int OnLButtonDblClk(int flags, int x, int y);
    virtual void OnRButtonDown(int flags, int x, int y);
    virtual void OnLButtonUp(int flags, int x, int y);
    virtual void OnRButtonUp(int flags, int x, int y);
    virtual void OnKeyDown(int key, int repeat, int keyFlags);
    virtual void OnNotify(int id, int code);
    virtual int OnChar(int ch, int repeat, int keyFlags);
    virtual void OnTimer(int id);
    virtual void OnNcMouseMove(int flags, int x, int y);
    // delta is the wheel word as it came: 120 a notch away, 65416 towards.
    virtual void OnMouseWheel(int keys, int delta, int x, int y);
    virtual void OnNextDlgCtl(bool forward, YWindow* target);
    virtual void SetHover();
    virtual void DrawBackground(YDC* dc);
    virtual void DrawForeground(YDC* dc);

    YWindow* GetParent() const { return m_parent; }
    // Leaves the old parent's children, joins the new one's; the old parent.
    YWindow* SetParent(YWindow* parent);
    int GetStyle() const { return m_style; }
    bool IsDisabled() const { return (m_style & kDisabledStyle) != 0; }
    void Enable(bool on);
    // Children first, then their subtrees, in list order; never this window.
    YWindow* FindChildById(int id);
    // Last among its siblings: drawn on top of them.
    void BringToFront();
    // widen sets the rectangle's size to the resource's.
    void AddResource(YResource* resource, bool widen);
    void SetResourceAt(int index, YResource* resource, bool widen);
    void AddResourceName(const char* name);
    void SetResourceNameAt(int index, const CString& name);
    int GetResourceCount() const { return static_cast<int>(m_dependents->GetSize()); }
    YResource* GetResourceAt(int index) const;
    const CStringList& GetResourceNames() const { return m_resourceNames; }
    YFont* GetFont() const { return m_font; }
    int GetChildCount() const { return static_cast<int>(m_children->GetCount()); }
    YWindow* GetChild(int index) const;
    const RECT& Rect() const { return m_rect; }
    void SetForeColor(COLORREF colour) { m_foreColour = colour; }
    int GetId() const { return m_windowId; }
    void SetWindowId(int id) { m_windowId = id; }
    bool IsCreated() const { return m_created != 0; }
    bool ResourcesLoaded() const { return m_resourcesLoaded != 0; }
    YDC* GetPrivateSourceDC() const { return m_privateSource; }

    static YWindow* GetFocusWindow() { return s_focus; }
    static YWindow* GetHoverWindow() { return s_hover; }
    static YWindow* GetCaptureWindow() { return s_capture; }
    static void SetCaptureWindow(YWindow* window) { s_capture = window; }
    static POINT GetLastClickPoint() { return s_lastClick; }
    static void SetScreenSource(YDC* source) { s_screenSource = source; }
    static YDC* GetScreenSource() { return s_screenSource; }
    static YDC* SetDefaultSource(YDC* source);
    static YDC* GetDefaultSource() { return s_defaultSource; }
    static void SetResourceCatalog(YCatalog* catalog) { s_catalog = catalog; }
    static YCatalog* GetResourceCatalog() { return s_catalog; }
    // The folders file names are loaded from, before directory and name.
    static void SetBasePaths(const char* catalogBase, const char* fileBase);
    static const CString& GetCatalogBasePath();
    static int GetShelfBottom() { return s_shelfBottom; }
    static void SetShelfBottom(int bottom) { s_shelfBottom = bottom; }

    // 0 hides the window: it is neither drawn nor hit and gets no messages.
    int32_t m_visible;
    // Set on a dialog's parent while the dialog runs modally.
    uint8_t m_modal;
    // A screen plays its click sound for a clicked child only when it is set.
    int32_t m_clickSound;

protected:
    // Loads the resources even when they are loaded already: from the
    // directories when given, else from the catalog directory.
    int LoadAlways(const CStringArray* directories, const char* directory, int flag);
    // The window's own loads for list-like windows: the children are not
    // loaded again, and the last font among the resources becomes the
    // window's font when it has none.  Files from the directories when
    // given, else from the catalog directory.
    int LoadOwnTakingFont(const CStringArray* directories, const char* directory, int flag);
    // The resources held for the names go back to the catalog (deleted when
    // it does not take them; the font lets go of them first).  How many
    // leading resources that was.
    int HandBackNamedResources();
    // Coordinates and values summed from a description stay in the 32-bit range.
    static int Clamped(long long value)
    {
        return value > 0x7FFFFFFFLL ? 0x7FFFFFFF : value < -0x80000000LL ? static_cast<int>(-0x7FFFFFFF - 1)
                                                                         : static_cast<int>(value);
    }
    static int Diff(int a, int b) { return Clamped(static_cast<long long>(a) - b); }
    // Sizes of a rectangle, wide: a hostile one spans more than 31 bits.
    static long long WidthOf(const RECT& r) { return static_cast<long long>(r.right) - r.left; }
    static long long HeightOf(const RECT& r) { return static_cast<long long>(r.bottom) - r.top; }
    // number x numerator / denominator rounded as MulDiv rounds (halves away
    // from zero), without its -1 for a result past 32 bits; 0 over 0, and
    // within +-2^62.
    static long long MulDivWide(long long number, long long numerator, long long denominator);

    // The resource placed at the cursor of a shelf-packing pass, drawn into
    // the source; false when its row runs past maxHeight.
    static bool PackOne(YDC* source, YResource* resource, int maxWidth, int maxHeight, POINT& at, int& rowBottom);
    // A resource made by the factory from a file; null (and a message) when
    // it cannot be loaded.
    static YResource* LoadResourceFile(const CString& base, const CString& path);

    CStringList m_resourceNames;
    COLORREF m_foreColour;
    int32_t m_reserved1;
    YFont* m_captionFonts[4];
    CString m_caption;
    int32_t m_captionFormat;
    int32_t m_captionX;
    int32_t m_captionY;
    int32_t m_style;
    RECT m_rect;
    CString m_text;
    YWindow* m_parent;
    CObList* m_children;
    int32_t m_created;
    int32_t m_windowId;
    int32_t m_reserved2;
    uint8_t m_resourcesLoaded;
    uint8_t m_drawBackground;
    uint8_t m_privateSourceOn;
    YDC* m_lastDC;
    YDC* m_privateSource;
    YFont* m_font;
    int32_t m_stateFonts;
    uint8_t m_releaseThroughCatalog;
    // The version word the last load read, before Serialize set it to 4.
    LONG m_archivedVersion = kVersion;

    static YWindow* s_focus;
    static YWindow* s_hover;
    static YWindow* s_capture;
    static POINT s_lastClick;
    static YDC* s_screenSource;
    static YDC* s_defaultSource;
    static YCatalog* s_catalog;
    static int s_shelfBottom;

private:
    YWindow& operator=(const YWindow&) = delete;
};
