#include "graphics2d/YSprite.h"

#include <algorithm>
#include <set>
#include <string>

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXPalette.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFrame.h"

IMPLEMENT_SERIAL(YSprite, YResource, VERSIONABLE_SCHEMA | 2)

namespace {
CString JoinPath(const CString& folder, const CString& name, const char* separator)
{
    if (folder.IsEmpty()) return name;
    return folder + separator + name;
}
}  // namespace

YSprite::YSprite() : m_pSrcSurface(nullptr), m_bOwnSurface(0) { Reset(); }

YSprite::~YSprite() { Clear(); }

void YSprite::Reset()
{
    m_x = m_y = 0;
    m_valueA = 0;
    m_currentFrame = 0;
    m_width = m_height = 0;
    m_valueB = 0;
    m_name.Empty();
    m_secondName.Empty();
    m_transparentColor = 0x00FF00FF;
    m_imageDirectory.Empty();
    m_halfSize = 0;
    m_valueC = 0;
    m_mirrorLeftRight = m_mirrorUpDown = 0;
    m_valueD = 0;
    m_paletteImage.Empty();
    m_usePalette = 0;
}

void YSprite::Clear()
{
    ReleaseSurface();
    DeleteFrames();
}

void YSprite::DeleteFrames()
{
    while (!m_frames.IsEmpty()) delete m_frames.RemoveHead();
}

void YSprite::ReleaseSurface()
{
    if (m_bOwnSurface) delete m_pSrcSurface;
    m_pSrcSurface = nullptr;
    m_bOwnSurface = 0;
}

void YSprite::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        YResource::Serialize(ar);
        ar << m_name << m_x << m_y << m_valueA << m_width << m_height << m_valueB << m_valueC << m_halfSize;
        ar.WriteCount(m_frames.GetCount());
        for (POSITION pos = m_frames.GetHeadPosition(); pos;) ar.WriteObject(m_frames.GetNext(pos));
        return;
    }
    UINT schema = ar.GetObjectSchema();
    if (schema == (UINT)-1) schema = 2;
    if (schema > 2) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    YResource::Serialize(ar);
    if (schema >= 1) {
        ar >> m_name >> m_x >> m_y >> m_valueA >> m_width >> m_height >> m_valueB;
        if (schema >= 2) ar >> m_valueC >> m_halfSize;
    }
    DeleteFrames();
    DWORD count = ar.ReadCount();
    // Each frame is the sprite's own: a reference to one read before is refused.
    for (DWORD i = 0; i < count; ++i) {
        YFrame* frame = static_cast<YFrame*>(ar.ReadOwnedObject(RUNTIME_CLASS(YFrame)));
        if (frame) m_frames.AddTail(frame);
    }
    if (!IsSane()) AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
}

bool YSprite::IsSane()
{
    for (LONG value : {m_x, m_y, m_width, m_height})
        if (!YFrame::InExtent(value)) return false;
    if (m_width < 0 || m_height < 0 || m_halfSize < 0 || m_halfSize > 1) return false;
    // The frames stacked into one surface (each picture once) must fit too.
    std::set<std::string> pictures;
    long long stack = 0;
    for (POSITION pos = m_frames.GetHeadPosition(); pos;) {
        YFrame* frame = m_frames.GetNext(pos);
        if (pictures.insert(std::string(static_cast<LPCTSTR>(frame->m_imageName))).second) stack += frame->GetHeight();
    }
    return stack <= kMaxStack;
}

void YSprite::OnNotify(DWORD) { ReleaseSurface(); }

int YSprite::Accept(YResourceVisitor* visitor) { return visitor->VisitSprite(this); }

YFrame* YSprite::GetFrame(int i)
{
    if (i < 0 || i >= GetFrameCount()) return nullptr;
    POSITION pos = m_frames.FindIndex(i);
    return pos ? m_frames.GetAt(pos) : nullptr;
}

