#include "renderer/YGraphics.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/YGameObjects.h"
#include "foundation/SaveDCBitmap.h"
#include "foundation/YCatalog.h"
#include "foundation/YConfigData.h"
#include "foundation/YGraphicsData.h"
#include "foundation/YResource.h"
#include "graphics2d/YDXClipper.h"
#include "graphics2d/YDXDrawDrivers.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YSurfaceDC.h"
#include "graphics2d/YSprite.h"
#include "gui/YInterfaceMgr.h"
#include "input/YInputObj.h"
#include "renderer/YD3D6Parser.h"
#include "sound/YSound.h"

IMPLEMENT_DYNAMIC(YGraphics, YDXDraw)

namespace {
const char* const kNoDirectDraw7 =
    "DirectDraw 7 isn't installed\nPlease Re-install Vantorra 4\nPress OK to Terminate this application.";
const int kFontType = 17;
// The interface font's colour: its caches are keyed on the colour its glyph pictures are drawn on.
const COLORREF kFontColour = 0x00FF00FF;
// The sound buffer list of the debug overlay: 8-point Times New Roman from
// (15, 21), 12 pixels a line, columns ending 20 pixels above the bottom.
const int kSoundListLeft = 15;
const int kSoundListTop = 21;
const int kSoundListPoints = 8;
const int kSoundListLine = 12;
const int kSoundListFoot = 20;
const int kSoundListGap = 10;
const int kSoundListBytes = 16384;

YDisplayDescriptor g_display;
YDeviceDescriptor g_device;

// The attached object as a resource: it is told about display changes.
YResource* AsResource(CObject* object)
{
    return dynamic_cast<YResource*>(object);
}

bool FileExists(const char* path)
{
    CFileFind find;
    bool found = find.FindFile(path) != FALSE;
    find.Close();
    return found;
}
}  // namespace

YGraphics::YGraphics()
    : m_started(0), m_fullScreen(0), m_modeArgument(1), m_hasDriver(0), m_primary(nullptr), m_back(nullptr),
      m_primaryClipper(nullptr), m_backClipper(nullptr), m_font(nullptr), m_attached(nullptr), m_cursorShown(1),
      m_width(640), m_height(480), m_lost(0), m_lastAppCursor(0)
{
    SetRectEmpty(&m_blitRect);
    SetRect(&m_modeRect, 0, 0, 640, 480);
    memset(&m_driver, 0, sizeof m_driver);
}

YGraphics::~YGraphics()
{
    ReleaseSurfaces();
    m_displayClients.RemoveAll();
    m_surfaceContexts.RemoveAll();
    delete m_attached;
    m_attached = nullptr;
    delete m_frameDC;
    m_frameDC = nullptr;
    SetFont("");
}

int YGraphics::CheckDirectDraw7()
{
    void* object = nullptr;
    HRESULT result = CoCreateInstance(CLSID_DirectDraw, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectDraw7, &object);
    if (FAILED(result) || !object) {
        YGameObjects::Instance()->MessageBox(kNoDirectDraw7, nullptr, MB_OK);
        return 0;
    }
    static_cast<IUnknown*>(object)->Release();
    return 1;
}

void YGraphics::ResetState()
{
    m_primary = m_back = nullptr;
    m_primaryClipper = m_backClipper = nullptr;
    m_width = 640;
    m_height = 480;
    SetRect(&m_modeRect, 0, 0, m_width, m_height);
}

// The GUID is copied: the driver list it came from may be rebuilt.
void YGraphics::SetDriver(const GUID* guid)
{
    m_hasDriver = guid ? 1 : 0;
    if (guid) m_driver = *guid;
    else memset(&m_driver, 0, sizeof m_driver);
}

int YGraphics::ReleaseSurfaces()
{
    if (YResource* attached = AsResource(m_attached)) attached->ReleaseSurfaces();
    if (m_font) m_font->ReleaseSurfaces();
    YGameObjects::Instance()->DestroyRenderer();
    delete m_primaryClipper;
    delete m_backClipper;
    m_primaryClipper = m_backClipper = nullptr;
    delete m_back;
    m_back = nullptr;
    delete m_primary;
    m_primary = nullptr;
    if (m_directDraw && !m_fullScreen) m_directDraw->SetCooperativeLevel(YGameObjects::Instance()->m_hWnd, DDSCL_NORMAL);
    int result = Cleanup();
    m_started = 0;
    return result;
}

int YGraphics::FailStart()
{
    ReleaseSurfaces();
    return 0;
}

void YGraphics::AddClient(YSurfaceDC* context)
{
    if (context && !m_surfaceContexts.Find(context)) m_surfaceContexts.AddTail(context);
}

