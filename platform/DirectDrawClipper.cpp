#include "platform/DirectDrawClipper.h"

#include "platform/DirectDrawObject.h"

namespace platform {
DirectDrawClipper::DirectDrawClipper(DirectDrawObject* owner) : m_owner(owner)
{
    if (m_owner) m_owner->AddRef();
    ++DirectDrawObject::LiveCounter();
}

DirectDrawClipper::~DirectDrawClipper()
{
    --DirectDrawObject::LiveCounter();
    if (m_owner) m_owner->Release();
}

HRESULT DirectDrawClipper::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDrawClipper)) {
        AddRef();
        *object = static_cast<IDirectDrawClipper*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG DirectDrawClipper::AddRef()
{
    return ++m_refs;
}

ULONG DirectDrawClipper::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

HRESULT DirectDrawClipper::GetClipList(LPRECT rect, LPRGNDATA data, LPDWORD size)
{
    if (!size) return DDERR_INVALIDPARAMS;
    std::vector<RECT> rects;
    if (m_window) {
        RECT client = {0, 0, 640, 480};
        rects.push_back(client);
    } else if (m_hasList) {
        rects = m_rects;
    } else {
        return DDERR_NOCLIPLIST;
    }
    if (rect) {
        std::vector<RECT> inside;
        for (const RECT& r : rects) {
            RECT part;
            if (IntersectRect(&part, &r, rect)) inside.push_back(part);
        }
        rects.swap(inside);
    }
    DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!data) {
        *size = needed;
        return DD_OK;
    }
    if (*size < needed) {
        *size = needed;
        return DDERR_REGIONTOOSMALL;
    }
    RECT bounds = {0, 0, 0, 0};
    if (m_hasList && !m_window && !rect) bounds = m_bounds;
    else
        for (const RECT& r : rects) UnionRect(&bounds, &bounds, &r);
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    data->rdh.rcBound = bounds;
    if (!rects.empty()) memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return DD_OK;
}

HRESULT DirectDrawClipper::GetHWnd(HWND* window)
{
    if (!window) return DDERR_INVALIDPARAMS;
    *window = m_window;
    return DD_OK;
}

HRESULT DirectDrawClipper::IsClipListChanged(BOOL* changed)
{
    if (!changed) return DDERR_INVALIDPARAMS;
    *changed = FALSE;
    return DD_OK;
}

HRESULT DirectDrawClipper::SetClipList(LPRGNDATA data, DWORD flags)
{
    if (flags) return DDERR_INVALIDPARAMS;
    if (m_window) return DDERR_CLIPPERISUSINGHWND;
    if (!data) {
        m_hasList = false;
        m_rects.clear();
        return DD_OK;
    }
    if (data->rdh.dwSize != sizeof(RGNDATAHEADER) || data->rdh.iType != RDH_RECTANGLES)
        return DDERR_INVALIDCLIPLIST;
    m_bounds = data->rdh.rcBound;
    m_rects.resize(data->rdh.nCount);
    if (data->rdh.nCount) memcpy(m_rects.data(), data->Buffer, data->rdh.nCount * sizeof(RECT));
    m_hasList = true;
    return DD_OK;
}

HRESULT DirectDrawClipper::SetHWnd(DWORD flags, HWND window)
{
    if (flags) return DDERR_INVALIDPARAMS;
    m_window = window;
    return DD_OK;
}

bool DirectDrawClipper::Rects(int width, int height, std::vector<RECT>& out) const
{
    out.clear();
    if (m_window) {
        RECT whole = {0, 0, width, height};
        out.push_back(whole);
        return true;
    }
    if (!m_hasList) return false;
    out = m_rects;
    return true;
}
}  // namespace platform