YResource* YSprite::CopyTo(YResource* target)
{
    if (!target) target = new YSprite;
    YSprite* sprite = DYNAMIC_DOWNCAST(YSprite, target);
    if (!sprite) return target;
    YResource::CopyTo(sprite);
    sprite->m_width = m_width;
    sprite->m_height = m_height;
    sprite->m_valueB = m_valueB;
    sprite->m_valueC = m_valueC;
    sprite->m_valueD = m_valueD;
    sprite->m_name = m_name;
    sprite->m_secondName = m_secondName;
    sprite->m_imageDirectory = m_imageDirectory;
    sprite->m_paletteImage = m_paletteImage;
    sprite->m_usePalette = m_usePalette;
    sprite->m_halfSize = m_halfSize;
    sprite->m_mirrorLeftRight = m_mirrorLeftRight;
    sprite->m_mirrorUpDown = m_mirrorUpDown;
    sprite->Clear();
    if (m_pSrcSurface && m_pSrcSurface->GetSurface()) {
        YDXSurface* surface = new YDXSurface(m_pSrcSurface->GetName().GetBuffer());
        YDXDraw* display = m_pSrcSurface->GetDisplay();
        const DWORD width = m_pSrcSurface->GetWidth(), height = m_pSrcSurface->GetHeight();
        const DDSURFACEDESC2& desc = m_pSrcSurface->GetDescription();
        int made = m_pSrcSurface->IsAlphaSource()
                       ? surface->CreateAlphaSource(display, width, height)
                       : surface->CreateSurface(display, width, height, desc.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY,
                                                nullptr, 0, &desc.ddpfPixelFormat);
        if (made) {
            surface->SetTransparentColor(sprite->m_transparentColor);
            surface->Clear(nullptr, 0);
            surface->Blt(m_pSrcSurface, nullptr, nullptr, 0, 0, 0);
            sprite->m_pSrcSurface = surface;
            sprite->m_bOwnSurface = 1;
        } else {
            delete surface;
        }
    }
    for (POSITION pos = m_frames.GetHeadPosition(); pos;)
        sprite->m_frames.AddTail(static_cast<YFrame*>(m_frames.GetNext(pos)->CopyTo(nullptr)));
    return sprite;
}

YDXDraw* YSprite::SurfaceDisplay(DWORD_PTR context) const
{
    if (context) return reinterpret_cast<YDXDraw*>(context);
    return m_pSrcSurface ? m_pSrcSurface->GetDisplay() : nullptr;
}

BOOL YSprite::LoadFromDirectories(CStringArray* directories, DWORD_PTR context)
{
    if (m_frames.IsEmpty()) return TRUE;
    if (!directories) return FALSE;
    const CString first = m_frames.GetHead()->m_imageName;
    for (int i = 0; i < directories->GetSize(); ++i) {
        const CString folder = directories->GetAt(i);
        const CString path = folder + "/" + first;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) continue;
        m_imageDirectory = folder;
        YDXDraw* display = SurfaceDisplay(context);
        if (!display) return TRUE;
        if (!CreateSurface(display)) return FALSE;
        return DrawFramesToSurface(folder);
    }
    return FALSE;
}

BOOL YSprite::LoadFromPath(const CString& directory, DWORD_PTR context)
{
    YDXDraw* display = SurfaceDisplay(context);
    if (!display) {
        if (!directory.IsEmpty()) m_imageDirectory = directory;
        return TRUE;
    }
    return CreateSurface(display) && DrawFramesToSurface(directory);
}

BOOL YSprite::Restore(YDXDraw* display)
{
    if (!m_pSrcSurface || !m_bOwnSurface) return FALSE;
    if (m_pSrcSurface->Restore(display)) return DrawFramesToSurface(nullptr);
    ReleaseSurface();
    return CreateSurface(display) && DrawFramesToSurface(nullptr);
}

BOOL YSprite::ReleaseSurfaces()
{
    ReleaseSurface();
    return TRUE;
}

BOOL YSprite::CreateSurfaces(YDXDraw* display) { return CreateSurface(display) && DrawFramesToSurface(nullptr); }

