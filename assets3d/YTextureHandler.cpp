#include "assets3d/YTextureHandler.h"

#include <cstring>
#include <memory>

#include "assets3d/YTexture2.h"
#include "assets3d/YTextureData.h"
#include "foundation/YDataCollection.h"
#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YTextureHandler, YResource, 1)

namespace {
CString Joined(const CString& folder, const CString& name)
{
    return folder.IsEmpty() ? name : folder + "\\" + name;
}
}  // namespace

YTextureHandler::YTextureHandler() : m_pData(new YDataCollection(0, 1)) { m_variants.push_back(DefaultVariant()); }

YTextureHandler::~YTextureHandler()
{
    DeleteVariants();
    delete m_pData;
}

YTextureData* YTextureHandler::DefaultVariant()
{
    YTextureData* variant = new YTextureData;
    variant->m_pTexture = new YTexture2;
    return variant;
}

void YTextureHandler::DeleteVariants()
{
    for (YTextureData* variant : m_variants) delete variant;
    m_variants.clear();
}

void YTextureHandler::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD>(m_variants.size()));
        for (YTextureData* variant : m_variants) ar.WriteObject(variant);
    } else {
        DeleteVariants();
        m_iCurrent = 0;
        m_iSelectedFormat = -1;
        try {
            const DWORD count = ar.ReadCount();
            for (DWORD i = 0; i < count; ++i) {
                CObject* variant = ar.ReadOwnedObject(RUNTIME_CLASS(YTextureData));
                if (variant) m_variants.push_back(static_cast<YTextureData*>(variant));
            }
        } catch (CException*) {
            if (m_variants.empty()) m_variants.push_back(DefaultVariant());
            throw;
        }
        // The list is never empty; the first variant is ready to be loaded.
        if (m_variants.empty()) m_variants.push_back(new YTextureData);
        delete m_variants[0]->m_pTexture;
        m_variants[0]->m_pTexture = new YTexture2;
    }
    m_pData->Serialize(ar);
}

BOOL YTextureHandler::LoadFromDirectories(CStringArray* folders, DWORD_PTR load)
{
    if (!folders) return FALSE;
    for (int i = 0; i < folders->GetSize(); ++i)
        if (LoadFromPath(folders->GetAt(i), load)) return TRUE;
    return FALSE;
}

BOOL YTextureHandler::LoadFromPath(const CString& folder, DWORD_PTR load)
{
    YTextureData* variant = Variant(-1);
    if (!variant || variant->m_strFileName.IsEmpty()) return FALSE;
    const CString path = Joined(folder, variant->m_strFileName);
    if (GetFileAttributes(path) == INVALID_FILE_ATTRIBUTES) return FALSE;
    m_strFolder = folder;
    if (load) {
        if (!variant->m_pTexture) variant->m_pTexture = new YTexture2;
        if (!variant->m_pTexture->LoadFile(path, 1)) {
            AfxMessageBox("File load failed");
            AfxThrowUserException();
        }
        if (variant->m_pTexture->GetNumFormats() >= 1) m_iSelectedFormat = 0;
    }
    return TRUE;
}

int YTextureHandler::Accept(YResourceVisitor* visitor) { return visitor->VisitTextureHandler(this); }

YTextureData* YTextureHandler::Variant(int index) const
{
    if (index == -1) index = m_iCurrent;
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_variants[static_cast<size_t>(index)];
}

YTexture2* YTextureHandler::GetTexture(int index) const
{
    YTextureData* variant = Variant(index);
    return variant ? variant->m_pTexture : nullptr;
}

int YTextureHandler::GetFileName(CString& name, int index) const
{
    YTextureData* variant = Variant(index);
    if (!variant) return 0;
    name = Joined(m_strFolder, variant->m_strFileName);
    return 1;
}

int YTextureHandler::GetDays(LONG& first, LONG& last, int index) const
{
    YTextureData* variant = Variant(index);
    if (!variant) return 0;
    first = variant->m_iFirstDay;
    last = variant->m_iLastDay;
    return 1;
}

int YTextureHandler::GetScale(float& scale1, float& scale2, int index) const
{
    YTextureData* variant = Variant(index);
    if (!variant) return 0;
    scale1 = variant->m_fScale1;
    scale2 = variant->m_fScale2;
    return 1;
}

int YTextureHandler::SetDays(LONG first, LONG last, int index)
{
    YTextureData* variant = Variant(index);
    if (!variant) return 0;
    variant->m_iFirstDay = first;
    variant->m_iLastDay = last;
    return 1;
}

