// What the graphics object hands the renderer to create its device: the
// display, its primary and back surfaces and the chosen 3D device.
#pragma once

#include "platform/d3d.h"

class YDXDraw;

struct YDeviceDescriptor {
    DWORD size;  // 44
    DWORD word1;
    YDXDraw* graphics;
    IDirectDrawSurface7* primary;
    IDirectDrawSurface7* back;
    D3DDEVICEDESC7* device;
    DWORD word6;
    DWORD word7;  // 16
    DWORD spare[3];
};
