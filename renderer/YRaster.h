// The device behind the renderer: Z buffer, clears, camera and projection,
// viewport and render target.
#pragma once

#include "platform/d3d.h"

class YRaster {
public:
    virtual ~YRaster() = default;

    virtual int CreateZBuffer() = 0;
    virtual bool ClearZBuffer() = 0;
    virtual int DeleteZBuffer() = 0;
    virtual bool ClearTarget(D3DCOLOR colour) = 0;
    virtual void SetWords(DWORD a, DWORD b) = 0;
    virtual int ReservedRasterA(DWORD a, DWORD b) = 0;
    virtual bool DrawTriangles(void* vertices, DWORD count) = 0;
    virtual int ReservedRasterB(DWORD a, DWORD b) = 0;
    virtual int ReservedRasterC(DWORD a, DWORD b) = 0;
    virtual void SetCameraPosition(float x, float y, float z) = 0;
    virtual void SetCameraAngles(float a, float b, float c) = 0;
    virtual void SetProjection(float fov, float nearPlane, float farPlane) = 0;
    virtual void SetViewScale(float x, float y, float z) = 0;
    virtual void CalcCamera() = 0;
    virtual IDirect3DDevice7* GetDevice() = 0;
    virtual int SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2) = 0;
    virtual int SetViewport(int left, int top, int right, int bottom) = 0;
    virtual IDirectDrawSurface7* SetRenderTarget(IDirectDrawSurface7* target) = 0;
    virtual int Init(void* deviceDescriptor) = 0;
    virtual void Release() = 0;
};
