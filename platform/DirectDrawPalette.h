// Our IDirectDrawPalette: 256 entries for 8-bit surfaces.
#pragma once

#include "platform/ddraw.h"

namespace platform {
class DirectDrawObject;

class DirectDrawPalette : public IDirectDrawPalette {
public:
    DirectDrawPalette(DirectDrawObject* owner, DWORD caps, const PALETTEENTRY* entries);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetCaps(LPDWORD caps) override;
    HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) override;
    HRESULT Initialize(LPDIRECTDRAW7, DWORD, LPPALETTEENTRY) override { return DDERR_ALREADYINITIALIZED; }
    HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY entries) override;

    const PALETTEENTRY* Entries() const { return m_entries; }

private:
    ~DirectDrawPalette() override;

    ULONG m_refs = 1;
    DirectDrawObject* m_owner;
    DWORD m_caps;
    PALETTEENTRY m_entries[256];
};
}  // namespace platform
