// Our DirectDraw 7: surfaces kept in memory in the requested pixel format,
// blits with colour keys, stretching, mirroring and clippers, palettes,
// flip chains presented through the backend, lost and restored surfaces,
// and the display-mode and driver enumeration of one display driver.
#pragma once

#include "platform/unknwn.h"
#include "platform/win32.h"

// ---------------------------------------------------------------- results
#define _FACDD 0x876
#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, _FACDD, code)

#define DD_OK S_OK
#define DD_FALSE S_FALSE
#define DDENUMRET_CANCEL 0
#define DDENUMRET_OK 1

#define DDERR_ALREADYINITIALIZED MAKE_DDHRESULT(5)
#define DDERR_CANNOTATTACHSURFACE MAKE_DDHRESULT(10)
#define DDERR_CANNOTDETACHSURFACE MAKE_DDHRESULT(20)
#define DDERR_CURRENTLYNOTAVAIL MAKE_DDHRESULT(40)
#define DDERR_EXCEPTION MAKE_DDHRESULT(55)
#define DDERR_GENERIC E_FAIL
#define DDERR_HEIGHTALIGN MAKE_DDHRESULT(90)
#define DDERR_INCOMPATIBLEPRIMARY MAKE_DDHRESULT(95)
#define DDERR_INVALIDCAPS MAKE_DDHRESULT(100)
#define DDERR_INVALIDCLIPLIST MAKE_DDHRESULT(110)
#define DDERR_INVALIDMODE MAKE_DDHRESULT(120)
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_INVALIDPIXELFORMAT MAKE_DDHRESULT(145)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_LOCKEDSURFACES MAKE_DDHRESULT(160)
#define DDERR_NO3D MAKE_DDHRESULT(170)
#define DDERR_NOALPHAHW MAKE_DDHRESULT(180)
#define DDERR_NOSTEREOHARDWARE MAKE_DDHRESULT(181)
#define DDERR_NOSURFACELEFT MAKE_DDHRESULT(182)
#define DDERR_NOCLIPLIST MAKE_DDHRESULT(205)
#define DDERR_NOCOLORCONVHW MAKE_DDHRESULT(210)
#define DDERR_NOCOOPERATIVELEVELSET MAKE_DDHRESULT(212)
#define DDERR_NOCOLORKEY MAKE_DDHRESULT(215)
#define DDERR_NOCOLORKEYHW MAKE_DDHRESULT(220)
#define DDERR_NODIRECTDRAWSUPPORT MAKE_DDHRESULT(222)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_NOFLIPHW MAKE_DDHRESULT(230)
#define DDERR_NOGDI MAKE_DDHRESULT(240)
#define DDERR_NOMIRRORHW MAKE_DDHRESULT(250)
#define DDERR_NOTFOUND MAKE_DDHRESULT(255)
#define DDERR_NOOVERLAYHW MAKE_DDHRESULT(260)
#define DDERR_OVERLAPPINGRECTS MAKE_DDHRESULT(270)
#define DDERR_NORASTEROPHW MAKE_DDHRESULT(280)
#define DDERR_NOROTATIONHW MAKE_DDHRESULT(290)
#define DDERR_NOSTRETCHHW MAKE_DDHRESULT(310)
#define DDERR_NOT4BITCOLOR MAKE_DDHRESULT(316)
#define DDERR_NOT4BITCOLORINDEX MAKE_DDHRESULT(317)
#define DDERR_NOT8BITCOLOR MAKE_DDHRESULT(320)
#define DDERR_NOTEXTUREHW MAKE_DDHRESULT(330)
#define DDERR_NOVSYNCHW MAKE_DDHRESULT(335)
#define DDERR_NOZBUFFERHW MAKE_DDHRESULT(340)
#define DDERR_NOZOVERLAYHW MAKE_DDHRESULT(350)
#define DDERR_OUTOFCAPS MAKE_DDHRESULT(360)
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_OUTOFVIDEOMEMORY MAKE_DDHRESULT(380)
#define DDERR_OVERLAYCANTCLIP MAKE_DDHRESULT(382)
#define DDERR_OVERLAYCOLORKEYONLYONEACTIVE MAKE_DDHRESULT(384)
#define DDERR_PALETTEBUSY MAKE_DDHRESULT(387)
#define DDERR_COLORKEYNOTSET MAKE_DDHRESULT(400)
#define DDERR_SURFACEALREADYATTACHED MAKE_DDHRESULT(410)
#define DDERR_SURFACEALREADYDEPENDENT MAKE_DDHRESULT(420)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_CANTLOCKSURFACE MAKE_DDHRESULT(435)
#define DDERR_SURFACEISOBSCURED MAKE_DDHRESULT(440)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_SURFACENOTATTACHED MAKE_DDHRESULT(460)
#define DDERR_TOOBIGHEIGHT MAKE_DDHRESULT(470)
#define DDERR_TOOBIGSIZE MAKE_DDHRESULT(480)
#define DDERR_TOOBIGWIDTH MAKE_DDHRESULT(490)
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_UNSUPPORTEDFORMAT MAKE_DDHRESULT(510)
#define DDERR_UNSUPPORTEDMASK MAKE_DDHRESULT(520)
#define DDERR_INVALIDSTREAM MAKE_DDHRESULT(521)
#define DDERR_VERTICALBLANKINPROGRESS MAKE_DDHRESULT(537)
#define DDERR_WASSTILLDRAWING MAKE_DDHRESULT(540)
#define DDERR_DDSCAPSCOMPLEXREQUIRED MAKE_DDHRESULT(542)
#define DDERR_XALIGN MAKE_DDHRESULT(560)
#define DDERR_INVALIDDIRECTDRAWGUID MAKE_DDHRESULT(561)
#define DDERR_DIRECTDRAWALREADYCREATED MAKE_DDHRESULT(562)
#define DDERR_NODIRECTDRAWHW MAKE_DDHRESULT(563)
#define DDERR_PRIMARYSURFACEALREADYEXISTS MAKE_DDHRESULT(564)
#define DDERR_NOEMULATION MAKE_DDHRESULT(565)
#define DDERR_REGIONTOOSMALL MAKE_DDHRESULT(566)
#define DDERR_CLIPPERISUSINGHWND MAKE_DDHRESULT(567)
#define DDERR_NOCLIPPERATTACHED MAKE_DDHRESULT(568)
#define DDERR_NOHWND MAKE_DDHRESULT(569)
#define DDERR_HWNDSUBCLASSED MAKE_DDHRESULT(570)
#define DDERR_HWNDALREADYSET MAKE_DDHRESULT(571)
#define DDERR_NOPALETTEATTACHED MAKE_DDHRESULT(572)
#define DDERR_NOPALETTEHW MAKE_DDHRESULT(573)
#define DDERR_BLTFASTCANTCLIP MAKE_DDHRESULT(574)
#define DDERR_NOBLTHW MAKE_DDHRESULT(575)
#define DDERR_NODDROPSHW MAKE_DDHRESULT(576)
#define DDERR_OVERLAYNOTVISIBLE MAKE_DDHRESULT(577)
#define DDERR_NOOVERLAYDEST MAKE_DDHRESULT(578)
#define DDERR_INVALIDPOSITION MAKE_DDHRESULT(579)
#define DDERR_NOTAOVERLAYSURFACE MAKE_DDHRESULT(580)
#define DDERR_EXCLUSIVEMODEALREADYSET MAKE_DDHRESULT(581)
#define DDERR_NOTFLIPPABLE MAKE_DDHRESULT(582)
#define DDERR_CANTDUPLICATE MAKE_DDHRESULT(583)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_CANTCREATEDC MAKE_DDHRESULT(585)
#define DDERR_NODC MAKE_DDHRESULT(586)
#define DDERR_WRONGMODE MAKE_DDHRESULT(587)
#define DDERR_IMPLICITLYCREATED MAKE_DDHRESULT(588)
#define DDERR_NOTPALETTIZED MAKE_DDHRESULT(589)
#define DDERR_UNSUPPORTEDMODE MAKE_DDHRESULT(590)
#define DDERR_NOMIPMAPHW MAKE_DDHRESULT(591)
#define DDERR_INVALIDSURFACETYPE MAKE_DDHRESULT(592)
#define DDERR_NOOPTIMIZEHW MAKE_DDHRESULT(600)
#define DDERR_NOTLOADED MAKE_DDHRESULT(601)
#define DDERR_NOFOCUSWINDOW MAKE_DDHRESULT(602)
#define DDERR_DCALREADYCREATED MAKE_DDHRESULT(620)
#define DDERR_NONONLOCALVIDMEM MAKE_DDHRESULT(630)
#define DDERR_CANTPAGELOCK MAKE_DDHRESULT(640)
#define DDERR_CANTPAGEUNLOCK MAKE_DDHRESULT(660)
#define DDERR_NOTPAGELOCKED MAKE_DDHRESULT(680)
#define DDERR_MOREDATA MAKE_DDHRESULT(690)
#define DDERR_EXPIRED MAKE_DDHRESULT(691)
#define DDERR_VIDEONOTACTIVE MAKE_DDHRESULT(695)
#define DDERR_DEVICEDOESNTOWNSURFACE MAKE_DDHRESULT(699)
#define DDERR_NOTINITIALIZED CO_E_NOTINITIALIZED

