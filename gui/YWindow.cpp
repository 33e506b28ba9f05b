#include "gui/YWindow.h"

#include <algorithm>
#include <cmath>

#include "foundation/YCatalog.h"
#include "foundation/YResourceFactory.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YWindow, YResource, 1)

YWindow* YWindow::s_focus = nullptr;
YWindow* YWindow::s_hover = nullptr;
YWindow* YWindow::s_capture = nullptr;
POINT YWindow::s_lastClick = {0, 0};
YDC* YWindow::s_screenSource = nullptr;
YDC* YWindow::s_defaultSource = nullptr;
YCatalog* YWindow::s_catalog = nullptr;
int YWindow::s_shelfBottom = 0;

namespace {

enum { kCatalogTypeImage = 1, kCatalogTypeSound = 2, kCatalogTypeAny = -1 };

const char kCatalogPrefix[] = "id;";

CString& DefaultCaption()
{
    static CString caption;
    return caption;
}

CString& CatalogBasePath()
{
    static CString base;
    return base;
}

CString& FileBasePath()
{
    static CString base;
    return base;
}

// Resources packed into the shared source in the current pass.
CObList& PackedList()
{
    static CObList packed;
    return packed;
}

YWindow* ChildAt(POSITION& at, CObList* children) { return static_cast<YWindow*>(children->GetNext(at)); }

int TypeOfFile(const CString& name)
{
    return name.GetLength() >= 3 && name.Right(3) == "wav" ? kCatalogTypeSound : kCatalogTypeImage;
}

CString JoinPath(const CString& directory, const CString& name)
{
    return directory.IsEmpty() ? name : directory + "\\" + name;
}

bool IsCatalogName(const CString& name) { return name.Left(3) == kCatalogPrefix; }

// Windows being read inside each other: a tree read from a file is freed,
// stored and searched recursively, so its depth is bounded where it is read.
int g_readDepth = 0;
struct ReadDepthScope {
    ReadDepthScope() { ++g_readDepth; }
    ~ReadDepthScope() { --g_readDepth; }
};

}  // namespace

YWindow::YWindow()
    : m_visible(1), m_modal(0), m_clickSound(1), m_resourceNames(10), m_foreColour(0), m_reserved1(0),
      m_captionFonts{nullptr, nullptr, nullptr, nullptr}, m_caption(DefaultCaption()),
      m_captionFormat(DT_CENTER | DT_VCENTER), m_captionX(0), m_captionY(0), m_style(0), m_rect{0, 0, 0, 0},
      m_parent(nullptr), m_children(new CObList(10)), m_created(0), m_windowId(0), m_reserved2(0),
      m_resourcesLoaded(0), m_drawBackground(1), m_privateSourceOn(0), m_lastDC(nullptr), m_privateSource(nullptr),
      m_font(nullptr), m_stateFonts(1), m_releaseThroughCatalog(1)
{
    m_version = kVersion;
}

YWindow::YWindow(const YWindow& other) : YWindow()
{
    YWindow& from = const_cast<YWindow&>(other);
    m_windowId = other.m_windowId;
    m_rect = other.m_rect;
    m_style = other.m_style;
    m_text = other.m_text;
    m_reserved1 = other.m_reserved1;
    m_visible = other.m_visible;
    m_foreColour = from.GetForeColor();
    for (int i = 0; i < 4; ++i) m_captionFonts[i] = other.m_captionFonts[i];
    m_caption = other.m_caption;
    m_captionFormat = other.m_captionFormat;
    m_captionX = other.m_captionX;
    m_captionY = other.m_captionY;
    m_stateFonts = other.m_stateFonts;
    for (int i = 0; i < other.GetResourceCount(); ++i) m_dependents->Add(other.GetResourceAt(i));
    if (other.m_parent) SetParent(other.m_parent);
}

YWindow::~YWindow()
{
    while (!m_children->IsEmpty()) {
        YWindow* child = static_cast<YWindow*>(m_children->GetHead());
        child->SetParent(nullptr);
        delete child;
    }
    delete m_children;
    m_children = nullptr;
    delete m_privateSource;
    m_privateSource = nullptr;
    YWindow::Release();
    if (s_capture == this) s_capture = nullptr;
    if (s_focus == this) s_focus = nullptr;
    if (s_hover == this) s_hover = nullptr;
}

