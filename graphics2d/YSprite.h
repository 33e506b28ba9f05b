// The catalog sprite: an ordered list of frames whose bitmaps are stacked
// top to bottom into one surface.  The sprite draws its current frame from
// that surface, placed by the frame's hot spot and clipped to the target.
#pragma once

#include "foundation/YResource.h"
#include "graphics2d/YFrameList.h"

class YDXPalette;

class YSprite : public YResource {
    DECLARE_SERIAL(YSprite)
public:
    YSprite();
    ~YSprite() override;

    // Frames stacked into the sprite's surface are at most this tall in all.
    enum { kMaxStack = 1 << 20 };

    // Loading refuses a sprite whose position, size or half size is out of
    // range, or whose frames would not stack within kMaxStack.
    void Serialize(CArchive& ar) override;
    bool IsSane();
    void OnNotify(DWORD value) override;
    // Into target (a new sprite when null), frames copied.
    YResource* CopyTo(YResource* target) override;
    // The first folder holding the first frame's picture becomes the image
    // directory.  The context word is the display (a YDXDraw*) the surface
    // is made on; without one the surface waits for CreateSurfaces.
    BOOL LoadFromDirectories(CStringArray* directories, DWORD_PTR context) override;
    BOOL LoadFromPath(const CString& directory, DWORD_PTR context) override;
    // Draws the current frame at the sprite's position.
    BOOL Draw(YDXSurface* target) override;
    LONG GetWidth() override { return m_width; }
    LONG GetHeight() override { return m_height; }
    BOOL Restore(YDXDraw* display) override;
    BOOL ReleaseSurfaces() override;
    BOOL CreateSurfaces(YDXDraw* display) override;
    int Accept(YResourceVisitor* visitor) override;

    // Reads the sprite from a file into a surface the caller keeps.
    virtual int Load(const char* fileName, YDXSurface* surface);
    // Reads the sprite from a file and builds its own surface; without a
    // name the surface is built from the frames the sprite holds.
    virtual int Load(const char* fileName, YDXDraw* display);
    virtual int DrawClipped(YDXSurface* target, POINT position, const RECT* clip);
    virtual int DrawAt(YDXSurface* target, int x, int y);
    virtual int DrawRect(YDXSurface* target, const RECT* rect);
    virtual int Draw(YDXSurface* target, const RECT* clip);
    virtual void Reset();
    virtual void Clear();
    virtual void DeleteFrames();
    virtual void ReleaseSurface();
    // The first frame before frame with the same image name, or null.
    virtual YFrame* FindSameImage(YFrame* frame);
    // Moves the edges of dst that lie outside clip onto it, and those of
    // src by as much (half as much for a half-size sprite); 0 when nothing
    // is left.
    virtual int ClipRects(RECT* dst, RECT* src, const RECT* clip);
    virtual int CreateSurface(YDXDraw* display);
    virtual int DrawFramesToSurface(const char* dir);

    // Before index i (appended for i < 0); 0 when there is no frame i.
    int InsertFrame(YFrame* frame, int i);
    int RemoveFrame(int i);
    void MoveFrame(int from, int to);
    RECT GetScreenRect();
    RECT GetScreenFocusRect();

    YFrameList& GetFrames() { return m_frames; }
    // Appends a frame the sprite then owns; the size is left as it is.
    void AddFrame(YFrame* frame) { m_frames.AddTail(frame); }
    YFrame* GetFrame(int i);
    YFrame* GetCurrentFrame() { return GetFrame(m_currentFrame); }
    int GetFrameCount() const { return static_cast<int>(m_frames.GetCount()); }
    void SetCurrentFrame(int i) { m_currentFrame = i; }
    int GetCurrentFrameIndex() const { return m_currentFrame; }
    void SetPosition(LONG x, LONG y) { m_x = x, m_y = y; }
    YDXSurface* GetSurface() const { return m_pSrcSurface; }
    int OwnsSurface() const { return m_bOwnSurface != 0; }
    const CString& GetImageDirectory() const { return m_imageDirectory; }
    void SetImageDirectory(const CString& directory) { m_imageDirectory = directory; }
    void SetMirror(DWORD leftRight, DWORD upDown) { m_mirrorLeftRight = leftRight, m_mirrorUpDown = upDown; }

    LONG m_x;
    LONG m_y;
    LONG m_valueA;
    LONG m_width;
    LONG m_height;
    LONG m_valueB;
    CString m_name;
    CString m_secondName;
    LONG m_halfSize;
    LONG m_valueC;
    LONG m_valueD;
    CString m_paletteImage;
    BYTE m_usePalette;

private:
    // Copies the current frame from dst/src once both are clipped to the target.
    int DrawFrame(YDXSurface* target, RECT dst, RECT src, const RECT* clip);
    // The display an existing surface draws on, for loads that bring none.
    // The display in the context word, else the one the surface was made on.
    YDXDraw* SurfaceDisplay(DWORD_PTR context) const;

    YFrameList m_frames;
    int32_t m_currentFrame;
    YDXSurface* m_pSrcSurface;
    uint32_t m_bOwnSurface;
    COLORREF m_transparentColor;
    CString m_imageDirectory;
    uint32_t m_mirrorLeftRight;
    uint32_t m_mirrorUpDown;
};
