// The renderer's Direct3D 7 device: Z buffer on the back surface, the HAL
// device, viewport and clip rectangle, camera and projection transforms,
// the global and session lights, and two vertex buffers.
#pragma once

#include <utility>
#include <vector>

#include "foundation/YMatrix.h"
#include "renderer/YDeviceDescriptor.h"
#include "renderer/YRaster.h"

class YDXDraw;
class YDXSurface;

// A device light: the renderer's record and the Direct3D light made of it.
struct YRasterLight {
    DWORD type;
    float direction[3];
    float range;
    float color[3];
    D3DLIGHT7* light;  // owned
    DWORD words[2];
};

class YD3D6Raster : public YRaster {
public:
    enum { kVertexCount = 1450, kVertexFormat = 0x252, kScreenVertexFormat = 0x2C4 };

    YD3D6Raster();
    ~YD3D6Raster() override;

    int CreateZBuffer() override;
    bool ClearZBuffer() override;
    int DeleteZBuffer() override;
    bool ClearTarget(D3DCOLOR colour) override;
    void SetWords(DWORD a, DWORD b) override;
    int ReservedRasterA(DWORD, DWORD) override { return 1; }
    bool DrawTriangles(void* vertices, DWORD count) override;
    int ReservedRasterB(DWORD, DWORD) override { return 1; }
    int ReservedRasterC(DWORD, DWORD) override { return 1; }
    void SetCameraPosition(float x, float y, float z) override;
    void SetCameraAngles(float a, float b, float c) override;
    void SetProjection(float fov, float nearPlane, float farPlane) override;
    void SetViewScale(float x, float y, float z) override;
    void CalcCamera() override;
    IDirect3DDevice7* GetDevice() override { return m_device; }
    int SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2) override;
    int SetViewport(int left, int top, int right, int bottom) override;
    IDirectDrawSurface7* SetRenderTarget(IDirectDrawSurface7* target) override;
    int Init(void* deviceDescriptor) override;
    void Release() override;

    int CreateViewport();
    int DisableAllLights();
    int DisableSessionLights();
    int EnableAllLights();
    int EnableSessionLights();
    int SetAllLights();
    int LightsOff();
    // Switches the session lights off and frees them.
    void FreeSessionLights();
    void GetClearRect(D3DRECT* rect);
    int GetViewportDesc(D3DVIEWPORT7* viewport);

    IDirect3D7* GetDirect3D() const { return m_direct3D; }
    IDirectDraw7* GetDirectDraw() const { return m_directDraw; }
    YDXSurface* GetZBuffer() const { return m_zBuffer; }
    const DDPIXELFORMAT& GetZBufferFormat() const { return m_zFormat; }
    const DDPIXELFORMAT& GetTextureFormat() const { return m_textureFormat; }
    const RECT& GetViewportRect() const { return m_viewportRect; }
    const RECT& GetClipRect() const { return m_clipRect; }
    const YMatrix& GetProjectionMatrix() const { return m_projectionMatrix; }
    IDirect3DVertexBuffer7* GetVertexBuffer() const { return m_vertexBuffer; }
    IDirect3DVertexBuffer7* GetScreenVertexBuffer() const { return m_screenVertexBuffer; }
    int IsZ16Only() const { return m_z16Only; }
    // The camera fields as stored: position, angles, projection (field of
    // view, near, far) and view scale, three floats each.
    struct Camera {
        float position[3], angles[3], projection[3], scale[3];
    };
    Camera GetCamera() const
    {
        Camera c;
        for (int i = 0; i < 3; ++i) {
            c.position[i] = m_cameraPosition[i], c.angles[i] = m_cameraAngles[i];
            c.projection[i] = m_projection[i], c.scale[i] = m_viewScale[i];
        }
        return c;
    }
    void SetCamera(const Camera& c)
    {
        for (int i = 0; i < 3; ++i) {
            m_cameraPosition[i] = c.position[i], m_cameraAngles[i] = c.angles[i];
            m_projection[i] = c.projection[i], m_viewScale[i] = c.scale[i];
        }
    }
    // Puts other device objects in the raster's place (a recording layer in
    // tests) and hands back the ones it held.
    void SwapDevice(IDirect3DDevice7** device, IDirect3DVertexBuffer7** vertices, IDirect3DVertexBuffer7** screen)
    {
        std::swap(m_device, *device);
        std::swap(m_vertexBuffer, *vertices);
        std::swap(m_screenVertexBuffer, *screen);
    }

    std::vector<YRasterLight> m_globalLights;
    std::vector<YRasterLight> m_sessionLights;
    int32_t m_lightsActive;

private:
    int SetDeviceViewport(const RECT& rect);
    void ApplyViewChange(const RECT& viewport);
    static void FreeLights(std::vector<YRasterLight>& lights);

    float m_cameraPosition[3];
    float m_cameraAngles[3];
    float m_projection[3];  // fov, near, far
    float m_viewScale[3];
    IDirect3D7* m_direct3D;
    IDirect3DDevice7* m_device;
    YDXSurface* m_zBuffer;
    RECT m_viewportRect;
    RECT m_clipRect;
    IDirect3DVertexBuffer7* m_vertexBuffer;
    IDirect3DVertexBuffer7* m_screenVertexBuffer;
    IDirectDraw7* m_directDraw;
    YDXDraw* m_display;
    IDirectDrawSurface7* m_primary;
    IDirectDrawSurface7* m_back;
    DWORD m_reserved;
    GUID m_deviceGuid;
    const GUID* m_deviceGuidPointer;
    DDPIXELFORMAT m_textureFormat;
    DDPIXELFORMAT m_zFormat;
    DWORD m_words[2];
    YDeviceDescriptor m_descriptor;
    int32_t m_z16Only;
    YMatrix m_worldMatrix;
    YMatrix m_projectionMatrix;
    float m_projectionCache[5];  // viewport height, width, fov, far, near
};