// ------------------------------------------------------------------ tree

int YWindow::Create(int, const char* text, int style, const RECT* rect, YWindow* parent, int id, int)
{
    m_style = style;
    if (rect) m_rect = *rect;
    m_text = text ? text : "";
    if (parent) OffsetRect(&m_rect, parent->m_rect.left, parent->m_rect.top);
    // A window already in a tree leaves its old parent's list first.
    SetParent(parent);
    m_windowId = id;
    m_created = 1;
    return 1;
}

YWindow* YWindow::SetParent(YWindow* parent)
{
    YWindow* old = m_parent;
    if (old && old->m_children) {
        POSITION at = old->m_children->Find(this);
        if (at) old->m_children->RemoveAt(at);
    }
    if (parent) parent->AddChild(this);
    m_parent = parent;
    return old;
}

void YWindow::AddChild(YWindow* child)
{
    if (child) m_children->AddTail(child);
}

YWindow* YWindow::GetChild(int index) const
{
    POSITION at = index >= 0 ? m_children->FindIndex(index) : nullptr;
    return at ? static_cast<YWindow*>(m_children->GetAt(at)) : nullptr;
}

YWindow* YWindow::FindChildById(int id)
{
    for (POSITION at = m_children->GetHeadPosition(); at;) {
        YWindow* child = ChildAt(at, m_children);
        if (child->m_windowId == id) return child;
    }
    for (POSITION at = m_children->GetHeadPosition(); at;)
        if (YWindow* found = ChildAt(at, m_children)->FindChildById(id)) return found;
    return nullptr;
}

void YWindow::BringToFront()
{
    if (!m_parent) return;
    POSITION at = m_parent->m_children->Find(this);
    if (at) m_parent->m_children->RemoveAt(at);
    m_parent->m_children->AddTail(this);
}

void YWindow::SortChildrenByHeight()
{
    CObList* sorted = new CObList(10);
    while (m_children->GetCount() > 1) {
        POSITION tallest = nullptr;
        long long height = 0;
        for (POSITION at = m_children->GetHeadPosition(); at;) {
            POSITION here = at;
            YWindow* child = ChildAt(at, m_children);
            RECT r;
            child->GetRect(&r);
            if (!tallest || HeightOf(r) > height) {
                tallest = here;
                height = HeightOf(r);
            }
        }
        sorted->AddTail(m_children->GetAt(tallest));
        m_children->RemoveAt(tallest);
    }
    if (!m_children->IsEmpty()) sorted->AddTail(m_children->GetHead());
    delete m_children;
    m_children = sorted;
}

RECT* YWindow::GetRect(RECT* out)
{
    if (out) *out = m_rect;
    return out;
}

void YWindow::MoveTo(const RECT* rect)
{
    if (!rect) return;
    const int dx = Diff(rect->left, m_rect.left), dy = Diff(rect->top, m_rect.top);
    for (POSITION at = m_children->GetHeadPosition(); at;) {
        YWindow* child = ChildAt(at, m_children);
        RECT moved;
        child->GetRect(&moved);
        OffsetRect(&moved, dx, dy);
        child->MoveTo(&moved);
    }
    m_rect = *rect;
}

void YWindow::GetName(CString& out) { out = m_text; }

void YWindow::SetName(const char* text) { m_text = text ? text : ""; }

void YWindow::Enable(bool on)
{
    if (on) m_style &= ~kDisabledStyle;
    else m_style |= kDisabledStyle;
}

int YWindow::SetStyle(int style)
{
    m_style = style;
    return m_style;
}

YFont* YWindow::SetFont(YFont* font)
{
    YFont* previous = m_font;
    m_font = font;
    return previous;
}

YDC* YWindow::GetLastDC() { return m_lastDC; }

void YWindow::ReleaseDC(YDC*) {}