// ---------------------------------------------------------------- flags
#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_ALLOWREBOOT 0x00000002
#define DDSCL_NOWINDOWCHANGES 0x00000004
#define DDSCL_NORMAL 0x00000008
#define DDSCL_EXCLUSIVE 0x00000010
#define DDSCL_ALLOWMODEX 0x00000040
#define DDSCL_MULTITHREADED 0x00000400
#define DDSCL_FPUSETUP 0x00000800

#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_PITCH 0x00000008
#define DDSD_BACKBUFFERCOUNT 0x00000020
#define DDSD_ZBUFFERBITDEPTH 0x00000040
#define DDSD_ALPHABITDEPTH 0x00000080
#define DDSD_LPSURFACE 0x00000800
#define DDSD_PIXELFORMAT 0x00001000
#define DDSD_CKDESTOVERLAY 0x00002000
#define DDSD_CKDESTBLT 0x00004000
#define DDSD_CKSRCOVERLAY 0x00008000
#define DDSD_CKSRCBLT 0x00010000
#define DDSD_MIPMAPCOUNT 0x00020000
#define DDSD_REFRESHRATE 0x00040000
#define DDSD_LINEARSIZE 0x00080000
#define DDSD_TEXTURESTAGE 0x00100000
#define DDSD_ALL 0x00fff9ee

