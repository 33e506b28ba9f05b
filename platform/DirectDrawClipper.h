// Our IDirectDrawClipper: a clip list of rectangles, or a window whose
// client area is the clip.
#pragma once

#include "platform/ddraw.h"

#include <vector>

namespace platform {
class DirectDrawObject;

class DirectDrawClipper : public IDirectDrawClipper {
public:
    explicit DirectDrawClipper(DirectDrawObject* owner);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetClipList(LPRECT rect, LPRGNDATA data, LPDWORD size) override;
    HRESULT GetHWnd(HWND* window) override;
    HRESULT Initialize(LPDIRECTDRAW7, DWORD) override { return DDERR_ALREADYINITIALIZED; }
    HRESULT IsClipListChanged(BOOL* changed) override;
    HRESULT SetClipList(LPRGNDATA data, DWORD flags) override;
    HRESULT SetHWnd(DWORD flags, HWND window) override;

    // The rectangles that clip a surface of width x height: the window's
    // client area (the whole surface here) or the clip list.
    bool Rects(int width, int height, std::vector<RECT>& out) const;

private:
    ~DirectDrawClipper() override;

    ULONG m_refs = 1;
    DirectDrawObject* m_owner;
    HWND m_window = nullptr;
    bool m_hasList = false;
    std::vector<RECT> m_rects;
    RECT m_bounds = {0, 0, 0, 0};  // as the clip list's header gave it
};
}  // namespace platform
