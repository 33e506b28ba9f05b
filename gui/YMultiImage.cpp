#include "gui/YMultiImage.h"

#include "foundation/YCatalog.h"
#include "foundation/YResourceFactory.h"
#include "foundation/YResourceVisitor.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YMultiImage, YWindow, 1)

namespace {

enum { kCatalogTypeImage = 1 };

CString& DefaultDirectory()
{
    static CString directory;
    return directory;
}

}  // namespace

YMultiImage::YMultiImage() : m_current(-1), m_directory(DefaultDirectory()) {}

void YMultiImage::SetDefaultDirectory(const char* directory) { DefaultDirectory() = directory ? directory : ""; }

int YMultiImage::Accept(YResourceVisitor* visitor) { return visitor->VisitMultiImage(this); }

YResource* YMultiImage::LoadImage(const CString& name)
{
    if (name.Left(3) == "id;") {
        if (s_catalog) return s_catalog->GetResource(kCatalogTypeImage, name.Mid(3), 0);
    }
    const CString path = m_directory.IsEmpty() ? name : m_directory + "\\" + name;
    try {
        YResourceFactory factory;
        return factory.CreateAndLoad(kCatalogTypeImage, "", path);
    } catch (CFileException* e) {
        delete YResourceFactory::GetLoadingResource();
        YResourceFactory::ClearLoadingResource();
        e->Delete();
        return nullptr;
    }
}

void YMultiImage::SelectImage(int index)
{
    // The image already shown stays; one that was handed back is loaded again.
    if (index == m_current && (index < 0 || GetResourceAt(0))) return;
    YResource* old = GetResourceAt(0);
    YDC* source = m_privateSource ? m_privateSource : s_defaultSource;
    RECT bounds = {0, 0, 0, 0};
    const bool remembered = old && source && old->GetBounds(bounds);
    m_current = index;
    if (index < 0 || m_resourceNames.IsEmpty()) return;
    POSITION at = m_resourceNames.FindIndex(index);
    if (!at) return;
    const CString name = m_resourceNames.GetAt(at);
    if (old) {
        // The slot is emptied first: a failed load leaves nothing to draw.
        SetResourceAt(0, nullptr, false);
        if (!s_catalog || !s_catalog->ReleaseResource(old)) delete old;
    }
    YResource* image = LoadImage(name);
    if (!image) {
        CString message;
        message.Format("Failed to load file %s!", (const char*)name);
        AfxMessageBox(message);
        return;
    }
    SetResourceAt(0, image, false);
    if (remembered) {
        source->DrawResource(&bounds, image, 0, 0);
        image->SetBounds(bounds);
    }
}

int YMultiImage::LoadFromCatalog(const char* directory, int flag)
{
    m_directory = GetCatalogBasePath() + (directory ? directory : "");
    SelectImage(0);
    int result = 1;
    for (int i = 0; i < GetChildCount(); ++i) result &= GetChild(i)->LoadFromCatalog(directory, flag);
    return result;
}

int YMultiImage::LoadFromFile(const CStringArray& directories, int flag)
{
    SelectImage(0);
    int result = 1;
    for (int i = 0; i < GetChildCount(); ++i) result &= GetChild(i)->LoadFromFile(directories, flag);
    return result;
}

int YMultiImage::Draw(YDC* dc)
{
    if (!m_visible) return 0;
    if (!dc) return YWindow::Draw(dc);
    DrawResource(dc, &m_rect, 0);
    for (int i = 0; i < GetChildCount(); ++i) GetChild(i)->Draw(dc);
    m_lastDC = dc;
    return 0;
}
