// Shows one image of a list of names at a time.  The selected image is
// loaded on demand (a name beginning with "id;" from the catalog, any other
// from the image folder) into resource 0, and takes the place of the one
// before it in the packed source surface.
#pragma once

#include "gui/YWindow.h"

class YMultiImage : public YWindow {
    DECLARE_SERIAL(YMultiImage)
public:
    YMultiImage();

    using YWindow::Draw;
    using YWindow::LoadFromFile;

    // Image folder := the catalog base + directory; shows image 0.
    int LoadFromCatalog(const char* directory, int flag) override;
    int LoadFromFile(const CStringArray& directories, int flag) override;
    int Accept(YResourceVisitor* visitor) override;
    int Draw(YDC* dc) override;

    // Hands the shown image back and loads name index in its place.
    void SelectImage(int index);
    int GetImageCount() const { return static_cast<int>(m_resourceNames.GetCount()); }
    int GetCurrentIndex() const { return m_current; }
    void SetDirectory(const char* directory) { m_directory = directory ? directory : ""; }
    const CString& GetDirectory() const { return m_directory; }
    // The folder new multi-images start with.
    static void SetDefaultDirectory(const char* directory);

protected:
    // The image of the name, or null.
    YResource* LoadImage(const CString& name);

    int32_t m_current;
    CString m_directory;
};
