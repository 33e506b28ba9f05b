// The game-side layout: every screen the interface manager opens.  It finds
// its resources in the engine's catalog, makes its surfaces on the engine's
// graphics, passes console commands to the engine and answers the scripts'
// expressions with game values: screen and view coordinates, the camera and
// the local plane, the value stores and the configuration, the loading bar,
// the HUD markers, the compass, the countdown and the high-score texts.  On
// its first draw it makes the gauge and digit images the HUD draws with.
#pragma once

#include <cstdint>

#include "foundation/YVector.h"
#include "gui/YLayout.h"

class YDXSurface;

class YAppLayout : public YLayout {
    DECLARE_DYNAMIC(YAppLayout)
public:
    enum { kDigitCount = 10, kMaxResolveDepth = 64 };
    // Render units per metre, and the camera range's reach and its refresh.
    static constexpr float kRenderScale = 16.0f;
    static constexpr float kRangeReach = 1024.0f;
    static constexpr uint32_t kRangeRefreshMs = 250;
    static constexpr uint32_t kRangeTraceFlags = 0x73b;
    // A trace hit with this bit does not count for the camera range.
    static constexpr uint32_t kRangeIgnoredHit = 0x1000;

    YAppLayout();
    ~YAppLayout() override;

    // The gauge and digit images go; the next draw makes them again.
    BOOL ReleaseSurfaces() override;
    // Camera snapshot, counters, the HUD images when missing, then the items.
    int Draw(YDC* dc) override;
    void SetRefresh() override;
    // The image gets its display surface the first time it is asked for.
    YDIB* GetDIB(const char* name, bool* created = nullptr) override;
    YCatalog* GetCatalog() override;
    YGraphics* GetGraphics() override;
    int ResolveValue(const char* text, YDC* dc, YLayoutGroup* group) override;
    float ResolveFloat(const char* text, YDC* dc, YLayoutGroup* group) override;
    CString ResolveText(const char* text, YDC* dc) override;
    // "renderframe": the 3D view item.
    YLayoutItem* CreateAppItem(const char* token) override;
    // Hands one console command to the engine's interpreter.
    void ExecuteCommand(const char* text) override;
    void ExecuteCommandWithText(const char* command, const char* text) override;
    void KeyboardOn(bool on) override;
    void OnIdle() override;

    // Copies the local plane's camera when the plane is in the active world.
    virtual void UpdateCamera();
    // Metres from the camera to what it looks at, -1.0 when nothing; traced
    // at most every 250 ms, shared by every layout.
    virtual float GetCameraRange();
    virtual bool IsThirdPerson();
    // The shared camera range back to its start (tests, a new session).
    static void ResetCameraRange();

    YDXSurface* m_pGuageFrame;  // owned
    YDXSurface* m_pGuageBar;    // owned
    int32_t m_nValueCalls;
    int32_t m_nValueTicks;
    int32_t m_nFloatCalls;
    int32_t m_nFloatTicks;
    int32_t m_nTextCalls;
    int32_t m_nTextTicks;
    YDXSurface* m_pDigits[kDigitCount];  // owned
    YVector m_vCameraAngles;  // pitch, yaw, roll, degrees
    YVector m_vCameraPos;     // the second component is the height

private:
    // The HUD images the layout draws with, each only when missing.
    void MakeGuageFrame(YDC* dc);
    void MakeGuageBar(YDC* dc);
    void MakeDigits(YDC* dc);
    void DeleteHudImages();
    // Nesting of the resolvers: deeper expressions resolve to nothing.
    int32_t m_resolveDepth = 0;
};

// The sector of a whole-degree angle among count sectors of 360 / count
// degrees (integer division), rounded to the nearest and wrapped.
int AngleToSector(int angle, int count);
