#include "gui/YInterfaceMgr.h"

#include <cstring>
#include <vector>

#include "assets3d/YTexLock.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"
#include "gui/YLayoutResSet.h"
#include "renderer/YParser.h"

IMPLEMENT_DYNAMIC(YActiveLayout, CObject)
IMPLEMENT_DYNAMIC(YTextureLayout, YActiveLayout)
IMPLEMENT_DYNAMIC(YInterfaceMgr, YWindow)

namespace {
template <class T>
T* At(POSITION& at, const CObList& list)
{
    return static_cast<T*>(list.GetNext(at));
}

template <class T>
std::vector<T*> Snapshot(const CObList& list)
{
    std::vector<T*> items;
    for (POSITION at = list.GetHeadPosition(); at;) items.push_back(At<T>(at, list));
    return items;
}

void RemoveEvery(CObList& list, const CObject* item)
{
    for (POSITION at = list.Find(const_cast<CObject*>(item)); at; at = list.Find(const_cast<CObject*>(item)))
        list.RemoveAt(at);
}
}  // namespace

YActiveLayout::YActiveLayout() : m_layout(nullptr), m_flags(0) {}

YActiveLayout::~YActiveLayout()
{
    delete m_layout;
    m_layout = nullptr;
}

YTextureLayout::YTextureLayout() : m_textureId(0), m_surface(nullptr) {}

YTextureLayout::~YTextureLayout()
{
    delete m_surface;
    m_surface = nullptr;
}

YInterfaceMgr::YInterfaceMgr(YInterfaceFactory* factory)
    : m_redrawAll(0), m_clientRect{0, 0, 640, 480}, m_messages(0), m_steps(0), m_factory(nullptr),
      m_sharedSet(nullptr), m_modalLayer(nullptr)
{
    m_clickSound = 0;
    m_drawBackground = 0;
    MoveTo(&m_clientRect);
    SetFactory(factory);
}

YInterfaceMgr::~YInterfaceMgr()
{
    m_modalLayer = nullptr;
    while (!m_screenLayers.IsEmpty()) CloseLayer(static_cast<YActiveLayout*>(m_screenLayers.GetHead()), true);
    while (!m_textureLayers.IsEmpty()) CloseLayer(static_cast<YActiveLayout*>(m_textureLayers.GetHead()), true);
    DeleteClosed();
    m_pendingOpens.RemoveAll();
}

YInterfaceFactory* YInterfaceMgr::SetFactory(YInterfaceFactory* factory)
{
    YInterfaceFactory* previous = m_factory;
    m_factory = factory;
    m_sharedSet = factory ? factory->GetResourceSet() : nullptr;
    return previous;
}

bool YInterfaceMgr::SameName(const CString& a, const char* b) { return a.CompareNoCase(b ? b : "") == 0; }

// ------------------------------------------------------------------ layers

void YInterfaceMgr::CloseLayer(YActiveLayout* record, bool force)
{
    if (!record) return;
    RemoveEvery(m_pendingOpens, record);
    RemoveEvery(m_screenLayers, record);
    RemoveEvery(m_textureLayers, record);
    if (m_modalLayer == record) m_modalLayer = nullptr;
    if (record->m_layout && (m_sharedSet || force)) {
        record->m_layout->OnClose();
        // The shared set's controls outlive the layout.
        record->m_layout->DetachChildren();
        record->m_layout->SetParent(nullptr);
    }
    if (!m_closed.Find(record)) m_closed.AddTail(record);
    m_redrawAll = 2;
}

void YInterfaceMgr::DeleteClosed()
{
    while (!m_closed.IsEmpty()) delete static_cast<YActiveLayout*>(m_closed.RemoveHead());
}