void YGraphics::RemoveClient(YSurfaceDC* context)
{
    POSITION at = context ? m_surfaceContexts.Find(context) : nullptr;
    if (at) m_surfaceContexts.RemoveAt(at);
}

void YGraphics::AddDisplayClient(YResource* client)
{
    if (client && !m_displayClients.Find(client)) m_displayClients.AddTail(client);
}

void YGraphics::RemoveDisplayClient(YResource* client)
{
    POSITION at = client ? m_displayClients.Find(client) : nullptr;
    if (at) m_displayClients.RemoveAt(at);
}

void YGraphics::ReleaseClients()
{
    for (POSITION at = m_displayClients.GetHeadPosition(); at;) {
        YResource* client = AsResource(m_displayClients.GetNext(at));
        if (client) client->ReleaseSurfaces();
    }
    for (POSITION at = m_surfaceContexts.GetHeadPosition(); at;) {
        YSurfaceDC* context = m_surfaceContexts.GetNext(at);
        // A context on the back surface deletes it: it must not go twice.
        if (context->GetSurface() && context->GetSurface() == m_back) m_back = nullptr;
        context->ReleaseSurface();
    }
}

void YGraphics::RebuildClients()
{
    for (POSITION at = m_displayClients.GetHeadPosition(); at;) {
        YResource* client = AsResource(m_displayClients.GetNext(at));
        if (client) client->CreateSurfaces(this);
    }
    for (POSITION at = m_surfaceContexts.GetHeadPosition(); at;) m_surfaceContexts.GetNext(at)->Rebuild(this);
    if (YResource* attached = AsResource(m_attached)) attached->CreateSurfaces(this);
}

int YGraphics::StartDisplay()
{
    YGameObjects* engine = YGameObjects::Instance();
    SetRectEmpty(&m_blitRect);
    ReleaseClients();
    if (engine->m_interfaceMgr) engine->m_interfaceMgr->ReleaseSurfaces();
    ReleaseSurfaces();

    if (!m_fullScreen) {
        HDC screen = GetDC(nullptr);
        int bits = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
        if (bits < 15) m_fullScreen = 1;
    }
    m_modeArgument = m_fullScreen ? 16 : 1;
    engine->SetWindowStyle(m_fullScreen);

    int result = 0;
    GUID primaryDriver;
    memset(&primaryDriver, 0, sizeof primaryDriver);
    bool created = (m_hasDriver && Create(m_driver)) || Create(primaryDriver);
    HWND window = engine->m_hWnd;
    if (created) {
        result = 1;
        m_primary = new YDXSurface("Primary");
        m_back = new YDXSurface("Back");
        if (!m_fullScreen) {
            if (!SetMode(0, window)) result = 0;
            engine->ResizeWindow(m_width, m_height);
            if (result && !m_primary->CreatePrimarySurface(this, 1, 0)) result = 0;
            POINT origin = {0, 0};
            ClientToScreen(window, &origin);
            SetOrigin(origin.x, origin.y);
            RECT client = {0, 0, m_width, m_height};
            if (window) GetClientRect(window, &client);
            if (result && !m_back->CreateSurface(this, client.right, client.bottom, DDSCAPS_3DDEVICE, nullptr, 1,
                                                 nullptr))
                result = 0;
            if (result) {
                m_primaryClipper = new YDXClipper;
                m_primaryClipper->CreateClipper(this);
                m_primaryClipper->SetHwnd(window);
                m_primary->SetClipper(m_primaryClipper);
                m_backClipper = new YDXClipper;
                m_backClipper->CreateClipper(this);
                RECT backRect = {0, 0, client.right, client.bottom};
                m_backClipper->SetClipList(m_back, &backRect, 1);
                m_back->SetClipper(m_backClipper);
            }
        } else {
            int depth = engine->m_configData && engine->m_configData->m_graphics
                            ? engine->m_configData->m_graphics->m_bitDepth
                            : 16;
            if (!SetMode(1, window)) result = 0;
            if (result && !SetDisplayMode(m_width, m_height, depth, 0, 0) &&
                !(depth == 32 && SetDisplayMode(m_width, m_height, 16, 0, 0)))
                result = 0;
            if (result) engine->ResizeWindow(m_width, m_height);
            if (result && (!m_primary->CreatePrimarySurface(this, 2, DDSCAPS_3DDEVICE) ||
                           !m_primary->GetBackBuffer(m_back)))
                result = 0;
            if (result) {
                ClearSurfaces(1);
                m_backClipper = new YDXClipper;
                m_backClipper->CreateClipper(this);
                RECT backRect = {0, 0, m_width, m_height};
                m_backClipper->SetClipList(m_back, &backRect, 1);
                m_back->SetClipper(m_backClipper);
            }
        }
        if (!result) {
            FailStart();
        } else {
            m_started = 1;
            YD3D6Parser* renderer = new YD3D6Parser;
            renderer->SetWorldScale(16.0f);
            engine->SetRenderer(renderer);
            memset(&g_display, 0, sizeof g_display);
            g_display.catalog = engine->m_catalog;
            g_display.word1 = 20;
            g_display.filter = engine->m_configData && engine->m_configData->m_graphics
                                   ? engine->m_configData->m_graphics->m_filter
                                   : 0;
            if (!renderer->AttachDisplay(&g_display)) {
                result = FailStart();
            } else {
                memset(&g_device, 0, sizeof g_device);
                g_device.size = 44;
                g_device.graphics = this;
                g_device.primary = m_primary->GetSurface();
                g_device.back = m_back->GetSurface();
                g_device.device = YDXDrawDrivers::GetSelectedDeviceDesc();
                g_device.word7 = 16;
                if (!renderer->CreateDevice(&g_device)) result = FailStart();
            }
        }
    }
    if (m_started) RebuildClients();
    if (engine->m_renderer) engine->m_renderer->EvictTextures();
    if (engine->m_interfaceMgr) engine->m_interfaceMgr->RestoreSurfaces(this);
    return result;
}