void YWindow::SetDrawBackground(bool on) { m_drawBackground = on ? 1 : 0; }

void YWindow::SetPrivateSource(bool on) { m_privateSourceOn = on ? 1 : 0; }

bool YWindow::GetPrivateSource() { return m_privateSourceOn != 0; }

COLORREF YWindow::GetForeColor() { return m_foreColour; }

YDC* YWindow::SetDefaultSource(YDC* source)
{
    YDC* previous = s_defaultSource;
    s_defaultSource = source;
    return previous;
}

void YWindow::SetBasePaths(const char* catalogBase, const char* fileBase)
{
    CatalogBasePath() = catalogBase ? catalogBase : "";
    FileBasePath() = fileBase ? fileBase : "";
}

const CString& YWindow::GetCatalogBasePath() { return CatalogBasePath(); }

// ------------------------------------------------------------------ focus and hit test

void YWindow::SetFocus() { s_focus = this; }

void YWindow::SetHover() { s_hover = this; }

bool YWindow::HasFocus(bool selfOnly)
{
    if (!selfOnly)
        for (POSITION at = m_children->GetHeadPosition(); at;)
            if (ChildAt(at, m_children)->HasFocus(false)) return true;
    return s_focus == this;
}

YWindow* YWindow::ChildFromPoint(int x, int y, int flags)
{
    if (!m_visible) return nullptr;
    // The last child is drawn on top: it gets the point first.
    for (POSITION at = m_children->GetTailPosition(); at;)
        if (YWindow* hit = static_cast<YWindow*>(m_children->GetPrev(at))->ChildFromPoint(x, y, flags)) return hit;
    POINT point = {x, y};
    return PtInRect(&m_rect, point) ? this : nullptr;
}

// ------------------------------------------------------------------ drawing

int YWindow::Draw(YDC* dc)
{
    if (!m_visible || !dc) return 0;
    YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
    if (m_drawBackground) DrawBackground(dc);
    DrawForeground(dc);
    for (POSITION at = m_children->GetHeadPosition(); at;) ChildAt(at, m_children)->Draw(dc);
    m_lastDC = dc;
    if (m_font) dc->SwapFont(old);
    return 0;
}

int YWindow::DrawOverlay(YDC* dc)
{
    if (m_visible)
        for (POSITION at = m_children->GetHeadPosition(); at;) ChildAt(at, m_children)->DrawOverlay(dc);
    return 0;
}

void YWindow::DrawBackground(YDC*) {}

void YWindow::DrawForeground(YDC*) {}

// ------------------------------------------------------------------ messages

int YWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_visible) return 0;
    const int x = static_cast<int>(LOWORD(lParam)), y = static_cast<int>(HIWORD(lParam));
    const int flags = static_cast<int>(wParam);
    auto under = [&]() -> YWindow* {
        YWindow* hit = ChildFromPoint(x, y, 0);
        return hit && hit->m_visible ? hit : nullptr;
    };
    auto click = [&]() { s_lastClick = POINT{x, y}; };
    switch (message) {
    case WM_MOUSEMOVE: (s_capture ? s_capture : this)->OnMouseMove(flags, x, y); break;
    case WM_NCMOUSEMOVE: (s_capture ? s_capture : this)->OnNcMouseMove(flags, x, y); break;
    case WM_LBUTTONDOWN:
        click();
        if (s_capture) {
            s_capture->OnLButtonDown(flags, x, y);
        } else if (YWindow* target = under()) {
            s_focus = target;
            target->OnLButtonDown(flags, x, y);
        }
        break;
    case WM_LBUTTONUP:
        if (s_capture) s_capture->OnLButtonUp(flags, x, y);
        else if (YWindow* target = under()) target->OnLButtonUp(flags, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        click();
        if (s_capture) {
            s_capture->OnLButtonDblClk(flags, x, y);
        } else if (YWindow* target = under()) {
            s_focus = target;
            target->OnLButtonDblClk(flags, x, y);
        }
        break;
    case WM_RBUTTONDOWN:
        click();
        if (YWindow* target = under()) target->OnRButtonDown(flags, x, y);
        break;
    case WM_RBUTTONUP:
        if (YWindow* target = under()) target->OnRButtonUp(flags, x, y);
        break;
    case WM_MOUSEWHEEL:
        (s_capture ? s_capture : this)->OnMouseWheel(LOWORD(wParam), HIWORD(wParam), x, y);
        break;
    case WM_KEYDOWN:
        if (s_focus && s_focus->m_visible) s_focus->OnKeyDown(flags, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_CHAR:
        if (s_focus && s_focus->m_visible) s_focus->OnChar(flags, LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_TIMER: OnTimer(flags); break;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam), HIWORD(wParam)); break;
    case WM_NEXTDLGCTL:
        if (LOWORD(lParam)) OnNextDlgCtl(false, reinterpret_cast<YWindow*>(wParam));
        else OnNextDlgCtl(wParam != 0, nullptr);
        break;
    case WM_NOTIFY: OnNotify(flags, static_cast<int>(lParam)); break;
    default: break;
    }
    return 0;
}