YActiveLayout* YInterfaceMgr::OpenLayer(CObList& layers, YActiveLayout* match, YActiveLayout* made, const char* script,
                                        int flags, const char* handler)
{
    YActiveLayout* record = match;
    if (record) {
        record->m_layout->OnClose();
    } else {
        YLayout* layout = m_factory ? m_factory->CreateLayout(handler) : nullptr;
        if (!layout) {
            delete made;
            return nullptr;
        }
        record = made;
        record->m_layout = layout;
        layout->SetResourceSet(m_sharedSet);
        layers.AddTail(record);
    }
    record->m_layout->m_visible = 1;
    record->m_layout->SetScript(script);
    record->m_handler = handler ? handler : "";
    record->m_flags = flags;
    s_hover = nullptr;
    if (!m_pendingOpens.Find(record)) m_pendingOpens.AddTail(record);
    m_redrawAll = 2;
    return record;
}

bool YInterfaceMgr::SetLayout(const char* layer, const char* script, int flags, const char* handler)
{
    // A layer needs a name.
    if (!layer || !*layer) return true;
    if (m_sharedSet) m_sharedSet->MarkAll(false);
    for (YActiveLayout* record : Snapshot<YActiveLayout>(m_screenLayers))
        if (record->m_layout) record->m_layout->ReloadAll();
    for (YActiveLayout* record : Snapshot<YActiveLayout>(m_textureLayers))
        if (record->m_layout) record->m_layout->ReloadAll();

    YActiveLayout* match = nullptr;
    for (YActiveLayout* record : Snapshot<YActiveLayout>(m_screenLayers)) {
        if (!SameName(record->m_layer, layer)) continue;
        if (SameName(record->m_handler, handler)) {
            match = record;
            break;
        }
        CloseLayer(record, false);
    }

    if (flags & LayoutShow) {
        YActiveLayout* record =
            OpenLayer(m_screenLayers, match, match ? nullptr : new YActiveLayout, script, flags, handler);
        if (!record) return true;
        record->m_layout->SetParent(this);
        record->m_layer = layer ? layer : "";
        if (flags & LayoutModal) m_modalLayer = record;
    } else if (match) {
        CloseLayer(match, false);
    }
    return true;
}

bool YInterfaceMgr::SetTextureLayout(int32_t textureId, const char* script, int flags, const char* handler)
{
    if (m_sharedSet) m_sharedSet->MarkAll(false);
    for (YActiveLayout* record : Snapshot<YActiveLayout>(m_screenLayers))
        if (record->m_layout) record->m_layout->ReloadAll();
    for (YActiveLayout* record : Snapshot<YActiveLayout>(m_textureLayers))
        if (record->m_layout) record->m_layout->ReloadAll();

    YTextureLayout* match = nullptr;
    for (YTextureLayout* record : Snapshot<YTextureLayout>(m_textureLayers)) {
        if (record->m_textureId != textureId) continue;
        if (SameName(record->m_handler, handler)) {
            match = record;
            break;
        }
        CloseLayer(record, false);
    }

    if (flags & LayoutShow) {
        YTextureLayout* made = match ? nullptr : new YTextureLayout;
        if (made) made->m_textureId = textureId;
        OpenLayer(m_textureLayers, match, made, script, flags, handler);
    } else if (match) {
        CloseLayer(match, false);
    }
    return true;
}

bool YInterfaceMgr::MoveLayout(const char* layer, bool toFront)
{
    YActiveLayout* record = FindLayout(layer);
    if (!record) return false;
    m_screenLayers.RemoveAt(m_screenLayers.Find(record));
    if (toFront) m_screenLayers.AddTail(record);
    else m_screenLayers.AddHead(record);
    if (YLayout* layout = record->m_layout) {
        if (POSITION at = m_children->Find(layout)) {
            m_children->RemoveAt(at);
            if (toFront) m_children->AddTail(layout);
            else m_children->AddHead(layout);
        }
    }
    m_redrawAll = 2;
    return true;
}

YActiveLayout* YInterfaceMgr::FindLayout(const char* layer) const
{
    if (!layer) return nullptr;
    for (POSITION at = m_screenLayers.GetHeadPosition(); at;) {
        YActiveLayout* record = At<YActiveLayout>(at, m_screenLayers);
        if (SameName(record->m_layer, layer)) return record;
    }
    return nullptr;
}

