#include "gui/YInterfaceMgr.h"

#include "gui/YWindow.h"

YInterfaceMgr::YInterfaceMgr(YInterfaceFactory* factory)
    : m_redrawAll(0), m_clientRect{0, 0, 640, 480}, m_messages(0), m_steps(0), m_factory(factory)
{
}

YInterfaceMgr::~YInterfaceMgr() = default;

YInterfaceFactory* YInterfaceMgr::SetFactory(YInterfaceFactory* factory)
{
    YInterfaceFactory* previous = m_factory;
    m_factory = factory;
    return previous;
}

void YInterfaceMgr::OnMessage(UINT, WPARAM, LPARAM)
{
    ++m_messages;
}

void YInterfaceMgr::Step()
{
    ++m_steps;
}

void YInterfaceMgr::Draw(HDC)
{
    m_redrawAll = 0;
}

void YInterfaceMgr::SetClientRect(int left, int top, int right, int bottom)
{
    SetRect(&m_clientRect, left, top, right, bottom);
    m_redrawAll = 2;
}

int YInterfaceMgr::Refresh()
{
    m_redrawAll = 2;
    return 1;
}

// The layers hold no surfaces of their own yet.
BOOL YInterfaceMgr::ReleaseSurfaces() { return TRUE; }

BOOL YInterfaceMgr::RestoreSurfaces(YDXDraw*)
{
    Refresh();
    return TRUE;
}

int YInterfaceMgr::PutLayout(int at, bool texture, const char* layer, int32_t textureId, const char* script, int flags,
                             const char* handler)
{
    if (!script && !(flags & LayoutShow)) {
        if (at < 0) return 0;
        m_layouts.erase(m_layouts.begin() + at);
        m_redrawAll = 2;
        return 1;
    }
    if (at < 0) {
        m_layouts.push_back(ActiveLayout{texture, layer ? layer : "", textureId, script ? script : "", flags, ""});
        at = static_cast<int>(m_layouts.size()) - 1;
    } else if (script) {
        m_layouts[at].script = script;
    }
    m_layouts[at].flags = flags;
    m_layouts[at].handler = handler ? handler : "";
    m_redrawAll = 2;
    return 1;
}

int YInterfaceMgr::SetLayout(const char* layer, const char* script, int flags, const char* handler)
{
    if (!layer || !*layer) return 0;
    const ActiveLayout* found = FindLayout(layer);
    int at = found ? static_cast<int>(found - m_layouts.data()) : -1;
    return PutLayout(at, false, layer, 0, script, flags, handler);
}

int YInterfaceMgr::SetTextureLayout(int32_t textureId, const char* script, int flags, const char* handler)
{
    const ActiveLayout* found = FindTextureLayout(textureId);
    int at = found ? static_cast<int>(found - m_layouts.data()) : -1;
    return PutLayout(at, true, "", textureId, script, flags, handler);
}

bool YInterfaceMgr::MoveLayout(const char* layer, bool toFront)
{
    const ActiveLayout* found = FindLayout(layer);
    if (!found) return false;
    size_t at = static_cast<size_t>(found - m_layouts.data());
    ActiveLayout moved = m_layouts[at];
    m_layouts.erase(m_layouts.begin() + at);
    if (toFront) m_layouts.push_back(moved);
    else m_layouts.insert(m_layouts.begin(), moved);
    m_redrawAll = 2;
    return true;
}

const YInterfaceMgr::ActiveLayout* YInterfaceMgr::FindLayout(const char* layer) const
{
    if (!layer || !*layer) return nullptr;
    for (const ActiveLayout& layout : m_layouts)
        if (!layout.texture && layout.layer.CompareNoCase(layer) == 0) return &layout;
    return nullptr;
}

const YInterfaceMgr::ActiveLayout* YInterfaceMgr::FindTextureLayout(int32_t textureId) const
{
    for (const ActiveLayout& layout : m_layouts)
        if (layout.texture && layout.textureId == textureId) return &layout;
    return nullptr;
}

YWindow* YInterfaceMgr::GetRootWindow()
{
    if (!m_rootWindow) {
        m_rootWindow.reset(new YWindow);
        RECT rect = m_clientRect;
        m_rootWindow->MoveTo(&rect);
    }
    return m_rootWindow.get();
}