#define DDSCAPS_ALPHA 0x00000002
#define DDSCAPS_BACKBUFFER 0x00000004
#define DDSCAPS_COMPLEX 0x00000008
#define DDSCAPS_FLIP 0x00000010
#define DDSCAPS_FRONTBUFFER 0x00000020
#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_OVERLAY 0x00000080
#define DDSCAPS_PALETTE 0x00000100
#define DDSCAPS_PRIMARYSURFACE 0x00000200
#define DDSCAPS_SYSTEMMEMORY 0x00000800
#define DDSCAPS_TEXTURE 0x00001000
#define DDSCAPS_3DDEVICE 0x00002000
#define DDSCAPS_VIDEOMEMORY 0x00004000
#define DDSCAPS_VISIBLE 0x00008000
#define DDSCAPS_WRITEONLY 0x00010000
#define DDSCAPS_ZBUFFER 0x00020000
#define DDSCAPS_OWNDC 0x00040000
#define DDSCAPS_MIPMAP 0x00400000
#define DDSCAPS_ALLOCONLOAD 0x04000000
#define DDSCAPS_LOCALVIDMEM 0x10000000
#define DDSCAPS_NONLOCALVIDMEM 0x20000000
#define DDSCAPS2_HINTDYNAMIC 0x00000004
#define DDSCAPS2_HINTSTATIC 0x00000008
#define DDSCAPS2_TEXTUREMANAGE 0x00000010
#define DDSCAPS2_OPAQUE 0x00000080
#define DDSCAPS2_D3DTEXTUREMANAGE 0x00020000
#define DDSCAPS2_STEREOSURFACELEFT 0x00080000

#define DDPF_ALPHAPIXELS 0x00000001
#define DDPF_ALPHA 0x00000002
#define DDPF_FOURCC 0x00000004
#define DDPF_PALETTEINDEXED4 0x00000008
#define DDPF_PALETTEINDEXED8 0x00000020
#define DDPF_RGB 0x00000040
#define DDPF_ZBUFFER 0x00000400
#define DDPF_STENCILBUFFER 0x00004000
#define DDPF_LUMINANCE 0x00020000
#define DDPF_BUMPDUDV 0x00080000

