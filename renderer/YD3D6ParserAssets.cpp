// The renderer's asset tables: textures by their three name forms, the
// catalog texture handlers, 3D models by file and 2D catalog models.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "assets3d/YTexture2.h"
#include "assets3d/YTextureHandler.h"
#include "engine/YGameObjects.h"
#include "foundation/YCatalog.h"
#include "graphics2d/NameHash8.h"
#include "graphics2d/YModel.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YParseModelItem.h"

namespace {
const int kHandlerType = 24;
const int kCatalogModelType = 19;
const size_t kMaxTextures = 32767;
// Parent and detail requests nest; a chain of textures naming each other
// by ever new names stops here.
const int kMaxNesting = 8;

std::string Reversed(const char* name)
{
    std::string text(name ? name : "");
    std::reverse(text.begin(), text.end());
    return text;
}

bool StartsWith(const char* text, const char* prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

bool EndsWith(const std::string& text, const char* suffix)
{
    const size_t n = strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// A stored null name equals only the empty string.
bool SameText(const YString& stored, const char* name)
{
    const char* s = stored.GetBuffer();
    return strcmp(s ? s : "", name ? name : "") == 0;
}

YCatalog* Catalog()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_catalog : nullptr;
}

bool FileExists(const char* path) { return GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES; }

struct Nesting {
    explicit Nesting(int& depth) : m_depth(depth) { ++m_depth; }
    ~Nesting() { --m_depth; }
    bool TooDeep() const { return m_depth > kMaxNesting; }
    int& m_depth;
};
int g_nesting = 0;
}  // namespace

uint8_t YD3D6Parser::HashLowerName(const char* name) { return NameHash8(name); }

YString YD3D6Parser::FolderOf(const char* path)
{
    std::string text(path ? path : "");
    const size_t cut = text.find_last_of("\\/");
    return YString(cut == std::string::npos ? "" : text.substr(0, cut + 1).c_str());
}

YString YD3D6Parser::TexturePathOf(const char* path)
{
    std::string text(path ? path : "");
    const size_t dot = text.find_last_of('.');
    const size_t separator = text.find_last_of("\\/");
    // A dot of a folder name is no extension.
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator)) text.resize(dot);
    text += ".ytx";
    return YString(text.c_str());
}

bool YD3D6Parser::ParseCommandText(const char* text, int32_t* width, int32_t* height, YString* file)
{
    if (!text) return false;
    std::string rest(text);
    std::string parts[4];
    for (std::string& part : parts) {
        const size_t cut = rest.find(';');
        if (cut == std::string::npos) return false;
        part = rest.substr(0, cut);
        rest.erase(0, cut + 1);
    }
    if (parts[1] != "000") return false;
    const int32_t w = atoi(parts[2].c_str());
    const int32_t h = atoi(parts[3].c_str());
    if (w < 1 || h < 1) return false;
    if (width) *width = w;
    if (height) *height = h;
    if (file) *file = rest.c_str();
    return true;
}

YString YD3D6Parser::FindCatalogFile(const char* name) const
{
    YCatalog* catalog = Catalog();
    char buffer[1024];
    if (!catalog || !name || !catalog->FindFile(name, buffer, sizeof buffer)) return YString("");
    return YString(buffer);
}

bool YD3D6Parser::CatalogFileExists(const char* name) const { return !FindCatalogFile(name).IsEmpty(); }

YD3D6Lock* YD3D6Parser::GetTextureLock(int16_t texture) const
{
    const YD3D6TextureItem* item = GetTextureItem(texture);
    return item ? item->m_lock : nullptr;
}

const YD3D6TextureItem* YD3D6Parser::GetTextureItem(int16_t texture) const
{
    if (texture < 0 || static_cast<size_t>(texture) >= m_textures.size()) return nullptr;
    return m_textures[static_cast<size_t>(texture)];
}

int YD3D6Parser::LoadCatalogTextures(const char* name, DWORD value, int redirect)
{
    if (!name) return -1;
    const std::string reversed = Reversed(name);
    const uint8_t hash = HashLowerName(reversed.c_str());
    for (size_t i = m_textures.size(); i-- > 0;) {
        const YD3D6TextureItem* item = m_textures[i];
        if (item && item->m_hash == hash && SameText(item->m_name, reversed.c_str())) return static_cast<int>(i);
    }
    Nesting nesting(g_nesting);
    if (nesting.TooDeep()) return -1;
    if (StartsWith(name, "file;")) return LoadFileTexture(name + 5, value, redirect, name);
    if (StartsWith(name, "cmd;")) return LoadCommandTexture(name + 4, value, redirect);
    return LoadHandlerTexture(name, value);
}

