// The interface manager: holds the layers of the screen, sees every window
// message, removes layers flagged for removal and draws them each frame.
#pragma once

#include <memory>
#include <vector>

#include "platform/mfc.h"
#include "platform/win32.h"

class YInterfaceFactory;
class YDXDraw;
class YWindow;

class YInterfaceMgr {
public:
    explicit YInterfaceMgr(YInterfaceFactory* factory);
    virtual ~YInterfaceMgr();

    YInterfaceFactory* SetFactory(YInterfaceFactory* factory);
    YInterfaceFactory* GetFactory() const { return m_factory; }
    // Every message the pump takes from the queue.
    virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The per-frame step.
    virtual void Step();
    virtual void Draw(HDC dc);
    void SetClientRect(int left, int top, int right, int bottom);
    int Refresh();
    // Told before a display change: the layers let their surfaces go.
    virtual BOOL ReleaseSurfaces();
    // Told after it with the new display: everything is drawn again.
    virtual BOOL RestoreSurfaces(YDXDraw* display);

    // Layout flags.
    enum { LayoutShow = 0x1, LayoutModal = 0x2 };
    // One active layout per layer (or texture id); the last one is in front.
    struct ActiveLayout {
        bool texture;       // drawn into a texture, named by its id
        CString layer;      // empty for a texture layout
        int32_t textureId;  // 0 for a layer layout
        CString script;
        int flags;
        CString handler;
    };

    // Opens or replaces the layout of a layer; a null script without the
    // show bit closes it (0 when there was none).
    int SetLayout(const char* layer, const char* script, int flags, const char* handler);
    // The same for a layout drawn into the texture of that id.
    int SetTextureLayout(int32_t textureId, const char* script, int flags, const char* handler);
    // Moves the layer's layout to the front or the back; false when none.
    bool MoveLayout(const char* layer, bool toFront);
    const ActiveLayout* FindLayout(const char* layer) const;
    const ActiveLayout* FindTextureLayout(int32_t textureId) const;
    const std::vector<ActiveLayout>& GetLayouts() const { return m_layouts; }

    uint8_t m_debugTextures = 0;

    int m_redrawAll;
    RECT m_clientRect;
    unsigned long m_messages;
    unsigned long m_steps;

    // The window that windows attached to the manager (the console) hang from.
    YWindow* GetRootWindow();

private:
    int PutLayout(int at, bool texture, const char* layer, int32_t textureId, const char* script, int flags, const char* handler);

    YInterfaceFactory* m_factory;
    std::vector<ActiveLayout> m_layouts;
    std::unique_ptr<YWindow> m_rootWindow;
};

// The factory of the game's layouts and items; the front end derives from it.
class YInterfaceFactory {
public:
    virtual ~YInterfaceFactory() = default;
};