#define DDBLT_ALPHADEST 0x00000001
#define DDBLT_ASYNC 0x00000200
#define DDBLT_COLORFILL 0x00000400
#define DDBLT_DDFX 0x00000800
#define DDBLT_DDROPS 0x00001000
#define DDBLT_KEYDEST 0x00002000
#define DDBLT_KEYDESTOVERRIDE 0x00004000
#define DDBLT_KEYSRC 0x00008000
#define DDBLT_KEYSRCOVERRIDE 0x00010000
#define DDBLT_ROP 0x00020000
#define DDBLT_ROTATIONANGLE 0x00040000
#define DDBLT_ZBUFFER 0x00080000
#define DDBLT_WAIT 0x01000000
#define DDBLT_DEPTHFILL 0x02000000
#define DDBLT_DONOTWAIT 0x08000000

#define DDBLTFX_ARITHSTRETCHY 0x00000001
#define DDBLTFX_MIRRORLEFTRIGHT 0x00000002
#define DDBLTFX_MIRRORUPDOWN 0x00000004
#define DDBLTFX_NOTEARING 0x00000008

#define DDBLTFAST_NOCOLORKEY 0x00000000
#define DDBLTFAST_SRCCOLORKEY 0x00000001
#define DDBLTFAST_DESTCOLORKEY 0x00000002
#define DDBLTFAST_WAIT 0x00000010
#define DDBLTFAST_DONOTWAIT 0x00000020

#define DDCKEY_COLORSPACE 0x00000001
#define DDCKEY_DESTBLT 0x00000002
#define DDCKEY_DESTOVERLAY 0x00000004
#define DDCKEY_SRCBLT 0x00000008
#define DDCKEY_SRCOVERLAY 0x00000010

#define DDLOCK_SURFACEMEMORYPTR 0x00000000
#define DDLOCK_WAIT 0x00000001
#define DDLOCK_READONLY 0x00000010
#define DDLOCK_WRITEONLY 0x00000020
#define DDLOCK_NOSYSLOCK 0x00000800
#define DDLOCK_DONOTWAIT 0x00004000

#define DDFLIP_WAIT 0x00000001
#define DDFLIP_NOVSYNC 0x00000008
#define DDFLIP_DONOTWAIT 0x00000020

#define DDPCAPS_4BIT 0x00000001
#define DDPCAPS_8BITENTRIES 0x00000002
#define DDPCAPS_8BIT 0x00000004
#define DDPCAPS_INITIALIZE 0x00000000
#define DDPCAPS_PRIMARYSURFACE 0x00000010
#define DDPCAPS_ALLOW256 0x00000040

#define DDCAPS_BLT 0x00000040
#define DDCAPS_BLTCOLORFILL 0x04000000
#define DDCAPS_BLTSTRETCH 0x00000200
#define DDCAPS_COLORKEY 0x00400000
#define DDCAPS_PALETTE 0x00008000
#define DDCAPS_CANCLIP 0x20000000
#define DDCAPS_CANCLIPSTRETCHED 0x40000000
#define DDCAPS_3D 0x00000001
#define DDCAPS2_NOPAGELOCKREQUIRED 0x00400000
#define DDCAPS2_CANRENDERWINDOWED 0x00080000
#define DDCAPS2_WIDESURFACES 0x00001000
#define DDCKEYCAPS_SRCBLT 0x00000200
#define DDCKEYCAPS_DESTBLT 0x00000002
#define DDFXCAPS_BLTMIRRORLEFTRIGHT 0x00010000
#define DDFXCAPS_BLTMIRRORUPDOWN 0x00020000
#define DDFXCAPS_BLTSTRETCHX 0x00200000
#define DDFXCAPS_BLTSTRETCHY 0x02000000

#define DDEDM_REFRESHRATES 0x00000001
#define DDEDM_STANDARDVGAMODES 0x00000002

#define DDENUM_ATTACHEDSECONDARYDEVICES 0x00000001
#define DDENUM_DETACHEDSECONDARYDEVICES 0x00000002
#define DDENUM_NONDISPLAYDEVICES 0x00000004

#define DDCREATE_HARDWAREONLY 0x00000001
#define DDCREATE_EMULATIONONLY 0x00000002

// Render and Z depths of the 3D devices.
#define DDBD_1 0x00004000
#define DDBD_2 0x00002000
#define DDBD_4 0x00001000
#define DDBD_8 0x00000800
#define DDBD_16 0x00000400
#define DDBD_24 0x00000200
#define DDBD_32 0x00000100

