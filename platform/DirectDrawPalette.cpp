#include "platform/DirectDrawPalette.h"

#include "platform/DirectDrawObject.h"

namespace platform {
DirectDrawPalette::DirectDrawPalette(DirectDrawObject* owner, DWORD caps, const PALETTEENTRY* entries)
    : m_owner(owner), m_caps(caps)
{
    memcpy(m_entries, entries, sizeof m_entries);
    if (m_owner) m_owner->AddRef();
    ++DirectDrawObject::LiveCounter();
}

DirectDrawPalette::~DirectDrawPalette()
{
    --DirectDrawObject::LiveCounter();
    if (m_owner) m_owner->Release();
}

HRESULT DirectDrawPalette::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectDrawPalette)) {
        AddRef();
        *object = static_cast<IDirectDrawPalette*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG DirectDrawPalette::AddRef()
{
    return ++m_refs;
}

ULONG DirectDrawPalette::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

HRESULT DirectDrawPalette::GetCaps(LPDWORD caps)
{
    if (!caps) return DDERR_INVALIDPARAMS;
    *caps = m_caps;
    return DD_OK;
}

HRESULT DirectDrawPalette::GetEntries(DWORD, DWORD base, DWORD count, LPPALETTEENTRY entries)
{
    if (!entries || base > 256 || count > 256 - base) return DDERR_INVALIDPARAMS;
    memcpy(entries, m_entries + base, count * sizeof(PALETTEENTRY));
    return DD_OK;
}

HRESULT DirectDrawPalette::SetEntries(DWORD, DWORD start, DWORD count, LPPALETTEENTRY entries)
{
    if (!entries || start > 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
    memcpy(m_entries + start, entries, count * sizeof(PALETTEENTRY));
    return DD_OK;
}
}  // namespace platform
