// The "YTEX" stream of YTexture2: header, name, tags, regions, format
// records with their layer records, then the pixel data at the offsets the
// layer records name.  Every count, size and string is checked as it is read.
#include "assets3d/YTexture2.h"

#include <cstring>
#include <memory>
#include <string>

#include "platform/mfc.h"

namespace {

const char* const kDataSource = "Unable to load from data source";
const char* const kCreate = "Unable to create Filename";
const int kHeaderBytes = 40;
const int kFormatFields = 22;
const int kLayerFields = 9;
const int kLongestString = 8191;  // the reader's scratch area holds 8,192 bytes
// Stream order of the channel fields: blue, green, red, alpha.
const int kStreamChannel[4] = {TEX_BLUE, TEX_GREEN, TEX_RED, TEX_ALPHA};

int32_t Get32(const BYTE* at)
{
    return static_cast<int32_t>(static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                                static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24);
}

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// Reads whole fields from the file or reports that it could not.
class StreamIn {
public:
    explicit StreamIn(CFile* file) : m_file(file) {}

    bool Bytes(void* out, UINT count) { return count == 0 || m_file->Read(out, count) == count; }
    bool Ints(int32_t* out, int count)
    {
        BYTE raw[kFormatFields * 4];
        if (count > kFormatFields || !Bytes(raw, static_cast<UINT>(count * 4))) return false;
        for (int i = 0; i < count; ++i) out[i] = Get32(raw + i * 4);
        return true;
    }
    bool Count(uint16_t& out)
    {
        BYTE raw[2];
        if (!Bytes(raw, 2)) return false;
        out = static_cast<uint16_t>(raw[0] | raw[1] << 8);
        return out <= INT16_MAX;
    }
    bool Text(YString& out, int length)
    {
        if (length < 0 || length > kLongestString || !Bytes(m_scratch, static_cast<UINT>(length))) return false;
        out = YString(m_scratch, length);
        return true;
    }
    bool String(YString& out)
    {
        uint16_t length;
        return Count(length) && Text(out, length);
    }
    bool Tags(YTextureTagList& list, int count)
    {
        YString name, value;
        for (int i = 0; i < count; ++i)
            if (!String(name) || !String(value) || !list.AppendTag(name, value)) return false;
        return true;
    }

private:
    CFile* m_file;
    char m_scratch[kLongestString + 1];
};

// Bytes appended little-endian.
class StreamOut {
public:
    void Int(int32_t value)
    {
        for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<BYTE>(static_cast<uint32_t>(value) >> (8 * i)));
    }
    void Short(int value)
    {
        m_bytes.push_back(static_cast<BYTE>(value & 0xFF));
        m_bytes.push_back(static_cast<BYTE>((value >> 8) & 0xFF));
    }
    void Bytes(const void* data, size_t count)
    {
        const BYTE* p = static_cast<const BYTE*>(data);
        m_bytes.insert(m_bytes.end(), p, p + count);
    }
    void String(const YString& text)
    {
        Short(text.GetLength());
        Bytes(text.GetBuffer(), static_cast<size_t>(text.GetLength()));
    }
    void Tags(YTextureTagList& list)
    {
        for (int16_t i = 0; i < list.GetNumTags(); ++i) {
            String(list.GetTagName(i));
            String(list.GetTagValue(i));
        }
    }
    std::vector<BYTE> m_bytes;
};

int64_t TagBytes(YTextureTagList& list)
{
    int64_t size = 0;
    for (int16_t i = 0; i < list.GetNumTags(); ++i)
        size += 4 + list.GetTagName(i).GetLength() + list.GetTagValue(i).GetLength();
    return size;
}

bool TagsFit(YTextureTagList& list)
{
    for (int16_t i = 0; i < list.GetNumTags(); ++i)
        if (list.GetTagName(i).GetLength() > kLongestString || list.GetTagValue(i).GetLength() > kLongestString)
            return false;
    return true;
}