// ---------------------------------------------------------------- structures
typedef struct _DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
} DDCOLORKEY, *LPDDCOLORKEY;

typedef struct _DDSCAPS {
    DWORD dwCaps;
} DDSCAPS, *LPDDSCAPS;

typedef struct _DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    union {
        DWORD dwCaps4;
        DWORD dwVolumeDepth;
    };
} DDSCAPS2, *LPDDSCAPS2;

typedef struct _DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    union {
        DWORD dwRGBBitCount;
        DWORD dwZBufferBitDepth;
        DWORD dwAlphaBitDepth;
        DWORD dwLuminanceBitCount;
        DWORD dwBumpBitCount;
    };
    union {
        DWORD dwRBitMask;
        DWORD dwStencilBitDepth;
        DWORD dwLuminanceBitMask;
        DWORD dwBumpDuBitMask;
    };
    union {
        DWORD dwGBitMask;
        DWORD dwZBitMask;
        DWORD dwBumpDvBitMask;
    };
    union {
        DWORD dwBBitMask;
        DWORD dwStencilBitMask;
        DWORD dwBumpLuminanceBitMask;
    };
    union {
        DWORD dwRGBAlphaBitMask;
        DWORD dwRGBZBitMask;
        DWORD dwLuminanceAlphaBitMask;
    };
} DDPIXELFORMAT, *LPDDPIXELFORMAT;

typedef struct _DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    union {
        LONG lPitch;
        DWORD dwLinearSize;
    };
    union {
        DWORD dwBackBufferCount;
        DWORD dwDepth;
    };
    union {
        DWORD dwMipMapCount;
        DWORD dwRefreshRate;
        DWORD dwSrcVBHandle;
    };
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;  // pointer-sized here; never written to a file
    union {
        DDCOLORKEY ddckCKDestOverlay;
        DWORD dwEmptyFaceColor;
    };
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    union {
        DDPIXELFORMAT ddpfPixelFormat;
        DWORD dwFVF;
    };
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
} DDSURFACEDESC2, *LPDDSURFACEDESC2;

typedef struct _DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwROP;
    DWORD dwDDROP;
    DWORD dwRotationAngle;
    DWORD dwZBufferOpCode;
    DWORD dwZBufferLow;
    DWORD dwZBufferHigh;
    DWORD dwZBufferBaseDest;
    DWORD dwZDestConstBitDepth;
    union {
        DWORD dwZDestConst;
        LPVOID lpDDSZBufferDest;
    };
    DWORD dwZSrcConstBitDepth;
    union {
        DWORD dwZSrcConst;
        LPVOID lpDDSZBufferSrc;
    };
    DWORD dwAlphaEdgeBlendBitDepth;
    DWORD dwAlphaEdgeBlend;
    DWORD dwReserved;
    DWORD dwAlphaDestConstBitDepth;
    union {
        DWORD dwAlphaDestConst;
        LPVOID lpDDSAlphaDest;
    };
    DWORD dwAlphaSrcConstBitDepth;
    union {
        DWORD dwAlphaSrcConst;
        LPVOID lpDDSAlphaSrc;
    };
    union {
        DWORD dwFillColor;
        DWORD dwFillDepth;
        DWORD dwFillPixel;
        LPVOID lpDDSPattern;
    };
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
} DDBLTFX, *LPDDBLTFX;

