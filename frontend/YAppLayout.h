// The game-side layout: every screen the interface manager opens.  It finds
// its resources in the engine's catalog, makes its surfaces on the engine's
// graphics and passes console commands to the engine.  Values and texts of
// the scripts are read as written.
#pragma once

#include "gui/YLayout.h"

class YAppLayout : public YLayout {
    DECLARE_DYNAMIC(YAppLayout)
public:
    YAppLayout();
    ~YAppLayout() override;

    YCatalog* GetCatalog() override;
    YGraphics* GetGraphics() override;
    int ResolveValue(const char* text, YDC* dc, YLayoutGroup* group) override;
    float ResolveFloat(const char* text, YDC* dc) override;
    // A quoted text without its quotes.
    CString ResolveText(const char* text, YDC* dc) override;
    YLayoutItem* CreateAppItem(const char* token) override;
    // Hands one console command to the engine's interpreter.
    void ExecuteCommand(const char* text) override;
    void ExecuteCommandWithText(const char* command, const char* text) override;
    void KeyboardOn(bool on) override;
    void OnIdle() override;
};
