#include "platform/backend/SdlBackend.h"

#include "platform/backend/Environment.h"

#include <SDL.h>

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
}

int SdlBackend::DesktopBitsPerPixel() const
{
    if (Environment::Forced("bpp8")) return 8;
    SDL_DisplayMode mode;
    if (!StartVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 32;
    int bits = SDL_BYTESPERPIXEL(mode.format) * 8;
    return bits == 24 ? 24 : (bits >= 32 ? 32 : bits);
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