// DirectX 7 capabilities: 380 bytes.
typedef struct _DDCAPS_DX7 {
    DWORD dwSize;
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCKeyCaps;
    DWORD dwFXCaps;
    DWORD dwFXAlphaCaps;
    DWORD dwPalCaps;
    DWORD dwSVCaps;
    DWORD dwAlphaBltConstBitDepths;
    DWORD dwAlphaBltPixelBitDepths;
    DWORD dwAlphaBltSurfaceBitDepths;
    DWORD dwAlphaOverlayConstBitDepths;
    DWORD dwAlphaOverlayPixelBitDepths;
    DWORD dwAlphaOverlaySurfaceBitDepths;
    DWORD dwZBufferBitDepths;
    DWORD dwVidMemTotal;
    DWORD dwVidMemFree;
    DWORD dwMaxVisibleOverlays;
    DWORD dwCurrVisibleOverlays;
    DWORD dwNumFourCCCodes;
    DWORD dwAlignBoundarySrc;
    DWORD dwAlignSizeSrc;
    DWORD dwAlignBoundaryDest;
    DWORD dwAlignSizeDest;
    DWORD dwAlignStrideAlign;
    DWORD dwRops[8];
    DDSCAPS ddsOldCaps;
    DWORD dwMinOverlayStretch;
    DWORD dwMaxOverlayStretch;
    DWORD dwMinLiveVideoStretch;
    DWORD dwMaxLiveVideoStretch;
    DWORD dwMinHwCodecStretch;
    DWORD dwMaxHwCodecStretch;
    DWORD dwReserved1;
    DWORD dwReserved2;
    DWORD dwReserved3;
    DWORD dwSVBCaps;
    DWORD dwSVBCKeyCaps;
    DWORD dwSVBFXCaps;
    DWORD dwSVBRops[8];
    DWORD dwVSBCaps;
    DWORD dwVSBCKeyCaps;
    DWORD dwVSBFXCaps;
    DWORD dwVSBRops[8];
    DWORD dwSSBCaps;
    DWORD dwSSBCKeyCaps;
    DWORD dwSSBFXCaps;
    DWORD dwSSBRops[8];
    DWORD dwMaxVideoPorts;
    DWORD dwCurrVideoPorts;
    DWORD dwSVBCaps2;
    DWORD dwNLVBCaps;
    DWORD dwNLVBCaps2;
    DWORD dwNLVBCKeyCaps;
    DWORD dwNLVBFXCaps;
    DWORD dwNLVBRops[8];
    DDSCAPS2 ddsCaps;
} DDCAPS_DX7, DDCAPS, *LPDDCAPS;

typedef struct _DDDEVICEIDENTIFIER2 {
    char szDriver[512];
    char szDescription[512];
    LARGE_INTEGER liDriverVersion;
    DWORD dwVendorId;
    DWORD dwDeviceId;
    DWORD dwSubSysId;
    DWORD dwRevision;
    GUID guidDeviceIdentifier;
    DWORD dwWHQLLevel;
} DDDEVICEIDENTIFIER2, *LPDDDEVICEIDENTIFIER2;

// PALETTEENTRY and RGNDATA come with the GDI declarations of win32.h.

// ---------------------------------------------------------------- interfaces
struct IDirectDraw7;
struct IDirectDrawSurface7;
struct IDirectDrawClipper;
struct IDirectDrawPalette;
typedef IDirectDraw7* LPDIRECTDRAW7;
typedef IDirectDrawSurface7* LPDIRECTDRAWSURFACE7;
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;
typedef IDirectDrawPalette* LPDIRECTDRAWPALETTE;

typedef HRESULT(CALLBACK* LPDDENUMMODESCALLBACK2)(LPDDSURFACEDESC2 desc, LPVOID context);
typedef HRESULT(CALLBACK* LPDDENUMSURFACESCALLBACK7)(LPDIRECTDRAWSURFACE7 surface, LPDDSURFACEDESC2 desc,
                                                     LPVOID context);
typedef BOOL(CALLBACK* LPDDENUMCALLBACKEXA)(GUID* guid, LPSTR description, LPSTR name, LPVOID context,
                                           HMONITOR monitor);

extern const IID IID_IDirectDraw7;
extern const IID IID_IDirectDrawSurface7;
extern const IID IID_IDirectDrawClipper;
extern const IID IID_IDirectDrawPalette;
extern const CLSID CLSID_DirectDraw;
extern const CLSID CLSID_DirectDraw7;

struct IDirectDraw7 : public IUnknown {
    virtual HRESULT Compact() = 0;
    virtual HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) = 0;
    virtual HRESULT CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                                  IUnknown* outer) = 0;
    virtual HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface, IUnknown* outer) = 0;
    virtual HRESULT DuplicateSurface(LPDIRECTDRAWSURFACE7 source, LPDIRECTDRAWSURFACE7* copy) = 0;
    virtual HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 filter, LPVOID context,
                                     LPDDENUMMODESCALLBACK2 callback) = 0;
    virtual HRESULT EnumSurfaces(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                                 LPDDENUMSURFACESCALLBACK7 callback) = 0;
    virtual HRESULT FlipToGDISurface() = 0;
    virtual HRESULT GetCaps(LPDDCAPS driverCaps, LPDDCAPS helCaps) = 0;
    virtual HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) = 0;
    virtual HRESULT GetFourCCCodes(LPDWORD count, LPDWORD codes) = 0;
    virtual HRESULT GetGDISurface(LPDIRECTDRAWSURFACE7* surface) = 0;
    virtual HRESULT GetMonitorFrequency(LPDWORD frequency) = 0;
    virtual HRESULT GetScanLine(LPDWORD line) = 0;
    virtual HRESULT GetVerticalBlankStatus(LPBOOL inBlank) = 0;
    virtual HRESULT Initialize(GUID* guid) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD flags) = 0;
    virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
    virtual HRESULT GetAvailableVidMem(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free) = 0;
    virtual HRESULT GetSurfaceFromDC(HDC dc, LPDIRECTDRAWSURFACE7* surface) = 0;
    virtual HRESULT RestoreAllSurfaces() = 0;
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2 identifier, DWORD flags) = 0;
};