YD3D6Lock* YD3D6Parser::NewLock(bool commandTexture, int32_t width, int32_t height)
{
    if (!m_raster || !m_raster->GetDevice() || !m_raster->GetDirect3D() || !m_raster->GetDirectDraw()) return nullptr;
    YD3D6Lock* lock = new YD3D6Lock;
    lock->SetErrorMode(1);
    lock->m_pD3D = m_raster->GetDirect3D();
    lock->m_pDevice = m_raster->GetDevice();
    lock->m_pDD = m_raster->GetDirectDraw();
    lock->m_pOpaqueClass = &m_opaqueClass;
    lock->m_pAlphaClass = &m_alphaClass;
    lock->m_pTreeClass = &m_treeClass;
    lock->m_iValue16 = 16;
    lock->m_iVideoMemory = m_mapSettings[kVideoMemoryWord];
    if (commandTexture) {
        lock->m_iMinWidth = lock->m_iMaxWidth = width;
        lock->m_iMinHeight = lock->m_iMaxHeight = height;
        lock->m_opaqueFormat = lock->m_alphaFormat = lock->m_defaultFormat = lock->m_spareFormat = m_format565;
        return lock;
    }
    const D3DDEVICEDESC7& caps = m_deviceCaps;
    if (caps.dwMaxTextureWidth) lock->m_iMaxWidth = static_cast<int32_t>(caps.dwMaxTextureWidth);
    if (caps.dwMaxTextureHeight) lock->m_iMaxHeight = static_cast<int32_t>(caps.dwMaxTextureHeight);
    if (caps.dwMinTextureWidth) lock->m_iMinWidth = static_cast<int32_t>(caps.dwMinTextureWidth);
    if (caps.dwMinTextureHeight) lock->m_iMinHeight = static_cast<int32_t>(caps.dwMinTextureHeight);
    lock->m_opaqueFormat = m_opaqueFormat;
    lock->m_alphaFormat = m_alphaFormat;
    lock->m_defaultFormat = m_defaultFormat;
    lock->m_spareFormat = m_spareFormat;
    // Quality 0 of a map session, or the viewer's own switch, halves.
    lock->m_iHalveSize = (m_sessionMode == 2 && m_textureQuality == 0) || (m_sessionMode == 1 && !m_viewerSettings[4]);
    return lock;
}

namespace {
bool OpenTextureFile(CFile& file, const YString& path)
{
    return file.Open(path.GetBuffer(), CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary) != FALSE;
}
}  // namespace

bool YD3D6Parser::OpenTextureStream(CFile& stream, const YString& file) const
{
    if (OpenTextureFile(stream, file)) return true;
    // A file that exists but cannot be opened is not looked for elsewhere.
    if (FileExists(file.GetBuffer())) return false;
    const YString found = FindCatalogFile(file.GetBuffer());
    return !found.IsEmpty() && OpenTextureFile(stream, found);
}

int YD3D6Parser::LoadFileTexture(const char* path, DWORD value, int redirect, const char* requestName)
{
    const YString file = TexturePathOf(path);
    CFile stream;
    if (!OpenTextureStream(stream, file)) return -1;
    YTexture2* texture = new YTexture2;
    texture->SetErrorMode(1);
    if (!texture->Load(&stream, 0)) {
        delete texture;
        return -1;
    }
    if (redirect) {
        const YString parent = texture->GetTagValueByName("TXT-ParentClass", "");
        if (!parent.IsEmpty()) {
            const int index = LoadCatalogTextures(parent.GetBuffer(), value, 0);
            if (index >= 0) {
                delete texture;
                stream.Close();
                return index;
            }
        }
    }
    YD3D6Lock* lock = NewLock(false, 0, 0);
    if (!lock || !lock->Upload(texture, &stream)) {
        delete lock;
        delete texture;
        return -1;
    }
    delete texture;
    const int16_t index = AddTextureEntry(lock, requestName);
    if (index < 0) return -1;
    const bool detail = m_sessionMode == 2 ? m_mapSettings[kDetailTexturesWord] != 0
                                           : (m_sessionMode == 1 && m_viewerSettings[5] != 0);
    const YString detailName = lock->GetTagValueByName("TXT-DetailID", "");
    lock->m_pDetail = nullptr;
    if (detail && !detailName.IsEmpty()) {
        const int d = LoadCatalogTextures(detailName.GetBuffer(), 0, 1);
        if (d >= 0 && d != index) GetTextureItem(static_cast<int16_t>(index))->m_lock->m_pDetail = GetTextureLock(d);
    }
    stream.Close();
    return index;
}