void YGraphics::ClearSurfaces(int clearBack)
{
    if (m_primary) m_primary->Clear(nullptr, 0);
    if (clearBack && m_back && m_back != m_primary) m_back->Clear(nullptr, 0);
}

void YGraphics::SetOrigin(int x, int y)
{
    SetRect(&m_blitRect, x, y, x + m_width, y + m_height);
}

CObject* YGraphics::ExchangeAttached(CObject* object)
{
    CObject* previous = m_attached;
    m_attached = object;
    return previous;
}

void YGraphics::SetFont(const char* name)
{
    YGameObjects* engine = YGameObjects::Instance();
    RemoveDisplayClient(m_font);
    if (m_font && engine->m_catalog) engine->m_catalog->ReleaseResource(m_font);
    m_font = nullptr;
    if (!name || !*name || !engine->m_catalog) return;
    // A started display makes the glyph surface at once.
    const DWORD_PTR display = m_started ? reinterpret_cast<DWORD_PTR>(static_cast<YDXDraw*>(this)) : 0;
    m_font = engine->m_catalog->GetResource(kFontType, CString("Font"), CString(name), display);
    if (!m_font) return;
    YFont* font = dynamic_cast<YFont*>(m_font);
    if (font) font->SetTransparentColor(kFontColour);
    if (font && !font->GetGlyphSurface() && m_started) m_font->CreateSurfaces(this);
    AddDisplayClient(m_font);
}

int YGraphics::RunFrame()
{
    if (!m_started || !m_directDraw) return 1;
    YGameObjects* engine = YGameObjects::Instance();
    HRESULT level = m_directDraw->TestCooperativeLevel();
    if (!m_fullScreen) {
        if (level == DDERR_EXCLUSIVEMODEALREADYSET) {
            m_lost = 1;
            return 0;
        }
        if (level == DDERR_WRONGMODE) StartDisplay();
        m_lost = 0;
    } else {
        if (level == DDERR_NOEXCLUSIVEMODE) {
            m_lost = 1;
            WaitMessage();
            return 0;
        }
        if (level == DDERR_WRONGMODE) StartDisplay();
        if (m_lost) {
            m_directDraw->RestoreAllSurfaces();
            if (YResource* attached = AsResource(m_attached)) attached->Restore(this);
            for (POSITION at = m_displayClients.GetHeadPosition(); at;) {
                YResource* client = AsResource(m_displayClients.GetNext(at));
                if (client) client->Restore(this);
            }
            if (engine->m_interfaceMgr) engine->m_interfaceMgr->RestoreSurfaces(this);
            if (engine->m_renderer) engine->m_renderer->EvictTextures();
            m_lost = 0;
        }
    }
    if (!m_started || !m_back || !m_primary) return 1;

    if (engine->m_interfaceMgr) {
        if (!m_frameDC) m_frameDC = new YSurfaceDC;
        m_frameDC->SetSurface(m_back);
        engine->m_interfaceMgr->Draw(m_frameDC);
        m_frameDC->SetSurface(nullptr);
    }
    DrawCursor();
    DrawOverlays();

    if (!m_fullScreen && engine->m_appCursor != m_lastAppCursor) {
        m_lastAppCursor = engine->m_appCursor;
        engine->EnableInput(m_lastAppCursor ? 0 : 1);
    }
    if (!m_fullScreen) {
        // Our primary surface is the window's client area.
        RECT target = {0, 0, m_width, m_height};
        m_primary->Blt(m_back, &target, nullptr, 0, 0, 0);
    } else {
        m_primary->Flip();
    }
    return 1;
}