// The folder of a path, up to and including its last "\" or "/".
std::string FolderOf(const char* path)
{
    std::string text(path ? path : "");
    size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

// A format record's header fields, its palette, its tags and its layer records.
YTextureFormat* ReadFormat(StreamIn& in, int32_t errorMode)
{
    std::unique_ptr<YTextureFormat> format(new YTextureFormat);
    format->SetErrorMode(errorMode);
    int32_t v[kFormatFields];
    if (!in.String(format->m_strName) || !in.Ints(v, kFormatFields)) return nullptr;
    if (!InRange(v[0], INT16_MIN, INT16_MAX) || !InRange(v[1], INT16_MIN, INT16_MAX) ||
        !InRange(v[2], INT16_MIN, INT16_MAX) || !InRange(v[3], INT16_MIN, INT16_MAX) || !InRange(v[4], 1, 4) ||
        !InRange(v[5], 0, INT16_MAX) || !InRange(v[20], 0, 255) || !InRange(v[21], 0, 255))
        return nullptr;
    if (v[5] > 0 && (v[0] < 1 || v[1] < 1)) return nullptr;
    for (int c = 0; c < 4; ++c) {
        if (!InRange(v[7 + c], 0, TEX_MAX_CHANNEL_BITS) || !InRange(v[11 + c], 0, 31) || !InRange(v[15 + c], 0, 255))
            return nullptr;
        format->m_bitCount[kStreamChannel[c]] = static_cast<BYTE>(v[7 + c]);
        format->m_shift[kStreamChannel[c]] = static_cast<BYTE>(v[11 + c]);
        format->m_mask[kStreamChannel[c]] = static_cast<BYTE>(v[15 + c]);
    }
    format->m_iWidth = static_cast<int16_t>(v[0]);
    format->m_iHeight = static_cast<int16_t>(v[1]);
    format->m_iColorDepth = static_cast<int16_t>(v[2]);
    format->m_iAlphaDepth = static_cast<int16_t>(v[3]);
    format->m_iBytesPerPixel = static_cast<int16_t>(v[4]);
    format->m_iNoAlpha = v[6];
    format->m_iColorKey = v[19];
    format->m_iFirstPalette = static_cast<int16_t>(v[20]);
    format->m_iLastPalette = static_cast<int16_t>(v[21]);

    BYTE palette[1024];
    uint16_t tags;
    if (!in.Bytes(palette, sizeof palette) || !in.Count(tags) || !in.Tags(*format, tags)) return nullptr;
    for (int i = 0; i < 256; ++i)
        format->m_palette[i] = {palette[i * 4], palette[i * 4 + 1], palette[i * 4 + 2], palette[i * 4 + 3]};

    const int16_t depth = static_cast<int16_t>(v[5]);
    for (int16_t l = 0; l < depth; ++l) {
        int32_t r[kLayerFields];
        if (!in.Ints(r, kLayerFields)) return nullptr;
        if (r[0] != YTextureFormat::LevelSize(format->m_iWidth, l) || r[1] != YTextureFormat::LevelSize(format->m_iHeight, l)) return nullptr;
        const int32_t least = r[0] > 0 && r[1] > 0 ? r[0] * format->m_iBytesPerPixel : 0;
        if (!InRange(r[2], least, INT16_MAX)) return nullptr;
        YTextureLayer* layer = new YTextureLayer;
        layer->m_iWidth = static_cast<int16_t>(r[0]);
        layer->m_iHeight = static_cast<int16_t>(r[1]);
        layer->m_iPitch = static_cast<int16_t>(r[2]);
        layer->m_iRGBGen = r[3];
        layer->m_iAlphaGen = r[4];
        layer->m_iRGBLock = r[5];
        layer->m_iAlphaLock = r[6];
        layer->m_iRGBOffset = r[7];
        layer->m_iAlphaOffset = r[8];
        format->m_layers.push_back(layer);
        format->m_iMIPDepth = static_cast<int16_t>(l + 1);
    }
    return format.release();
}

// Reads size bytes at offset into a new buffer; false when the file ends first.
bool ReadAt(CFile* file, DWORD length, int32_t offset, size_t size, BYTE*& out)
{
    if (static_cast<uint64_t>(offset) + size > length) return false;
    file->Seek(offset, CFile::begin);
    std::unique_ptr<BYTE[]> data(new BYTE[size]);
    if (file->Read(data.get(), static_cast<UINT>(size)) != size) return false;
    delete[] out;
    out = data.release();
    return true;
}

}  // namespace