int16_t YD3D6Parser::AddTextureEntry(YD3D6Lock* lock, const char* requestName)
{
    if (m_textures.size() >= kMaxTextures) {
        delete lock;
        return -1;
    }
    YD3D6TextureItem* item = new YD3D6TextureItem;
    item->m_lock = lock;
    item->m_surface = lock->m_pSurface;
    if (item->m_surface) item->m_surface->AddRef();
    item->m_width = lock->GetWidth();
    item->m_height = lock->GetHeight();
    item->m_bitDepth = static_cast<int16_t>(lock->m_pixelFormat.dwRGBBitCount);
    const std::string reversed = Reversed(requestName);
    item->m_name = reversed.c_str();
    item->m_hash = HashLowerName(reversed.c_str());
    item->m_youngScale = static_cast<float>(atof(lock->GetTagValueByName("TREE-YoungScale", "2.0").GetBuffer()));
    item->m_oldScale = static_cast<float>(atof(lock->GetTagValueByName("TREE-OldScale", "2.0").GetBuffer()));
    auto oscillator = [lock](const char* tag) {
        const int v = atoi(lock->GetTagValueByName(tag, "0").GetBuffer());
        return static_cast<uint8_t>(std::min(std::max(v, 0), 9));
    };
    item->m_oscillator1 = oscillator("TREE-Oscillator1");
    item->m_oscillator2 = oscillator("TREE-Oscillator2");
    item->m_shadeLevel = static_cast<uint8_t>(atoi(lock->GetTagValueByName("TREE-ShadeLevel", "0").GetBuffer()) & 0xFF);
    m_textures.push_back(item);
    return static_cast<int16_t>(m_textures.size() - 1);
}

int YD3D6Parser::LoadCommandTexture(const char* text, DWORD, int)
{
    int32_t width = 0, height = 0;
    YString path;
    if (!ParseCommandText(text, &width, &height, &path) || !m_has16Alpha) return -1;
    const YString file = TexturePathOf(path.GetBuffer());
    CFile stream;
    if (!OpenTextureStream(stream, file)) return -1;
    YTexture2* texture = new YTexture2;
    texture->SetErrorMode(1);
    YD3D6Lock* lock = texture->Load(&stream, 0) ? NewLock(true, width, height) : nullptr;
    if (!lock || !lock->Upload(texture, &stream)) {
        delete lock;
        delete texture;
        return -1;
    }
    delete texture;
    const std::string name = std::string("cmd;") + text;
    return AddTextureEntry(lock, name.c_str());
}

int YD3D6Parser::LoadHandlerTexture(const char* name, DWORD value)
{
    const std::string reversed = Reversed(name);
    const uint8_t hash = HashLowerName(reversed.c_str());
    int handler = -1;
    for (size_t i = m_textureHandlers.size(); i-- > 0;) {
        const TextureHandlerEntry* entry = m_textureHandlers[i];
        if (entry && entry->hash == hash && SameText(entry->name, reversed.c_str())) {
            handler = static_cast<int>(i);
            break;
        }
    }
    if (handler < 0) {
        YCatalog* catalog = Catalog();
        YResource* resource = catalog ? catalog->GetResource(kHandlerType, CString(name), 0) : nullptr;
        YTextureHandler* textures = dynamic_cast<YTextureHandler*>(resource);
        if (!textures) {
            if (resource) catalog->ReleaseResource(resource);
            return -1;
        }
        TextureHandlerEntry* entry = new TextureHandlerEntry;
        entry->name = reversed.c_str();
        entry->hash = hash;
        entry->value = value;
        for (int i = 0; i < textures->GetCount(); ++i) {
            LONG first = 0, last = 0;
            float scale1 = 1.0f, scale2 = 1.0f;
            textures->GetDays(first, last, i);
            textures->GetScale(scale1, scale2, i);
            // Without the application's test every variant applies once.
            const float result = m_rangeTest ? m_rangeTest(first, last, m_day) : 1.0f;
            if (!(result > 0.0f)) continue;
            CString file;
            textures->GetFileName(file, i);
            TextureHandlerVariant variant;
            variant.weight = static_cast<int32_t>(result);
            variant.name = (std::string("file;") + (const char*)file).c_str();
            variant.hash = HashLowerName(variant.name.GetBuffer());
            entry->weightSum += variant.weight;
            entry->variants.push_back(variant);
        }
        entry->count = static_cast<int32_t>(entry->variants.size());
        entry->valid = entry->count > 0 ? 1 : 0;
        catalog->ReleaseResource(resource);
        m_textureHandlers.push_back(entry);
        handler = static_cast<int>(m_textureHandlers.size() - 1);
    }
    TextureHandlerEntry* entry = m_textureHandlers[static_cast<size_t>(handler)];
    if (!entry->valid || entry->variants.empty()) return -1;
    int32_t r = rand() % std::max(entry->weightSum, int32_t(1));
    size_t chosen = 0;
    bool found = false;
    for (size_t i = 0; i < entry->variants.size(); ++i) {
        if (r < entry->variants[i].weight) {
            chosen = i;
            found = true;
            break;
        }
        r -= entry->variants[i].weight;
    }
    if (!found) chosen = 0;
    TextureHandlerVariant& variant = entry->variants[chosen];
    if (variant.texture == kTextureNotLoaded) {
        const int index = LoadCatalogTextures(variant.name.GetBuffer(), value, 0);
        // The table may have grown; look the entry up again.
        TextureHandlerVariant& stored = m_textureHandlers[static_cast<size_t>(handler)]->variants[chosen];
        stored.texture = static_cast<int16_t>(index < 0 ? -1 : index);
        if (index >= 0) m_textures[static_cast<size_t>(index)]->m_handler = static_cast<int16_t>(handler);
        return stored.texture;
    }
    return variant.texture;
}

