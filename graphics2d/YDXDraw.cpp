#include "graphics2d/YDXDraw.h"

#include "graphics2d/YDXMethod.h"

IMPLEMENT_DYNAMIC(YDXDraw, CObject)

namespace {
struct ResultName {
    HRESULT result;
    const char* name;
};

#define RCV_RESULT(code) {code, #code "\n"}
const ResultName kResultNames[] = {
    RCV_RESULT(DDERR_ALREADYINITIALIZED),
    {DDERR_BLTFASTCANTCLIP, "DDERR_BLFASTCANTCLIP\n"},
    RCV_RESULT(DDERR_CANNOTATTACHSURFACE),
    RCV_RESULT(DDERR_CANNOTDETACHSURFACE),
    RCV_RESULT(DDERR_CANTCREATEDC),
    RCV_RESULT(DDERR_CANTDUPLICATE),
    RCV_RESULT(DDERR_CANTLOCKSURFACE),
    RCV_RESULT(DDERR_CANTPAGELOCK),
    RCV_RESULT(DDERR_CANTPAGEUNLOCK),
    RCV_RESULT(DDERR_CLIPPERISUSINGHWND),
    RCV_RESULT(DDERR_COLORKEYNOTSET),
    RCV_RESULT(DDERR_CURRENTLYNOTAVAIL),
    RCV_RESULT(DDERR_DCALREADYCREATED),
    RCV_RESULT(DDERR_DEVICEDOESNTOWNSURFACE),
    RCV_RESULT(DDERR_DIRECTDRAWALREADYCREATED),
    RCV_RESULT(DDERR_EXCEPTION),
    RCV_RESULT(DDERR_EXCLUSIVEMODEALREADYSET),
    RCV_RESULT(DDERR_EXPIRED),
    RCV_RESULT(DDERR_GENERIC),
    RCV_RESULT(DDERR_HEIGHTALIGN),
    RCV_RESULT(DDERR_HWNDALREADYSET),
    RCV_RESULT(DDERR_HWNDSUBCLASSED),
    RCV_RESULT(DDERR_IMPLICITLYCREATED),
    RCV_RESULT(DDERR_INCOMPATIBLEPRIMARY),
    RCV_RESULT(DDERR_INVALIDCAPS),
    RCV_RESULT(DDERR_INVALIDCLIPLIST),
    RCV_RESULT(DDERR_INVALIDDIRECTDRAWGUID),
    RCV_RESULT(DDERR_INVALIDMODE),
    RCV_RESULT(DDERR_INVALIDOBJECT),
    RCV_RESULT(DDERR_INVALIDPARAMS),
    RCV_RESULT(DDERR_INVALIDPIXELFORMAT),
    RCV_RESULT(DDERR_INVALIDPOSITION),
    RCV_RESULT(DDERR_INVALIDRECT),
    RCV_RESULT(DDERR_INVALIDSTREAM),
    RCV_RESULT(DDERR_INVALIDSURFACETYPE),
    RCV_RESULT(DDERR_LOCKEDSURFACES),
    RCV_RESULT(DDERR_MOREDATA),
    RCV_RESULT(DDERR_NO3D),
    RCV_RESULT(DDERR_NOALPHAHW),
    RCV_RESULT(DDERR_NOBLTHW),
    RCV_RESULT(DDERR_NOCLIPLIST),
    RCV_RESULT(DDERR_NOCLIPPERATTACHED),
    RCV_RESULT(DDERR_NOCOLORCONVHW),
    RCV_RESULT(DDERR_NOCOLORKEY),
    RCV_RESULT(DDERR_NOCOLORKEYHW),
    RCV_RESULT(DDERR_NOCOOPERATIVELEVELSET),
    RCV_RESULT(DDERR_NODC),
    RCV_RESULT(DDERR_NODDROPSHW),
    RCV_RESULT(DDERR_NODIRECTDRAWHW),
    RCV_RESULT(DDERR_NODIRECTDRAWSUPPORT),
    RCV_RESULT(DDERR_NOEMULATION),
    RCV_RESULT(DDERR_NOEXCLUSIVEMODE),
    RCV_RESULT(DDERR_NOFLIPHW),
    RCV_RESULT(DDERR_NOFOCUSWINDOW),
    RCV_RESULT(DDERR_NOGDI),
    RCV_RESULT(DDERR_NOHWND),
    RCV_RESULT(DDERR_NOMIPMAPHW),
    RCV_RESULT(DDERR_NOMIRRORHW),
    RCV_RESULT(DDERR_NONONLOCALVIDMEM),
    RCV_RESULT(DDERR_NOOPTIMIZEHW),
    RCV_RESULT(DDERR_NOOVERLAYDEST),
    RCV_RESULT(DDERR_NOOVERLAYHW),
    RCV_RESULT(DDERR_NOPALETTEATTACHED),
    RCV_RESULT(DDERR_NOPALETTEHW),
    RCV_RESULT(DDERR_NORASTEROPHW),
    RCV_RESULT(DDERR_NOROTATIONHW),
    RCV_RESULT(DDERR_NOSTRETCHHW),
    RCV_RESULT(DDERR_NOT4BITCOLOR),
    RCV_RESULT(DDERR_NOT4BITCOLORINDEX),
    RCV_RESULT(DDERR_NOT8BITCOLOR),
    RCV_RESULT(DDERR_NOTAOVERLAYSURFACE),
    RCV_RESULT(DDERR_NOTEXTUREHW),
    RCV_RESULT(DDERR_NOTFLIPPABLE),
    RCV_RESULT(DDERR_NOTFOUND),
    RCV_RESULT(DDERR_NOTINITIALIZED),
    RCV_RESULT(DDERR_NOTLOADED),
    RCV_RESULT(DDERR_NOTLOCKED),
    RCV_RESULT(DDERR_NOTPAGELOCKED),
    RCV_RESULT(DDERR_NOTPALETTIZED),
    RCV_RESULT(DDERR_NOVSYNCHW),
    RCV_RESULT(DDERR_NOZBUFFERHW),
    RCV_RESULT(DDERR_NOZOVERLAYHW),
    RCV_RESULT(DDERR_OUTOFCAPS),
    RCV_RESULT(DDERR_OUTOFMEMORY),
    RCV_RESULT(DDERR_OUTOFVIDEOMEMORY),
    RCV_RESULT(DDERR_OVERLAPPINGRECTS),
    RCV_RESULT(DDERR_OVERLAYCANTCLIP),
    RCV_RESULT(DDERR_OVERLAYCOLORKEYONLYONEACTIVE),
    RCV_RESULT(DDERR_OVERLAYNOTVISIBLE),
    RCV_RESULT(DDERR_PALETTEBUSY),
    RCV_RESULT(DDERR_PRIMARYSURFACEALREADYEXISTS),
    RCV_RESULT(DDERR_REGIONTOOSMALL),
    RCV_RESULT(DDERR_SURFACEALREADYATTACHED),
    RCV_RESULT(DDERR_SURFACEALREADYDEPENDENT),
    RCV_RESULT(DDERR_SURFACEBUSY),
    RCV_RESULT(DDERR_SURFACEISOBSCURED),
    RCV_RESULT(DDERR_SURFACELOST),
    RCV_RESULT(DDERR_SURFACENOTATTACHED),
    RCV_RESULT(DDERR_TOOBIGHEIGHT),
    RCV_RESULT(DDERR_TOOBIGSIZE),
    RCV_RESULT(DDERR_TOOBIGWIDTH),
    RCV_RESULT(DDERR_UNSUPPORTED),
    RCV_RESULT(DDERR_UNSUPPORTEDFORMAT),
    RCV_RESULT(DDERR_UNSUPPORTEDMASK),
    RCV_RESULT(DDERR_UNSUPPORTEDMODE),
    RCV_RESULT(DDERR_VERTICALBLANKINPROGRESS),
    RCV_RESULT(DDERR_VIDEONOTACTIVE),
    RCV_RESULT(DDERR_WASSTILLDRAWING),
    RCV_RESULT(DDERR_WRONGMODE),
    RCV_RESULT(DDERR_XALIGN),
};
#undef RCV_RESULT
static_assert(sizeof kResultNames / sizeof kResultNames[0] == 110, "the table has 110 names");

const char* NameOf(HRESULT result)
{
    for (const ResultName& entry : kResultNames)
        if (entry.result == result) return entry.name;
    return "UNIDENTIFIED\n";
}
}  // namespace

