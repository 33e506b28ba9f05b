// The interface manager: the one window that holds what the player sees of
// the interface.  Screen layers (menus, dialogs, the HUD) are layouts shown
// in named layers, drawn back to front over the frame; texture layers are
// layouts drawn into a texture of the 3D scene.  It sees every window
// message, steps the layouts once a frame and gives each opened layout one
// OnOpen call once its resources were taken and the rest purged.
#pragma once

#include "gui/YWindow.h"
// PlaySound is a multimedia macro too: every user of the factory sees the
// same name.
#include "platform/mmsystem.h"
#include "platform/win32.h"

class YDXDraw;
class YDXSurface;
class YInterfaceFactory;
class YLayout;
class YLayoutResSet;
class YParser;

// One layout shown in a named layer.
class YActiveLayout : public CObject {
    DECLARE_DYNAMIC(YActiveLayout)
public:
    YActiveLayout();
    // Deletes the layout.
    ~YActiveLayout() override;

    CString m_layer;
    CString m_handler;
    YLayout* m_layout;
    // The flags of the last call: bit 0 show, bit 1 modal.
    int32_t m_flags;
};

// A layout drawn into the texture the renderer registered under an id.
class YTextureLayout : public YActiveLayout {
    DECLARE_DYNAMIC(YTextureLayout)
public:
    YTextureLayout();
    // Deletes the surface.
    ~YTextureLayout() override;

    int32_t m_textureId;
    // Made on the first render with the texture's size.
    YDXSurface* m_surface;
};

class YInterfaceMgr : public YWindow {
    DECLARE_DYNAMIC(YInterfaceMgr)
public:
    // Layout flags.
    enum { LayoutShow = 0x1, LayoutModal = 0x2 };
    enum { kNotifyHover = -13 };

    explicit YInterfaceMgr(YInterfaceFactory* factory);
    // Closes every layer.
    ~YInterfaceMgr() override;

    // The shared set's and every layout's surfaces go; the layouts load again.
    BOOL ReleaseSurfaces() override;
    virtual BOOL RestoreSurfaces(YDXDraw* display);
    // The texture layers, the screen layers back to front (black when none
    // shows), the other windows hung here (the console) above them, the
    // purge of the shared set and the pending OnOpen calls.
    int Draw(YDC* dc) override;
    // A modal layer's layout takes every message.
    int HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Plays the click sound of a clicked child and the hover sound.
    void OnNotify(int id, int code) override;
    // Hit-tests the layers drawn on top first.
    YWindow* ChildFromPoint(int x, int y, int flags) override;
    // Draws every texture layer into its texture; with a target also onto
    // it, side by side along the top.
    virtual void RenderTextureLayers(YDC* target);

    YInterfaceFactory* SetFactory(YInterfaceFactory* factory);
    YInterfaceFactory* GetFactory() const { return m_factory; }
    YLayoutResSet* GetSharedSet() const { return m_sharedSet; }
    // Every message the pump takes from the queue.
    virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Once a frame: layouts closed since the last step are deleted, then
    // every screen layer's layout steps.
    virtual void Step();
    void SetClientRect(int left, int top, int right, int bottom);
    int Refresh();

    // Opens, refreshes (show bit) or closes (no show bit) the layer's layout;
    // a new handler on a layer replaces its layout.  Always true.
    bool SetLayout(const char* layer, const char* script, int flags, const char* handler);
    // The same for a layout drawn into the texture of that id.
    bool SetTextureLayout(int32_t textureId, const char* script, int flags, const char* handler);
    // Moves the layer to the front (drawn last) or the back; false when none.
    bool MoveLayout(const char* layer, bool toFront);
    // Ends the record's layout (always with force) and drops the record.
    void CloseLayer(YActiveLayout* record, bool force);

    YActiveLayout* FindLayout(const char* layer) const;
    YTextureLayout* FindTextureLayout(int32_t textureId) const;
    const CObList& GetScreenLayers() const { return m_screenLayers; }
    const CObList& GetTextureLayers() const { return m_textureLayers; }
    const CObList& GetPendingOpens() const { return m_pendingOpens; }
    YActiveLayout* GetModalLayer() const { return m_modalLayer; }
    // The window the console hangs from: the manager itself.
    YWindow* GetRootWindow() { return this; }

    uint8_t m_debugTextures = 0;
    int m_redrawAll;
    RECT m_clientRect;
    unsigned long m_messages;
    unsigned long m_steps;

private:
    // Deletes the records closed since the last step.
    void DeleteClosed();
    bool IsLayerLayout(const YWindow* window) const;
    YActiveLayout* OpenLayer(CObList& layers, YActiveLayout* match, YActiveLayout* made, const char* script,
                             int flags, const char* handler);
    static bool SameName(const CString& a, const char* b);

    CObList m_screenLayers;
    CObList m_textureLayers;
    CObList m_pendingOpens;
    YInterfaceFactory* m_factory;
    YLayoutResSet* m_sharedSet;
    YActiveLayout* m_modalLayer;
    // Closed records wait here for the next step: a layout may be closed
    // from inside its own call stack.
    CObList m_closed;
};

// What the game supplies to the manager: the layouts, the resource set they
// share, the scene of the texture layers and the interface sounds.
class YInterfaceFactory {
public:
    virtual ~YInterfaceFactory() = default;
    virtual YLayoutResSet* GetResourceSet() { return nullptr; }
    // The renderer, or null.
    virtual YParser* GetScene() { return nullptr; }
    // A new layout of the class for the handler, or null.
    virtual YLayout* CreateLayout(const char*) { return nullptr; }
    // 0 the click, 1 the hover sound.
    virtual void PlaySound(int) {}
};
