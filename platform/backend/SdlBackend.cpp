#include "platform/backend/SdlBackend.h"

#include "platform/backend/KeyTable.h"

#include "platform/backend/Environment.h"

#include <SDL.h>

#include <cstdio>

namespace platform {
SdlBackend::~SdlBackend()
{
    CloseWindow();
    if (m_videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlBackend::StartVideo() const
{
    if (!m_videoStarted) m_videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return m_videoStarted;
}

bool SdlBackend::OpenWindow(const char* title, int width, int height, bool fullScreen)
{
    if (m_window) CloseWindow();
    if (!StartVideo()) return false;
    m_width = width;
    m_height = height;
    m_window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                SDL_WINDOW_SHOWN);
    if (!m_window) return false;
    m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (!m_renderer) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    if (!m_renderer) {
        CloseWindow();
        return false;
    }
    if (fullScreen) SetFullScreen(true, width, height);
    return true;
}

void SdlBackend::CloseWindow()
{
    if (m_texture) SDL_DestroyTexture(m_texture);
    if (m_renderer) SDL_DestroyRenderer(m_renderer);
    if (m_window) SDL_DestroyWindow(m_window);
    m_texture = nullptr;
    m_renderer = nullptr;
    m_window = nullptr;
    m_textureWidth = m_textureHeight = 0;
    m_fullScreen = false;
}

bool SdlBackend::SetFullScreen(bool fullScreen, int width, int height)
{
    if (width > 0 && height > 0) {
        m_width = width;
        m_height = height;
    }
    m_fullScreen = fullScreen;
    if (!m_window) return true;
    if (SDL_SetWindowFullscreen(m_window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    if (!fullScreen) SDL_SetWindowSize(m_window, m_width, m_height);
    SDL_RenderSetLogicalSize(m_renderer, m_width, m_height);
    return true;
}

bool SdlBackend::MakeTexture(int width, int height)
{
    if (m_texture && m_textureWidth == width && m_textureHeight == height) return true;
    if (m_texture) SDL_DestroyTexture(m_texture);
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    m_textureWidth = m_texture ? width : 0;
    m_textureHeight = m_texture ? height : 0;
    return m_texture != nullptr;
}

void SdlBackend::Present(const uint32_t* pixels, int width, int height, int pitch)
{
    if (!m_window || !pixels || width <= 0 || height <= 0) return;
    if (!MakeTexture(width, height)) return;
    SDL_UpdateTexture(m_texture, nullptr, pixels, pitch * 4);
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
    SDL_RenderPresent(m_renderer);
    SDL_PumpEvents();
    ++m_presented;
    FramePresented();
}

int SdlBackend::DesktopBitsPerPixel() const
{
    if (Environment::Forced("bpp8")) return 8;
    SDL_DisplayMode mode;
    if (!StartVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 32;
    int bits = SDL_BYTESPERPIXEL(mode.format) * 8;
    return bits == 24 ? 24 : (bits >= 32 ? 32 : bits);
}

namespace {
bool TranslateKey(SDL_Scancode code, BackendEvent& event)
{
    return KeyCodesFromScancode(static_cast<int>(code), event.key, event.scanCode);
}

int TranslateButton(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    default: return 0;
    }
}
}  // namespace

bool SdlBackend::PollEvent(BackendEvent& event)
{
    if (Backend::PollEvent(event)) return true;
    if (!m_videoStarted) return false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        event = BackendEvent();
        switch (e.type) {
        case SDL_QUIT: event.kind = BackendEvent::Close; return true;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) event.kind = BackendEvent::Close;
            else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) event.kind = BackendEvent::FocusGained;
            else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) event.kind = BackendEvent::FocusLost;
            else break;
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (!TranslateKey(e.key.keysym.scancode, event)) break;
            event.kind = e.type == SDL_KEYDOWN ? BackendEvent::KeyDown : BackendEvent::KeyUp;
            event.repeat = e.key.repeat ? 1 : 0;
            return true;
        case SDL_TEXTINPUT:
            if (static_cast<unsigned char>(e.text.text[0]) >= 0x80 || !e.text.text[0]) break;
            event.kind = BackendEvent::Text;
            event.text[0] = e.text.text[0];
            return true;
        case SDL_MOUSEMOTION:
            event.kind = BackendEvent::MouseMove;
            event.x = e.motion.x;
            event.y = e.motion.y;
            event.dx = e.motion.xrel;
            event.dy = e.motion.yrel;
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            event.button = TranslateButton(e.button.button);
            if (!event.button) break;
            event.kind = e.type == SDL_MOUSEBUTTONDOWN ? BackendEvent::MouseDown : BackendEvent::MouseUp;
            event.x = e.button.x;
            event.y = e.button.y;
            return true;
        case SDL_MOUSEWHEEL:
            event.kind = BackendEvent::Wheel;
            event.wheel = e.wheel.y * 120;
            SDL_GetMouseState(&event.x, &event.y);
            return true;
        default: break;
        }
    }
    return false;
}

bool SdlBackend::WaitEvent(int milliseconds)
{
    if (Backend::WaitEvent(milliseconds)) return true;
    if (!m_videoStarted) return false;
    return SDL_WaitEventTimeout(nullptr, milliseconds) != 0;
}

void SdlBackend::SetTitle(const char* title)
{
    if (m_window) SDL_SetWindowTitle(m_window, title ? title : "");
}

void SdlBackend::SetIcon(const uint32_t* pixels, int width, int height)
{
    if (!m_window || !pixels) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(m_window, icon);
    SDL_FreeSurface(icon);
}

void SdlBackend::SetWindowSize(int width, int height)
{
    m_width = width;
    m_height = height;
    if (m_window && !m_fullScreen) SDL_SetWindowSize(m_window, width, height);
}

void SdlBackend::ShowMessageBox(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s\n", text ? text : "");
    if (StartVideo()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption ? caption : "", text ? text : "", m_window);
}

void SdlBackend::ConfineMouse(bool confine)
{
    if (m_window) SDL_SetWindowGrab(m_window, confine ? SDL_TRUE : SDL_FALSE);
}

int SdlBackend::DesktopWidth() const
{
    return m_width;
}

int SdlBackend::DesktopHeight() const
{
    return m_height;
}
}  // namespace platform