int YTexture2::LoadFile(const char* fileName, int loadPixels)
{
    CFile file;
    if (!fileName || !file.Open(fileName, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary))
        return Fail("Unable to open Filename");
    int result = Load(&file, loadPixels);
    file.Abort();
    return result;
}

int YTexture2::Load(CFile* file, int loadPixels)
{
    if (!file) return Fail(kDataSource);
    int result = 0;
    try {
        result = ReadStream(file, loadPixels);
    } catch (CException* e) {
        e->Delete();
        Clear();
        result = Fail(kDataSource);
    }
    return result;
}

int YTexture2::ReadStream(CFile* file, int loadPixels)
{
    StreamIn in(file);
    BYTE raw[kHeaderBytes];
    if (!in.Bytes(raw, kHeaderBytes)) return Fail(kDataSource);
    if (raw[0] != 'Y' || raw[1] != 'T' || raw[2] != 'E' || raw[3] != 'X') return Fail("Filename is not an YTexture2 stream");
    int32_t h[10];
    for (int i = 0; i < 10; ++i) h[i] = Get32(raw + i * 4);
    if (h[1] != 1) return Fail("Filename is not supported YTexture2 version");
    if (h[2] != 0) return Fail("Filename is not supported YTexture2 revision");
    if (!InRange(h[3], 0, INT16_MAX) || !InRange(h[4], INT16_MIN, INT16_MAX) || !InRange(h[5], INT16_MIN, INT16_MAX) ||
        !InRange(h[6], 0, INT16_MAX) || !InRange(h[7], 0, kLongestString) || !InRange(h[8], 0, INT16_MAX) ||
        !InRange(h[9], 0, INT16_MAX))
        return Fail(kDataSource);

    m_strPath = file->GetFilePath();
    Clear();
    m_iWidth = static_cast<int16_t>(h[4]);
    m_iHeight = static_cast<int16_t>(h[5]);
    m_iMIPDepth = static_cast<int16_t>(h[6]);
    bool ok = in.Text(m_strName, h[7]) && in.Tags(*this, h[8]);
    for (int32_t r = 0; ok && r < h[9]; ++r) {
        YTexRegion* region = new YTexRegion;
        AddRegion(region);
        uint16_t points = 0, tags = 0;
        ok = in.String(region->m_strName) && in.Count(points) && in.Count(tags);
        for (int p = 0; ok && p < points; ++p) {
            BYTE xy[8];
            ok = in.Bytes(xy, sizeof xy);
            if (!ok) break;
            int32_t x = Get32(xy), y = Get32(xy + 4);
            float fx, fy;
            std::memcpy(&fx, &x, 4);
            std::memcpy(&fy, &y, 4);
            region->AddPoint(fx, fy);
        }
        ok = ok && in.Tags(*region, tags);
    }
    for (int32_t f = 0; ok && f < h[3]; ++f) {
        YTextureFormat* format = ReadFormat(in, m_iErrorMode);
        ok = format != nullptr;
        if (ok) {
            m_formats.push_back(format);
            ++m_iNumFormats;
        }
    }
    if (!ok) {
        Clear();
        return Fail(kDataSource);
    }
    if (loadPixels != 1) return 1;
    for (int16_t f = 0; f < m_iNumFormats; ++f) {
        if (!LoadFormatData(f, file)) {
            Clear();
            return 0;
        }
    }
    for (int16_t f = m_iNumFormats - 1; f >= 0; --f) {
        const YTextureFormat* format = m_formats[static_cast<size_t>(f)];
        if (format->m_iWidth != m_iWidth || format->m_iHeight != m_iHeight || format->m_iMIPDepth != m_iMIPDepth)
            RemoveFormat(f);
    }
    return 1;
}

int YTexture2::LoadFormatData(int16_t index, CFile* file)
{
    YTextureFormat* format = GetFormat(index);
    if (!format) return 0;
    if (format->FindTag("Externalized") >= 0 && (m_iFlags & TEX2_EXTERNAL_IMAGES)) return LoadExternalFormat(index, file);
    int result = 0;
    try {
        result = ReadFormatData(index, file);
    } catch (CException* e) {
        e->Delete();
        result = Fail(kDataSource);
    }
    return result;
}