YTextureLayout* YInterfaceMgr::FindTextureLayout(int32_t textureId) const
{
    for (POSITION at = m_textureLayers.GetHeadPosition(); at;) {
        YTextureLayout* record = At<YTextureLayout>(at, m_textureLayers);
        if (record->m_textureId == textureId) return record;
    }
    return nullptr;
}

// ------------------------------------------------------------------ frame

bool YInterfaceMgr::IsLayerLayout(const YWindow* window) const
{
    for (POSITION at = m_screenLayers.GetHeadPosition(); at;)
        if (At<YActiveLayout>(at, m_screenLayers)->m_layout == window) return true;
    return false;
}

void YInterfaceMgr::Step()
{
    ++m_steps;
    DeleteClosed();
    for (YActiveLayout* record : Snapshot<YActiveLayout>(m_screenLayers)) {
        // A layout's step may close a layer: skip what is gone.
        if (!m_screenLayers.Find(record) || !record->m_layout) continue;
        record->m_layout->OnStep();
    }
}

int YInterfaceMgr::Draw(YDC* dc)
{
    RenderTextureLayers(nullptr);
    bool anyShown = false;
    for (POSITION at = m_screenLayers.GetHeadPosition(); at && !anyShown;) {
        YActiveLayout* record = At<YActiveLayout>(at, m_screenLayers);
        anyShown = record->m_layout && record->m_layout->m_visible;
    }
    YDXSurface* target = dc ? dc->GetSurface() : nullptr;
    if (!anyShown && target) {
        RECT whole = {0, 0, static_cast<LONG>(target->GetWidth()), static_cast<LONG>(target->GetHeight())};
        // Black itself: Clear would take 0 for the colour key.
        DDBLTFX fx;
        memset(&fx, 0, sizeof fx);
        fx.dwSize = sizeof fx;
        if (target->GetSurface())
            target->GetSurface()->Blt(&whole, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    int result = 0;
    if (m_visible && dc) {
        // The screen layers' layouts in child order, over a copy: a layout
        // may close a layer while drawn.  Other windows hung here (the
        // console) draw after them, above every layer.
        const std::vector<YWindow*> children = Snapshot<YWindow>(*m_children);
        for (YWindow* child : children)
            if (m_children->Find(child) && IsLayerLayout(child)) child->Draw(dc);
        for (YWindow* child : children)
            if (m_children->Find(child) && !IsLayerLayout(child)) child->Draw(dc);
        m_lastDC = dc;
    }
    if (m_debugTextures) RenderTextureLayers(dc);
    if (m_sharedSet && !m_sharedSet->IsClean()) m_sharedSet->PurgeUnused();
    if (!m_sharedSet || m_sharedSet->IsClean()) {
        std::vector<YActiveLayout*> opened = Snapshot<YActiveLayout>(m_pendingOpens);
        m_pendingOpens.RemoveAll();
        for (YActiveLayout* record : opened)
            if (!m_closed.Find(record) && record->m_layout) record->m_layout->OnOpen();
    }
    m_redrawAll = 0;
    return result;
}

void YInterfaceMgr::RenderTextureLayers(YDC* target)
{
    YParser* scene = m_factory ? m_factory->GetScene() : nullptr;
    if (!scene) return;
    YSurfaceDC context;
    int x = 0;
    for (YTextureLayout* record : Snapshot<YTextureLayout>(m_textureLayers)) {
        YLayout* layout = record->m_layout;
        if (!record->m_surface && layout) {
            YTexLock* texture = scene->GetTexture(static_cast<int16_t>(record->m_textureId));
            YDXDraw* display = layout->GetDisplay();
            if (texture && display && texture->GetWidth() > 0 && texture->GetHeight() > 0) {
                YDXSurface* surface = new YDXSurface("Texture layout");
                if (surface->CreateSurface(display, static_cast<DWORD>(texture->GetWidth()),
                                           static_cast<DWORD>(texture->GetHeight()), DDSCAPS_SYSTEMMEMORY, nullptr, 0,
                                           nullptr)) {
                    record->m_surface = surface;
                    RECT rect = {0, 0, texture->GetWidth(), texture->GetHeight()};
                    layout->MoveTo(&rect);
                } else {
                    delete surface;
                }
            }
        }
        if (!record->m_surface || !layout) continue;
        context.SetSurface(record->m_surface);
        layout->Draw(&context);
        scene->BlitSurfaceToTexture(record->m_surface->GetSurface(), static_cast<int16_t>(record->m_textureId));
        if (target) {
            target->BltSurface(record->m_surface, x, 0);
            x += static_cast<int>(record->m_surface->GetWidth());
        }
    }
    context.SetSurface(nullptr);
}

// ------------------------------------------------------------------ messages

void YInterfaceMgr::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    ++m_messages;
    HandleMessage(message, wParam, lParam);
}

int YInterfaceMgr::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_modalLayer && m_modalLayer->m_layout) return m_modalLayer->m_layout->HandleMessage(message, wParam, lParam);
    return YWindow::HandleMessage(message, wParam, lParam);
}