void YGraphics::DrawCursor()
{
    YGameObjects* engine = YGameObjects::Instance();
    YSprite* cursor = dynamic_cast<YSprite*>(m_attached);
    if (!cursor || !m_back) return;
    // The cursor is hidden while the input is captured for play.
    if (engine->m_input && (engine->m_input->m_captured || engine->m_input->m_mouseAcquired)) return;
    POINT mouse;
    GetCursorPos(&mouse);
    RECT client = {0, 0, m_width, m_height};
    if (engine->m_hWnd) {
        ScreenToClient(engine->m_hWnd, &mouse);
        GetClientRect(engine->m_hWnd, &client);
    }
    InflateRect(&client, 2, 2);
    if (!PtInRect(&client, mouse)) return;
    cursor->DrawAt(m_back, mouse.x, mouse.y);
}

void YGraphics::DrawOverlays()
{
    YGameObjects* engine = YGameObjects::Instance();
    const bool sounds = engine->m_showSoundInfo && engine->m_sound;
    if (!engine->m_appFps && !engine->m_appInput && !sounds) return;
    HDC dc = nullptr;
    if (!m_back->GetDC(&dc)) return;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    char text[64];
    if (engine->m_appFps) {
        snprintf(text, sizeof text, "%2.1f", engine->m_fps);
        TextOutA(dc, 15, 15, text, lstrlenA(text));
    }
    if (sounds) DrawSoundList(dc, engine->m_sound);
    if (engine->m_appInput) {
        POINT mouse;
        GetCursorPos(&mouse);
        ScreenToClient(engine->m_hWnd, &mouse);
        snprintf(text, sizeof text, "Mx: %d My: %d", static_cast<int>(mouse.x), static_cast<int>(mouse.y));
        TextOutA(dc, 15, 30, text, lstrlenA(text));
    }
    m_back->ReleaseDC(dc);
}

void YGraphics::DrawSoundList(HDC dc, YSound* sound)
{
    std::vector<char> list(kSoundListBytes);
    if (!sound->ListBuffers(list.data(), kSoundListBytes)) return;
    HFONT font = CreateFontA(-MulDiv(kSoundListPoints, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                             "Times New Roman");
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    const int bottom = static_cast<int>(m_back->GetHeight()) - kSoundListFoot;
    int x = kSoundListLeft, y = kSoundListTop, widest = 0;
    for (const char* line = list.data(); *line;) {
        const char* end = std::strchr(line, '\n');
        const int length = end ? static_cast<int>(end - line) : lstrlenA(line);
        if (y + kSoundListLine > bottom && y > kSoundListTop) {
            x += widest + kSoundListGap;
            y = kSoundListTop;
            widest = 0;
        }
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, line, length, &size);
        widest = std::max(widest, static_cast<int>(size.cx));
        TextOutA(dc, x, y, line, length);
        y += kSoundListLine;
        line = end ? end + 1 : line + length;
    }
    if (previous) SelectObject(dc, previous);
    if (font) DeleteObject(font);
}

void YGraphics::SaveScreenShot()
{
    if (!m_primary) return;
    // The primary holds the client area only, so that is what a windowed shot keeps.
    RECT rect = {0, 0, m_width, m_height};
    WriteScreenShotFile(m_primary, rect, "ScreenShots", "ScreenShot");
}

CString YGraphics::NextScreenShotName(const char* folder, const char* name)
{
    CString path;
    for (int n = 1;; ++n) {
        char file[MAX_PATH];
        snprintf(file, sizeof file, "%s%s%d.bmp", name, n <= 9 ? "0" : "", n);
        path = CString(folder) + "\\" + file;
        if (!FileExists(path)) return path;
    }
}

void YGraphics::WriteScreenShotFile(YDXSurface* surface, const RECT& rect, const char* folder, const char* name)
{
    if (!folder || !*folder || !name || !*name || !surface) return;
    if (!FileExists(folder)) CreateDirectoryA(folder, nullptr);
    CString path = NextScreenShotName(folder, name);
    try {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        HDC dc = nullptr;
        if (surface->GetDC(&dc)) {
            SaveDCBitmap(&file, dc, rect);
            surface->ReleaseDC(dc);
        }
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
    }
}