void YWindow::OnActivate(int, int) {}

void YWindow::OnMouseMove(int flags, int x, int y)
{
    if (YWindow* hit = ChildFromPoint(x, y, 0)) hit->SetHover();
    if (s_hover && s_hover != this) s_hover->OnMouseMove(flags, x, y);
}

void YWindow::OnLButtonDown(int flags, int x, int y)
{
    if (m_parent && !IsDisabled()) m_parent->OnLButtonDown(flags, x, y);
}

int YWindow::OnLButtonDblClk(int flags, int x, int y)
{
    if (m_parent && !IsDisabled()) return m_parent->OnLButtonDblClk(flags, x, y);
    return 0;
}

void YWindow::OnRButtonDown(int flags, int x, int y)
{
    if (m_parent && !IsDisabled()) m_parent->OnRButtonDown(flags, x, y);
}

void YWindow::OnLButtonUp(int flags, int x, int y)
{
    if (!m_parent || IsDisabled()) return;
    m_parent->OnLButtonUp(flags, x, y);
    m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), static_cast<LPARAM>(kNotifyClicked));
}

void YWindow::OnRButtonUp(int flags, int x, int y)
{
    if (!m_parent || IsDisabled()) return;
    m_parent->OnRButtonUp(flags, x, y);
    m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), static_cast<LPARAM>(kNotifyRightClicked));
}

void YWindow::OnKeyDown(int key, int repeat, int keyFlags)
{
    if (m_parent && !IsDisabled()) m_parent->OnKeyDown(key, repeat, keyFlags);
}

void YWindow::OnNotify(int id, int code)
{
    if (m_parent) m_parent->OnNotify(id, code);
}

int YWindow::OnChar(int ch, int repeat, int keyFlags)
{
    if (m_parent && !IsDisabled()) return m_parent->OnChar(ch, repeat, keyFlags);
    return 0;
}

void YWindow::OnTimer(int id)
{
    if (m_parent) m_parent->OnTimer(id);
}

void YWindow::OnNcMouseMove(int, int, int) {}

void YWindow::OnMouseWheel(int keys, int delta, int x, int y)
{
    if (m_parent) m_parent->OnMouseWheel(keys, delta, x, y);
}

void YWindow::OnNextDlgCtl(bool, YWindow*) {}

// ------------------------------------------------------------------ resources

YResource* YWindow::GetResourceAt(int index) const
{
    return index >= 0 && index < GetResourceCount() ? m_dependents->GetAt(index) : nullptr;
}

void YWindow::AddResource(YResource* resource, bool widen)
{
    SetResourceAt(GetResourceCount(), resource, widen);
}

void YWindow::SetResourceAt(int index, YResource* resource, bool widen)
{
    if (index < 0) return;
    if (widen && resource) {
        m_rect.right = Clamped(static_cast<long long>(m_rect.left) + resource->GetWidth());
        m_rect.bottom = Clamped(static_cast<long long>(m_rect.top) + resource->GetHeight());
    }
    if (index >= GetResourceCount()) m_dependents->SetSize(index + 1);
    m_dependents->SetAt(index, resource);
}