void YInterfaceMgr::OnNotify(int id, int code)
{
    YWindow::OnNotify(id, code);
    if (!m_factory) return;
    if (code == kNotifyClicked) {
        YWindow* child = FindChildById(id);
        if (child && child->m_clickSound) m_factory->PlaySound(0);
    } else if (code == kNotifyHover) {
        if (FindChildById(id)) m_factory->PlaySound(1);
    }
}

YWindow* YInterfaceMgr::ChildFromPoint(int x, int y, int flags)
{
    if (!m_visible) return nullptr;
    std::vector<YWindow*> children = Snapshot<YWindow>(*m_children);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (m_children->Find(*it))
            if (YWindow* hit = (*it)->ChildFromPoint(x, y, flags)) return hit;
    POINT point = {x, y};
    return PtInRect(&m_rect, point) ? this : nullptr;
}

// ------------------------------------------------------------------ display

BOOL YInterfaceMgr::ReleaseSurfaces()
{
    BOOL result = m_sharedSet ? m_sharedSet->ReleaseSurfaces() : TRUE;
    for (const CObList* layers : {&m_screenLayers, &m_textureLayers})
        for (YActiveLayout* record : Snapshot<YActiveLayout>(*layers))
            if (record->m_layout) result &= record->m_layout->ReleaseSurfaces() ? TRUE : FALSE;
    for (YTextureLayout* record : Snapshot<YTextureLayout>(m_textureLayers)) {
        delete record->m_surface;
        record->m_surface = nullptr;
    }
    for (const CObList* layers : {&m_screenLayers, &m_textureLayers})
        for (YActiveLayout* record : Snapshot<YActiveLayout>(*layers))
            if (record->m_layout) record->m_layout->ReloadAll();
    return result;
}

BOOL YInterfaceMgr::RestoreSurfaces(YDXDraw* display)
{
    BOOL result = m_sharedSet ? m_sharedSet->RestoreSurfaces(display) : TRUE;
    for (const CObList* layers : {&m_screenLayers, &m_textureLayers})
        for (YActiveLayout* record : Snapshot<YActiveLayout>(*layers))
            if (record->m_layout && record->m_layout->OwnsResourceSet())
                result &= record->m_layout->GetResourceSet()->RestoreSurfaces(display) ? TRUE : FALSE;
    Refresh();
    return result;
}

void YInterfaceMgr::SetClientRect(int left, int top, int right, int bottom)
{
    SetRect(&m_clientRect, left, top, right, bottom);
    MoveTo(&m_clientRect);
    m_redrawAll = 2;
}

int YInterfaceMgr::Refresh()
{
    m_redrawAll = 2;
    return 1;
}