struct IDirectDrawSurface7 : public IUnknown {
    virtual HRESULT AddAttachedSurface(LPDIRECTDRAWSURFACE7 surface) = 0;
    virtual HRESULT Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
                        LPDDBLTFX fx) = 0;
    virtual HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags) = 0;
    virtual HRESULT DeleteAttachedSurface(DWORD flags, LPDIRECTDRAWSURFACE7 surface) = 0;
    virtual HRESULT Flip(LPDIRECTDRAWSURFACE7 target, DWORD flags) = 0;
    virtual HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* surface) = 0;
    virtual HRESULT GetBltStatus(DWORD flags) = 0;
    virtual HRESULT GetCaps(LPDDSCAPS2 caps) = 0;
    virtual HRESULT GetClipper(LPDIRECTDRAWCLIPPER* clipper) = 0;
    virtual HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
    virtual HRESULT GetDC(HDC* dc) = 0;
    virtual HRESULT GetFlipStatus(DWORD flags) = 0;
    virtual HRESULT GetPalette(LPDIRECTDRAWPALETTE* palette) = 0;
    virtual HRESULT GetPixelFormat(LPDDPIXELFORMAT format) = 0;
    virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    virtual HRESULT Restore() = 0;
    virtual HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) = 0;
    virtual HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
    virtual HRESULT SetPalette(LPDIRECTDRAWPALETTE palette) = 0;
    virtual HRESULT Unlock(LPRECT rect) = 0;
    virtual HRESULT GetDDInterface(LPVOID* directDraw) = 0;
    virtual HRESULT PageLock(DWORD flags) = 0;
    virtual HRESULT PageUnlock(DWORD flags) = 0;
    virtual HRESULT SetSurfaceDesc(LPDDSURFACEDESC2 desc, DWORD flags) = 0;
};

struct IDirectDrawClipper : public IUnknown {
    virtual HRESULT GetClipList(LPRECT rect, LPRGNDATA data, LPDWORD size) = 0;
    virtual HRESULT GetHWnd(HWND* window) = 0;
    virtual HRESULT Initialize(LPDIRECTDRAW7 directDraw, DWORD flags) = 0;
    virtual HRESULT IsClipListChanged(BOOL* changed) = 0;
    virtual HRESULT SetClipList(LPRGNDATA data, DWORD flags) = 0;
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;
};

struct IDirectDrawPalette : public IUnknown {
    virtual HRESULT GetCaps(LPDWORD caps) = 0;
    virtual HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) = 0;
    virtual HRESULT Initialize(LPDIRECTDRAW7 directDraw, DWORD flags, LPPALETTEENTRY entries) = 0;
    virtual HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY entries) = 0;
};

// ---------------------------------------------------------------- entry points
HRESULT WINAPI DirectDrawCreateEx(GUID* guid, LPVOID* directDraw, REFIID iid, IUnknown* outer);
HRESULT WINAPI DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD flags);
HRESULT WINAPI DirectDrawCreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer);
#define DirectDrawEnumerateEx DirectDrawEnumerateExA

namespace platform {
// Makes every surface of every DirectDraw object lost, as when another
// program takes the display; the next use reports DDERR_SURFACELOST.
void DDrawLoseAllSurfaces();
// The answer TestCooperativeLevel gives while set (DD_OK to stop).
void DDrawSetCooperativeResult(HRESULT result);
// Number of DirectDraw objects, surfaces, clippers and palettes alive.
int DDrawLiveObjects();
}  // namespace platform