int YTexture2::ReadFormatData(int16_t index, CFile* file)
{
    YTextureFormat* format = m_formats[static_cast<size_t>(index)];
    std::unique_ptr<CFile> own;
    if (!file) {
        own.reset(new CFile);
        if (!own->Open(m_strPath, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) return Fail(kDataSource);
        file = own.get();
    }
    format->FreePixels();
    const DWORD length = file->GetLength();
    for (YTextureLayer* layer : format->m_layers) {
        if (layer->m_iWidth <= 0 || layer->m_iHeight <= 0 || layer->m_iPitch <= 0) continue;
        if (layer->m_iRGBOffset > 0 && !ReadAt(file, length, layer->m_iRGBOffset, layer->RGBSize(), layer->m_pRGB))
            return Fail(kDataSource);
        if (layer->m_iAlphaOffset > 0 && format->HasAlpha() &&
            !ReadAt(file, length, layer->m_iAlphaOffset, layer->AlphaSize(), layer->m_pAlpha))
            return Fail(kDataSource);
    }
    if (own) own->Abort();
    return 1;
}

int YTexture2::LoadExternalFormat(int16_t index, CFile* file)
{
    YTextureFormat* format = m_formats[static_cast<size_t>(index)];
    format->FreePixels();
    // Without a file the images stand beside the texture's own file.
    const std::string folder = FolderOf(file ? static_cast<const char*>(file->GetFilePath()) : m_strPath.GetBuffer());
    if (!LoadExternalMIP(index, 0, folder.c_str())) {
        m_iFlags &= ~TEX2_EXTERNAL_IMAGES;
        int result = LoadFormatData(index, file);
        m_iFlags |= TEX2_EXTERNAL_IMAGES;
        return result;
    }
    m_iFlags |= TEX2_HAS_EXTERNAL;
    for (int16_t l = 1; l < format->m_iMIPDepth; ++l) LoadExternalMIP(index, l, folder.c_str());
    YString up = GetTagValueByName("UpFilter", "Sinc"), down = GetTagValueByName("DownFilter", "Sinc");
    format->GenerateRGBMIPs(up, down);
    if (format->HasAlpha()) format->GenerateAlphaMIPs(up, down);
    return 1;
}

std::vector<YTextureFormat*> YTexture2::WritableFormats() const
{
    std::vector<YTextureFormat*> formats;
    for (YTextureFormat* format : m_formats) {
        bool whole = true;
        for (const YTextureLayer* layer : format->m_layers)
            if (!layer->m_pRGB || (format->HasAlpha() && !layer->m_pAlpha)) whole = false;
        if (whole) formats.push_back(format);
    }
    return formats;
}

int YTexture2::SaveFile(const char* fileName)
{
    // Nothing is created, and no file replaced, before the stream is whole.
    std::vector<YTextureFormat*> formats = WritableFormats();
    if (formats.empty()) return Fail("Texture has no formats");
    if (!fileName || !*fileName) return Fail(kCreate);
    const std::string temporary = std::string(fileName) + ".tmp";
    bool written = false;
    CFile file;
    try {
        if (file.Open(temporary.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
            written = WriteStream(&file, formats);
            file.Close();
        }
    } catch (CException* e) {
        e->Delete();
        file.Abort();
        written = false;
    }
    if (written && MoveFileEx(temporary.c_str(), fileName, MOVEFILE_REPLACE_EXISTING)) {
        m_strPath = fileName;
        return 1;
    }
    DeleteFile(temporary.c_str());
    return Fail(kCreate);
}

int YTexture2::Save(CFile* file)
{
    if (!file) return 0;
    std::vector<YTextureFormat*> formats = WritableFormats();
    if (formats.empty()) return Fail("Texture has no formats");
    try {
        if (!WriteStream(file, formats)) return Fail(kCreate);
    } catch (CException* e) {
        e->Delete();
        return Fail(kCreate);
    }
    m_strPath = file->GetFilePath();
    return 1;
}

bool YTexture2::WriteStream(CFile* file, const std::vector<YTextureFormat*>& formats)
{
    // Every string must be one the reader takes back.
    if (m_strName.GetLength() > kLongestString || !TagsFit(*this)) return false;
    int64_t size = kHeaderBytes + m_strName.GetLength() + TagBytes(*this);
    for (int16_t r = 0; r < m_iNumRegions; ++r) {
        YTexRegion* region = m_regions[static_cast<size_t>(r)];
        if (region->m_strName.GetLength() > kLongestString || !TagsFit(*region)) return false;
        size += 6 + region->m_strName.GetLength() + 8 * static_cast<int64_t>(region->GetPointCount()) + TagBytes(*region);
    }
    for (YTextureFormat* format : formats) {
        if (format->m_strName.GetLength() > kLongestString || !TagsFit(*format)) return false;
        format->HeaderSize();
        size += format->m_iHeaderSize;
    }
    // The offsets count from the start of the file.
    int64_t offset = static_cast<int64_t>(file->GetPosition()) + size;
    for (YTextureFormat* format : formats) {
        for (YTextureLayer* layer : format->m_layers) {
            layer->m_iRGBOffset = static_cast<int32_t>(offset);
            offset += static_cast<int64_t>(layer->RGBSize());
            layer->m_iAlphaOffset = format->HasAlpha() ? static_cast<int32_t>(offset) : -1;
            if (format->HasAlpha()) offset += static_cast<int64_t>(layer->AlphaSize());
            if (offset > INT32_MAX) return false;
        }
    }

    StreamOut out;
    out.Bytes("YTEX", 4);
    const int32_t header[9] = {1, 0, static_cast<int32_t>(formats.size()), m_iWidth, m_iHeight, m_iMIPDepth,
                               m_strName.GetLength(), m_iNumTags, m_iNumRegions};
    for (int32_t value : header) out.Int(value);
    out.Bytes(m_strName.GetBuffer(), static_cast<size_t>(m_strName.GetLength()));
    out.Tags(*this);
    for (YTexRegion* region : m_regions) {
        out.String(region->m_strName);
        out.Short(region->GetPointCount());
        out.Short(region->GetNumTags());
        for (int16_t p = 0; p < region->GetPointCount(); ++p) {
            float xy[2];
            region->GetPoint(p, &xy[0], &xy[1]);
            for (float value : xy) {
                int32_t bits;
                std::memcpy(&bits, &value, 4);
                out.Int(bits);
            }
        }
        out.Tags(*region);
    }
    for (YTextureFormat* format : formats) {
        out.String(format->m_strName);
        const int32_t fields[7] = {format->m_iWidth,         format->m_iHeight,   format->m_iColorDepth,
                                   format->m_iAlphaDepth,    format->m_iBytesPerPixel,
                                   static_cast<int32_t>(format->m_layers.size()), format->m_iNoAlpha};
        for (int32_t value : fields) out.Int(value);
        for (const BYTE* group : {format->m_bitCount, format->m_shift, format->m_mask})
            for (int c = 0; c < 4; ++c) out.Int(group[kStreamChannel[c]]);
        out.Int(format->m_iColorKey);
        out.Int(format->m_iFirstPalette);
        out.Int(format->m_iLastPalette);
        for (const RGBQUAD& q : format->m_palette) out.Bytes(&q, 4);
        out.Short(format->GetNumTags());
        out.Tags(*format);
        for (const YTextureLayer* layer : format->m_layers) {
            const int32_t record[kLayerFields] = {layer->m_iWidth,   layer->m_iHeight,    layer->m_iPitch,
                                                  layer->m_iRGBGen,  layer->m_iAlphaGen,  layer->m_iRGBLock,
                                                  layer->m_iAlphaLock, layer->m_iRGBOffset, layer->m_iAlphaOffset};
            for (int32_t value : record) out.Int(value);
        }
    }
    for (YTextureFormat* format : formats) {
        for (const YTextureLayer* layer : format->m_layers) {
            out.Bytes(layer->m_pRGB, layer->RGBSize());
            if (format->HasAlpha()) out.Bytes(layer->m_pAlpha, layer->AlphaSize());
        }
    }
    file->Write(out.m_bytes.data(), static_cast<UINT>(out.m_bytes.size()));
    return true;
}
