#include "platform/mfc.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (!object || m_hObject) return FALSE;
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour) { return Attach(::CreatePen(style, width, colour)); }

BOOL CBrush::CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }

BOOL CFont::CreateFontIndirect(const LOGFONTA* font) { return Attach(::CreateFontIndirectA(font)); }

BOOL CFont::CreatePointFont(int pointSize, LPCSTR faceName)
{
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    // Tenths of a point to pixels at 96 dpi; negative asks for the character height.
    font.lfHeight = -MulDiv(pointSize, 96, 720);
    font.lfWeight = FW_NORMAL;
    font.lfQuality = NONANTIALIASED_QUALITY;
    if (faceName) lstrcpynA(font.lfFaceName, faceName, LF_FACESIZE);
    return CreateFontIndirect(&font);
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    return Attach(::CreateRectRgn(left, top, right, bottom));
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rect) { return Attach(::CreateRectRgnIndirect(rect)); }