void YWindow::AddResourceName(const char* name) { m_resourceNames.AddTail(name ? name : ""); }

void YWindow::SetResourceNameAt(int index, const CString& name)
{
    if (index < 0) return;
    while (m_resourceNames.GetCount() < index + 1) m_resourceNames.AddTail("");
    m_resourceNames.SetAt(m_resourceNames.FindIndex(index), name);
}

int YWindow::RemoveReference(YResource* resource)
{
    YResource::RemoveReference(resource);
    for (POSITION at = m_children->GetHeadPosition(); at;) ChildAt(at, m_children)->RemoveReference(resource);
    return 1;
}

YResource* YWindow::LoadResourceFile(const CString& base, const CString& path)
{
    try {
        YResourceFactory factory;
        return factory.CreateAndLoad(TypeOfFile(path), base, path);
    } catch (CFileException* e) {
        delete YResourceFactory::GetLoadingResource();
        YResourceFactory::ClearLoadingResource();
        CString message;
        message.Format("Failed to load file %s!", (const char*)e->m_strFileName);
        e->Delete();
        AfxMessageBox(message);
        return nullptr;
    }
}

int YWindow::LoadFromCatalog(const char* directory, int flag)
{
    if (m_resourcesLoaded) return 1;
    int result = 1;
    const CString folder = directory ? directory : "";
    for (POSITION at = m_resourceNames.GetHeadPosition(); at;) {
        const CString name = m_resourceNames.GetNext(at);
        if (IsCatalogName(name)) {
            if (!s_catalog) {
                CString message;
                message.Format("No catalog to load %s!", (const char*)name);
                AfxMessageBox(message);
                result = 0;
            } else if (YResource* resource = s_catalog->GetResource(kCatalogTypeAny, name.Mid(3), 0)) {
                m_dependents->Add(resource);
            }
        } else if (YResource* resource = LoadResourceFile(CatalogBasePath(), JoinPath(folder, name))) {
            m_dependents->Add(resource);
        }
    }
    for (POSITION at = m_children->GetHeadPosition(); at;)
        result &= ChildAt(at, m_children)->LoadFromCatalog(directory, flag);
    m_resourcesLoaded = 1;
    return result;
}

int YWindow::LoadFromFile(const CStringArray& directories, int flag)
{
    if (m_resourcesLoaded) return 1;
    int result = 1;
    for (POSITION at = m_resourceNames.GetHeadPosition(); at;) {
        const CString name = m_resourceNames.GetNext(at);
        if (IsCatalogName(name)) {
            if (!s_catalog) {
                CString message;
                message.Format("No catalog to load %s!", (const char*)name);
                AfxMessageBox(message);
                result = 0;
            } else if (YResource* resource = s_catalog->GetResource(kCatalogTypeAny, name.Mid(3), 0)) {
                m_dependents->Add(resource);
            }
            continue;
        }
        bool found = false;
        for (int i = 0; i < directories.GetSize() && !found; ++i) {
            const CString path = JoinPath(directories[i], name);
            CFileFind finder;
            if (!finder.FindFile(path)) continue;
            found = true;
            if (YResource* resource = LoadResourceFile(FileBasePath(), path)) m_dependents->Add(resource);
        }
        if (!found) result = 0;
    }
    if (result)
        for (POSITION at = m_children->GetHeadPosition(); at;)
            result &= ChildAt(at, m_children)->LoadFromFile(directories, flag);
    m_resourcesLoaded = 1;
    return result;
}

int YWindow::HandBackNamedResources()
{
    const int named = std::min(static_cast<int>(m_resourceNames.GetCount()), GetResourceCount());
    if (!m_releaseThroughCatalog) return named;
    for (int i = 0; i < named; ++i) {
        YResource* resource = m_dependents->GetAt(i);
        if (!resource) continue;
        if (resource == m_font) SetFont(nullptr);
        if (s_catalog && !s_catalog->ReleaseResource(resource)) delete resource;
    }
    return named;
}