void DDErrorName(HRESULT result, char* text, int size)
{
    if (!text || size <= 0) return;
    int used = static_cast<int>(strnlen(text, size - 1));
    lstrcpynA(text + used, NameOf(result), size - used);
}

YDXDraw::YDXDraw()
{
    Reset();
}

YDXDraw::~YDXDraw()
{
    Cleanup();
}

void YDXDraw::Reset()
{
    m_directDraw = nullptr;
    memset(&m_deviceGuid, 0, sizeof m_deviceGuid);
    m_mode = 1;
    m_lastResult = 0;
    m_errorText[0] = '\0';
    m_method[0] = '\0';
}

int YDXDraw::Create(GUID guid)
{
    YDXMethod method(m_method, "Create");
    if (m_directDraw) Cleanup();
    Reset();
    m_deviceGuid = guid;
    void* created = nullptr;
    HRESULT result = DirectDrawCreateEx(&m_deviceGuid, &created, IID_IDirectDraw7, nullptr);
    if (FAILED(result) || !created) {
        m_directDraw = nullptr;
        return 0;
    }
    m_directDraw = static_cast<IDirectDraw7*>(created);
    return 1;
}

int YDXDraw::SetMode(int mode, HWND window)
{
    YDXMethod method(m_method, "SetMode");
    if (!m_directDraw) return 0;
    m_mode = mode;
    if (mode == 0) m_lastResult = m_directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    else if (mode == 1) m_lastResult = m_directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    else return 1;
    if (m_lastResult != DD_OK) {
        GetErrorText();
        return 0;
    }
    return 1;
}

int YDXDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags)
{
    YDXMethod method(m_method, "SetDisplayMode");
    if (!m_directDraw) return 0;
    m_lastResult = m_directDraw->SetDisplayMode(width, height, bitsPerPixel, refreshRate, flags);
    if (m_lastResult != DD_OK) {
        GetErrorText();
        return 0;
    }
    return 1;
}

int YDXDraw::Cleanup()
{
    // Surfaces, clippers and palettes hold references of their own: drop only ours.
    if (m_directDraw) m_directDraw->Release();
    Reset();
    return 1;
}

const char* YDXDraw::GetErrorText()
{
    rcv_snprintf(m_errorText, YDX_ERROR_TEXT - 36, "[YDXDraw::%s] : ", m_method);
    DDErrorName(m_lastResult, m_errorText);
    return m_errorText;
}

void YDXDraw::GetResultName(HRESULT result, CString& out)
{
    out = NameOf(result);
}