YSMHandle* YD3D6Parser::CreateModelHandle(const char* path)
{
    if (!path || !*path) return nullptr;
    const uint8_t hash = HashLowerName(path);
    YSMObject* model = nullptr;
    for (YParseModelItem* item : m_models) {
        if (item && item->m_model && item->m_hash == hash && SameText(item->m_name, path)) {
            model = item->m_model;
            break;
        }
    }
    if (!model) {
        model = new YSMObject;
        if (!model->LoadFile(path)) {
            delete model;
            return nullptr;
        }
        const uint8_t permutation[3] = {1, 2, 0};
        const float signs[3] = {-1.0f, 1.0f, 1.0f};
        model->RemapAxes(permutation, signs);
        model->WeldAndComputeNormals();
        model->BuildPreShell();
        model->ComputeBounds();
        const YString folder = FolderOf(path);
        for (auto& resource : model->m_resources) {
            if (!resource) continue;
            std::string name = (const char*)resource->name;
            if (StartsWith(name.c_str(), "file;")) name = std::string("file;") + folder.GetBuffer() + name.substr(5);
            int index = LoadCatalogTextures(name.c_str(), resource->word, 1);
            const char* prefix = "SeasonalModels-";
            const char* suffix = "--24-0";
            if (index == -1 && StartsWith(name.c_str(), prefix) && EndsWith(name, suffix) &&
                name.size() >= strlen(prefix) + strlen(suffix)) {
                const std::string middle =
                    name.substr(strlen(prefix), name.size() - strlen(prefix) - strlen(suffix));
                const std::string file = std::string("file;") + folder.GetBuffer() + middle + ".ytx";
                index = LoadCatalogTextures(file.c_str(), resource->word, 1);
            }
            resource->slot = static_cast<int16_t>(index);
        }
        YParseModelItem* item = new YParseModelItem;
        item->m_model = model;
        item->m_name = path;
        item->m_hash = hash;
        m_models.push_back(item);
    }
    YSMHandle* handle = model->CreateHandle();
    // Once per model: the frame boxes widen for the traces.
    handle->PrepareInstance();
    for (const auto& tag : model->m_tags)
        if (tag && strcmp((const char*)tag->key, "DoShadows") == 0) MarkModelShadows(handle, 1);
    return handle;
}

int16_t YD3D6Parser::FindOrAddModel(const char* name)
{
    if (!name) return -1;
    const uint8_t hash = HashLowerName(name);
    for (size_t i = 0; i < m_catalogModels.size(); ++i) {
        const CatalogModelEntry* entry = m_catalogModels[i];
        if (entry && entry->resource && entry->hash == hash && SameText(entry->name, name))
            return static_cast<int16_t>(i);
    }
    if (m_catalogModels.size() >= kMaxTextures) return -1;
    YCatalog* catalog = Catalog();
    YResource* resource = catalog ? catalog->GetResource(kCatalogModelType, CString(name), 0) : nullptr;
    YModel* model = dynamic_cast<YModel*>(resource);
    if (!model) {
        if (resource) catalog->ReleaseResource(resource);
        return -1;
    }
    CatalogModelEntry* entry = new CatalogModelEntry;
    entry->resource = model;
    entry->name = name;
    entry->hash = hash;
    m_catalogModels.push_back(entry);
    return static_cast<int16_t>(m_catalogModels.size() - 1);
}