YWindow* YWindow::Release()
{
    HandBackNamedResources();
    m_resourcesLoaded = 0;
    m_dependents->RemoveAll();
    return SetParent(nullptr);
}

int YWindow::DrawResource(YDC* dc, const RECT* where, int index)
{
    if (!dc || index < 0 || index >= GetResourceCount()) return 0;
    YResource* resource = m_dependents->GetAt(index);
    YDC* source = m_privateSource ? m_privateSource : s_defaultSource;
    if (source) dc->DrawFromSource(where, resource, source, 0);
    else dc->DrawResource(where, resource, 0, 0);
    return 1;
}

bool YWindow::PackOne(YDC* source, YResource* resource, int maxWidth, int maxHeight, POINT& at, int& rowBottom)
{
    const int w = resource->GetWidth(), h = resource->GetHeight();
    RECT r = {at.x, at.y, at.x + w, at.y + h};
    if (r.left + w >= maxWidth) {
        r = RECT{0, rowBottom + 1, w, rowBottom + 1 + h};
        if (r.bottom > maxHeight) return false;
    }
    if (r.bottom > rowBottom) rowBottom = r.bottom;
    source->DrawResource(&r, resource, 0, 0);
    resource->SetBounds(r);
    at = POINT{r.right, r.top};
    return true;
}

int YWindow::DrawResources(YDC* source, int maxWidth, int maxHeight, POINT* cursor)
{
    if (!source) return 0;
    if (cursor && cursor->x == 0 && cursor->y == 0) PackedList().RemoveAll();
    const int count = GetResourceCount();
    if (m_privateSourceOn && m_children->IsEmpty()) {
        delete m_privateSource;
        m_privateSource = nullptr;
        int width = 640, height = 480;
        YResource* first = count > 0 ? m_dependents->GetAt(0) : nullptr;
        if (first) {
            // k to a row; the last row counts even when it is not full.
            const int k = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
            width = first->GetWidth() * k + 10;
            height = first->GetHeight() * ((count + k - 1) / k) + 10;
        }
        m_privateSource = source->CreateSource(width, height);
        if (!m_privateSource) return 1;
        POINT at = {0, 0};
        int rowBottom = 0;
        for (int i = 0; i < count; ++i) {
            YResource* resource = m_dependents->GetAt(i);
            if (resource && !PackOne(m_privateSource, resource, width, height, at, rowBottom)) break;
        }
        return 1;
    }
    for (POSITION at = m_children->GetHeadPosition(); at;)
        if (!ChildAt(at, m_children)->DrawResources(source, maxWidth, maxHeight, cursor)) return 0;
    POINT dummy = {0, 0};
    POINT& at = cursor ? *cursor : dummy;
    for (int i = 0; i < count; ++i) {
        YResource* resource = m_dependents->GetAt(i);
        if (!resource || PackedList().Find(resource)) continue;
        if (!PackOne(source, resource, maxWidth, maxHeight, at, s_shelfBottom)) return 0;
        PackedList().AddTail(resource);
    }
    return 1;
}

// ------------------------------------------------------------------ copy and archive

YResource* YWindow::CopyTo(YResource* target)
{
    if (!target) target = new YWindow;
    else if (!target->IsKindOf(RUNTIME_CLASS(YWindow))) return nullptr;
    YWindow* window = static_cast<YWindow*>(target);
    YResource::CopyTo(window);
    window->m_rect = m_rect;
    window->m_style = m_style;
    window->m_text = m_text;
    window->m_clickSound = m_clickSound;
    window->m_windowId = m_windowId;
    window->m_reserved2 = m_reserved2;
    window->m_releaseThroughCatalog = m_releaseThroughCatalog;
    window->m_dependents->RemoveAll();
    if (!m_resourceNames.IsEmpty()) {
        window->m_resourceNames.RemoveAll();
        window->m_resourceNames.AddTail(&m_resourceNames);
        for (int i = 0; i < GetResourceCount(); ++i) {
            YResource* resource = m_dependents->GetAt(i);
            window->m_dependents->Add(resource ? resource->CopyTo(nullptr) : nullptr);
        }
    } else {
        for (int i = 0; i < GetResourceCount(); ++i) window->m_dependents->Add(m_dependents->GetAt(i));
    }
    return window;
}