int YTextureHandler::SetScale(float scale1, float scale2, int index)
{
    YTextureData* variant = Variant(index);
    if (!variant) return 0;
    variant->m_fScale1 = scale1;
    variant->m_fScale2 = scale2;
    return 1;
}

int YTextureHandler::SetFileName(const char* name, int index)
{
    YTextureData* variant = Variant(index);
    if (!variant) return 0;
    variant->m_strFileName = name ? name : "";
    return 1;
}

int YTextureHandler::AddTexture()
{
    m_variants.push_back(DefaultVariant());
    m_iCurrent = GetCount() - 1;
    return m_iCurrent;
}

int YTextureHandler::RemoveTexture(int index)
{
    if (index == -1) index = m_iCurrent;
    if (index < 0 || index >= GetCount()) return 0;
    delete m_variants[static_cast<size_t>(index)];
    m_variants.erase(m_variants.begin() + index);
    if (m_variants.empty()) m_variants.push_back(DefaultVariant());
    SelectTexture(GetCount() - 1);
    return 1;
}

int YTextureHandler::SetCurrent(int index)
{
    if (index < 0 || index >= GetCount()) return 0;
    m_iCurrent = index;
    return 1;
}

int YTextureHandler::SelectTexture(int index)
{
    if (index < 0 || index >= GetCount()) return 0;
    YTextureData* variant = m_variants[static_cast<size_t>(index)];
    if (!variant->m_pTexture) variant->m_pTexture = new YTexture2;
    m_iCurrent = index;
    return LoadFromPath(m_strFolder, 1) ? 1 : 0;
}

void YTextureHandler::Save(int index)
{
    YTextureData* variant = Variant(index);
    CString path;
    if (!variant || !variant->m_pTexture || !GetFileName(path, index) || !variant->m_pTexture->SaveFile(path))
        AfxThrowUserException();
}

YTextureFormat* YTextureHandler::GetSelectedFormat() const
{
    YTexture2* texture = GetTexture(-1);
    if (!texture || m_iSelectedFormat < 0 || m_iSelectedFormat >= texture->GetNumFormats()) return nullptr;
    return texture->m_formats[static_cast<size_t>(m_iSelectedFormat)];
}

YTextureFormat* YTextureHandler::FindFormat(const char* name) const
{
    YTexture2* texture = GetTexture(-1);
    if (!texture || !name) return nullptr;
    for (YTextureFormat* format : texture->m_formats)
        if (std::strcmp(format->m_strName.GetBuffer(), name) == 0) return format;
    return nullptr;
}

int YTextureHandler::ImportFormat(const char* fileName, YTextureFormat* format)
{
    YTexture2* texture = GetTexture(-1);
    if (!texture || !texture->ImportImageFormat(format, fileName)) return 0;
    m_iSelectedFormat = 0;
    return 1;
}

int YTextureHandler::CopySelectedFormat(YTextureFormat* format)
{
    std::unique_ptr<YTextureFormat> owned(format);
    YTexture2* texture = GetTexture(-1);
    YTextureFormat* selected = GetSelectedFormat();
    if (!texture || !selected || !format || !texture->AddFormat(format)) return 0;
    owned.release();
    std::vector<BYTE> colour, alpha;
    for (int16_t level = 0; level < selected->m_iMIPDepth && level < format->m_iMIPDepth; ++level) {
        const int size = selected->GetLayerRGB(level, nullptr, 1);
        if (size <= 0) continue;
        colour.assign(static_cast<size_t>(size), 0);
        // Exchange pixels; a palettised copy takes its palette's nearest entries.
        if (selected->GetLayerRGB(level, colour.data(), 1) == 0) format->StoreLayerRGB(level, colour.data());
        if (selected->HasAlpha() && format->HasAlpha()) {
            const int alphaSize = selected->GetLayerAlpha(level, nullptr);
            if (alphaSize <= 0) continue;
            alpha.assign(static_cast<size_t>(alphaSize), 0);
            if (selected->GetLayerAlpha(level, alpha.data()) == 0) format->SetLayerAlpha(level, alpha.data());
        }
    }
    return 1;
}

const YString& YTextureHandler::GetValue(const char* name) const { return m_pData->GetValue(name); }

int YTextureHandler::SetValue(const char* name, const char* value) { return m_pData->Set(name, value); }

const YString& YTextureHandler::GetValueName(int index) const { return m_pData->GetName(index); }

const YString& YTextureHandler::GetValueAt(int index) const { return m_pData->GetValue(index); }

int YTextureHandler::GetValueCount() const { return m_pData->GetSize(); }