int YSprite::Load(const char* fileName, YDXSurface* surface)
{
    try {
        CFile file(fileName, CFile::modeRead | CFile::shareDenyWrite);
        CArchive ar(&file, CArchive::load);
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    ReleaseSurface();
    m_pSrcSurface = surface;
    m_bOwnSurface = 0;
    return DrawFramesToSurface(nullptr);
}

int YSprite::Load(const char* fileName, YDXDraw* display)
{
    // No file: the frames already held make the surface.
    if (!fileName || !*fileName) return CreateSurface(display) && DrawFramesToSurface(nullptr);
    try {
        CFile file(fileName, CFile::modeRead | CFile::shareDenyWrite);
        CArchive ar(&file, CArchive::load);
        Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    return CreateSurface(display) && DrawFramesToSurface(nullptr);
}

YFrame* YSprite::FindSameImage(YFrame* frame)
{
    if (!frame) return nullptr;
    for (POSITION pos = m_frames.GetHeadPosition(); pos;) {
        YFrame* earlier = m_frames.GetNext(pos);
        if (earlier == frame) return nullptr;
        if (earlier->m_imageName.Compare(frame->m_imageName) == 0) return earlier;
    }
    return nullptr;
}

int YSprite::CreateSurface(YDXDraw* display)
{
    if (!display || m_width == 0 || m_height == 0) return 0;
    LONG stackWidth = 0, stackHeight = 0;
    CString lastPicture;
    for (POSITION pos = m_frames.GetHeadPosition(); pos;) {
        YFrame* frame = m_frames.GetNext(pos);
        if (FindSameImage(frame)) continue;
        lastPicture = JoinPath(m_imageDirectory, frame->m_imageName, "\\");
        if (m_usePalette) m_paletteImage = lastPicture;
        if (m_halfSize && !frame->m_halfSizeSuffix.IsEmpty()) {
            stackWidth = std::max(stackWidth, frame->GetWidth() / 2);
            stackHeight += frame->GetHeight() / 2;
        } else {
            stackWidth = std::max(stackWidth, frame->GetWidth());
            stackHeight += frame->GetHeight();
        }
    }
    ReleaseSurface();
    m_pSrcSurface = new YDXSurface(CString("Sprite ") + m_name);
    m_bOwnSurface = 1;

    YDXPalette palette;
    bool havePalette = false, alpha = false;
    if (!lastPicture.IsEmpty()) {
        YDIB dib;
        if (dib.LoadFromFile(static_cast<LPCTSTR>(lastPicture))) {
            if (m_usePalette) havePalette = palette.CreatePalette(&dib, display, 0) != 0;
            else alpha = dib.GetHeader()->biBitCount == 32;
        }
    }
    if (stackWidth > 0 && stackHeight > 0) {
        if (alpha)
            m_pSrcSurface->CreateAlphaSource(display, static_cast<DWORD>(stackWidth), static_cast<DWORD>(stackHeight));
        else
            m_pSrcSurface->CreateSurface(display, static_cast<DWORD>(stackWidth), static_cast<DWORD>(stackHeight),
                                         DDSCAPS_SYSTEMMEMORY, havePalette ? &palette : nullptr, 0, nullptr);
    }
    if (m_pSrcSurface->GetSurface()) return 1;
    ReleaseSurface();
    return 0;
}

int YSprite::DrawFramesToSurface(const char* dir)
{
    if (!m_pSrcSurface) return 0;
    if (dir && *dir) m_imageDirectory = dir;
    // Parts of the stack no frame covers stay transparent.
    m_pSrcSurface->SetTransparentColor(m_transparentColor);
    m_pSrcSurface->Clear(nullptr, 0);
    LONG y = 0;
    for (POSITION pos = m_frames.GetHeadPosition(); pos;) {
        YFrame* frame = m_frames.GetNext(pos);
        if (YFrame* same = FindSameImage(frame)) {
            frame->m_tag = same->m_tag;
            frame->m_frameRect = same->m_frameRect;
            frame->m_hotSpot = same->m_hotSpot;
            frame->m_imageName = same->m_imageName;
            frame->m_focusRect = same->m_focusRect;
            frame->m_halfSize = same->m_halfSize;
            frame->m_halfSizeSuffix = same->m_halfSizeSuffix;
            continue;
        }
        const LONG width = frame->GetWidth(), height = frame->GetHeight();
        if (m_halfSize && !frame->m_halfSizeSuffix.IsEmpty()) {
            frame->m_frameRect = RECT{0, y, width / 2, y + height / 2};
            frame->m_halfSize = static_cast<DWORD>(m_halfSize);
            y += height / 2;
        } else {
            frame->m_frameRect = RECT{0, y, width, y + height};
            y += height;
        }
        frame->DrawImageToSurface(m_pSrcSurface, m_imageDirectory);
    }
    m_pSrcSurface->SetTransparentColor(m_transparentColor);
    return 1;
}

int YSprite::ClipRects(RECT* dst, RECT* src, const RECT* clip)
{
    if (!clip) return 1;
    if (!dst || !src) return 0;
    // A half-size sprite's source moves half as far as the destination.
    const double f = 1.0 - 0.5 * m_halfSize;
    auto move = [f](LONG& edge, LONG distance) { edge += static_cast<LONG>(f * distance); };
    if (dst->left < clip->left) {
        move(src->left, clip->left - dst->left);
        dst->left = clip->left;
    }
    if (dst->top < clip->top) {
        move(src->top, clip->top - dst->top);
        dst->top = clip->top;
    }
    if (dst->right > clip->right) {
        move(src->right, clip->right - dst->right);
        dst->right = clip->right;
    }
    if (dst->bottom > clip->bottom) {
        move(src->bottom, clip->bottom - dst->bottom);
        dst->bottom = clip->bottom;
    }
    return dst->right - dst->left >= 1 && dst->bottom - dst->top > 0;
}

int YSprite::DrawFrame(YDXSurface* target, RECT dst, RECT src, const RECT* clip)
{
    const RECT bounds = {0, 0, static_cast<LONG>(target->GetWidth()), static_cast<LONG>(target->GetHeight())};
    if (!ClipRects(&dst, &src, &bounds)) return 0;
    if (clip && !ClipRects(&dst, &src, clip)) return 0;
    if (m_pSrcSurface->IsAlphaSource()) return target->BltAlpha(m_pSrcSurface, dst.left, dst.top, &src);
    return target->Blt(m_pSrcSurface, &dst, &src, 1, static_cast<int>(m_mirrorLeftRight),
                       static_cast<int>(m_mirrorUpDown));
}

int YSprite::Draw(YDXSurface* target, const RECT* clip)
{
    YFrame* frame = GetCurrentFrame();
    if (!target || !m_pSrcSurface || !frame) return 0;
    const POINT hot = frame->GetHotSpot();
    RECT dst = {m_x - hot.x, m_y - hot.y, m_x - hot.x + frame->GetWidth(), m_y - hot.y + frame->GetHeight()};
    return DrawFrame(target, dst, frame->m_frameRect, clip);
}

BOOL YSprite::Draw(YDXSurface* target) { return Draw(target, nullptr); }

int YSprite::DrawAt(YDXSurface* target, int x, int y)
{
    YFrame* frame = GetCurrentFrame();
    if (!target || !m_pSrcSurface || !frame) return 0;
    const POINT hot = frame->GetHotSpot();
    RECT dst = {x - hot.x, y - hot.y, x - hot.x + frame->GetWidth(), y - hot.y + frame->GetHeight()};
    return DrawFrame(target, dst, frame->m_frameRect, nullptr);
}

int YSprite::DrawRect(YDXSurface* target, const RECT* rect)
{
    YFrame* frame = GetCurrentFrame();
    if (!target || !m_pSrcSurface || !frame || !rect) return 0;
    const POINT hot = frame->GetHotSpot();
    RECT dst = *rect;
    OffsetRect(&dst, -hot.x, -hot.y);
    return DrawFrame(target, dst, frame->m_frameRect, nullptr);
}

int YSprite::DrawClipped(YDXSurface* target, POINT position, const RECT* clip)
{
    YFrame* frame = GetCurrentFrame();
    if (!target || !m_pSrcSurface || !frame) return 0;
    RECT src = frame->m_frameRect;
    if (clip) {
        RECT moved = *clip;
        OffsetRect(&moved, frame->m_frameRect.left, frame->m_frameRect.top);
        if (!IntersectRect(&src, &frame->m_frameRect, &moved)) return 0;
    }
    const LONG scale = frame->m_halfSize ? 2 : 1;
    RECT dst = {position.x, position.y, position.x + (src.right - src.left) * scale,
                position.y + (src.bottom - src.top) * scale};
    return DrawFrame(target, dst, src, nullptr);
}

int YSprite::InsertFrame(YFrame* frame, int i)
{
    if (!frame) return 0;
    if (i < 0) {
        m_frames.AddTail(frame);
    } else {
        POSITION pos = m_frames.FindIndex(i);
        if (!pos) return 0;
        m_frames.InsertBefore(pos, frame);
    }
    m_width = std::max(m_width, frame->GetWidth());
    m_height += frame->GetHeight();
    return 1;
}

int YSprite::RemoveFrame(int i)
{
    if (i < 0) return 0;
    POSITION pos = m_frames.FindIndex(i);
    if (!pos) return 1;
    YFrame* frame = m_frames.GetAt(pos);
    m_frames.RemoveAt(pos);
    m_height = std::max<LONG>(0, m_height - frame->GetHeight());
    delete frame;
    return 1;
}

void YSprite::MoveFrame(int from, int to)
{
    POSITION pos = from >= 0 ? m_frames.FindIndex(from) : nullptr;
    if (!pos) return;
    YFrame* frame = m_frames.GetAt(pos);
    m_frames.RemoveAt(pos);
    if (!InsertFrame(frame, to)) InsertFrame(frame, -1);
}

RECT YSprite::GetScreenRect()
{
    YFrame* frame = GetCurrentFrame();
    if (!frame) return RECT{m_x, m_y, m_x, m_y};
    const POINT hot = frame->GetHotSpot();
    return RECT{m_x - hot.x, m_y - hot.y, m_x - hot.x + frame->GetWidth(), m_y - hot.y + frame->GetHeight()};
}

RECT YSprite::GetScreenFocusRect()
{
    YFrame* frame = GetCurrentFrame();
    if (!frame) return RECT{0, 0, 0, 0};
    const RECT& focus = frame->m_focusRect;
    if (focus.right == focus.left || focus.bottom == focus.top) return RECT{0, 0, 0, 0};
    const RECT screen = GetScreenRect();
    RECT moved = focus;
    OffsetRect(&moved, screen.left, screen.top);
    return moved;
}