void YWindow::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_rect.left) << static_cast<LONG>(m_rect.top) << static_cast<LONG>(m_rect.right)
           << static_cast<LONG>(m_rect.bottom);
        ar << static_cast<DWORD>(m_style);
        ar << m_text;
        ar << static_cast<DWORD>(m_windowId);
        // A version-3 description has no private-source word.
        if (m_version > 3) ar << static_cast<DWORD>(m_privateSourceOn ? 1 : 0);
    } else {
        LONG l, t, r, b;
        DWORD style, id;
        ar >> l >> t >> r >> b;
        m_rect = RECT{l, t, r, b};
        ar >> style;
        m_style = static_cast<int32_t>(style);
        ar >> m_text;
        ar >> id;
        m_windowId = static_cast<int32_t>(id);
        if (m_version > 3) {
            DWORD privateSource;
            ar >> privateSource;
            m_privateSourceOn = privateSource ? 1 : 0;
        }
        m_created = 1;
        m_archivedVersion = m_version;
    }
    if (ar.IsStoring()) {
        m_children->Serialize(ar);
    } else {
        // Each child is a new window that this one alone owns: a null, any
        // other class or a back-reference to an object read before (this
        // window, an ancestor, another window's child) fails the load.  What
        // was read before the failure hangs in the tree and goes with it.
        ReadDepthScope depth;
        DWORD count = ar.ReadCount();
        if (count > 0 && g_readDepth >= kMaxArchiveDepth)
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
        for (DWORD i = 0; i < count; ++i) {
            // Another class is refused before anything of it is made.
            CObject* object = ar.ReadOwnedObject(RUNTIME_CLASS(YWindow));
            if (!object) AfxThrowArchiveException(CArchiveException::badClass);
            YWindow* child = static_cast<YWindow*>(object);
            child->m_parent = this;
            m_children->AddTail(child);
        }
    }
    m_resourceNames.Serialize(ar);
    m_version = kVersion;
}

int YWindow::LoadAlways(const CStringArray* directories, const char* directory, int flag)
{
    // What an earlier load got for the names goes back first, so that the
    // names load into their places again; resources past them stay last.
    const int named = HandBackNamedResources();
    CObArray others;
    for (int i = named; i < GetResourceCount(); ++i) others.Add(m_dependents->GetAt(i));
    m_dependents->RemoveAll();
    const uint8_t loaded = m_resourcesLoaded;
    m_resourcesLoaded = 0;
    const int result = directories ? YWindow::LoadFromFile(*directories, flag) : YWindow::LoadFromCatalog(directory, flag);
    m_resourcesLoaded = loaded;
    for (int i = 0; i < others.GetSize(); ++i) m_dependents->Add(static_cast<YResource*>(others[i]));
    return result;
}

int YWindow::LoadOwnTakingFont(const CStringArray* directories, const char* directory, int flag)
{
    const int result = LoadAlways(directories, directory, flag);
    if (!m_font) {
        YFont* found = nullptr;
        for (int i = 0; i < GetResourceCount(); ++i)
            if (YFont* font = dynamic_cast<YFont*>(GetResourceAt(i))) found = font;
        if (found) SetFont(found);
    }
    return result;
}

long long YWindow::MulDivWide(long long number, long long numerator, long long denominator)
{
    if (denominator == 0) return 0;
    const __int128 product = static_cast<__int128>(number) * numerator;
    const __int128 magnitude = product < 0 ? -product : product;
    const __int128 divisor = denominator < 0 ? -static_cast<__int128>(denominator) : denominator;
    __int128 result = (magnitude + divisor / 2) / divisor;
    if ((product < 0) != (denominator < 0)) result = -result;
    // Held well inside 64 bits, so that coordinates can still be added.
    const long long limit = 1LL << 62;
    if (result > limit) return limit;
    if (result < -limit) return -limit;
    return static_cast<long long>(result);
}
