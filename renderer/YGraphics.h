// The application's graphics object: the display mode, the primary and back
// surfaces with their clippers, the interface font and the software cursor.
// It starts the display and the renderer, runs the per-frame graphics step
// and saves screenshots.
#pragma once

#include "graphics2d/YDXDraw.h"
#include "platform/mfc.h"

class YDXClipper;
class YDXSurface;
class YResource;
class YSound;
class YSurfaceDC;

typedef CTypedPtrList<CPtrList, YSurfaceDC*> YSurfaceDCList;

class YGraphics : public YDXDraw {
    DECLARE_DYNAMIC(YGraphics)

public:
    YGraphics();
    ~YGraphics() override;

    // Non-zero when a DirectDraw 7 object can be made through COM; else says so.
    static int CheckDirectDraw7();
    void ResetState();
    void SetFullScreenFlag(int flag) { m_fullScreen = flag ? 1 : 0; }
    // The driver to create DirectDraw for (copied), or null for the default.
    void SetDriver(const GUID* guid);
    int StartDisplay();
    int ReleaseSurfaces();
    int RunFrame();
    void SaveScreenShot();
    // Writes the rectangle of the surface as folder\name + number + ".bmp".
    static void WriteScreenShotFile(YDXSurface* surface, const RECT& rect, const char* folder, const char* name);
    // The first free file name of that form, numbers from 1 with a "0" below 10.
    static CString NextScreenShotName(const char* folder, const char* name);
    void SetFont(const char* name);
    CObject* ExchangeAttached(CObject* object);
    // Surface drawing contexts that lose their surfaces with the display and
    // are rebuilt at the same size after it (null ignored).
    void AddClient(YSurfaceDC* context);
    void RemoveClient(YSurfaceDC* context);
    // Resources told about a display change: their surfaces are released
    // before it and created again on this display after it.
    void AddDisplayClient(YResource* client);
    void RemoveDisplayClient(YResource* client);
    void SetOrigin(int x, int y);
    void ClearSurfaces(int clearBack);

    RECT m_blitRect;
    RECT m_modeRect;
    int32_t m_started;
    int32_t m_fullScreen;
    int32_t m_modeArgument;
    GUID m_driver;
    int32_t m_hasDriver;
    YDXSurface* m_primary;
    YDXSurface* m_back;
    YDXClipper* m_primaryClipper;
    YDXClipper* m_backClipper;
    CObList m_displayClients;  // references
    YSurfaceDCList m_surfaceContexts;  // references
    YResource* m_font;
    CObject* m_attached;
    int32_t m_cursorShown;
    int32_t m_width;
    int32_t m_height;
    int32_t m_lost;
    uint8_t m_lastAppCursor;

private:
    // The context the interface draws each frame with, kept between frames:
    // windows hold on to the last context they drew with.  Its surface is
    // the back buffer only while a frame draws.
    YSurfaceDC* m_frameDC = nullptr;
    // The software cursor at the mouse, when the mouse is over the window.
    void DrawCursor();
    void DrawOverlays();
    // The sound manager's buffer list, line by line in columns.
    void DrawSoundList(HDC dc, YSound* sound);
    int FailStart();
    // Before a display change: clients and contexts let go of their surfaces.
    void ReleaseClients();
    // After it: clients and contexts get surfaces of the new display.
    void RebuildClients();
};
