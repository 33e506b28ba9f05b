#include "assets3d/YSMObject.h"

#include <cmath>
#include <cstring>
#include <string>

#include <zlib.h>

#include "assets3d/YFMFMeshSet.h"
#include "assets3d/YFMFormat.h"
#include "assets3d/YSMHandle.h"

IMPLEMENT_SERIAL(YSMObject, CObject, 1)

namespace {
const char kMagic[4] = {'Y', 'S', 'M', 'O'};
// The largest body we inflate; no model of 16-bit counts comes near it.
const uint32_t kMaxBody = 64u * 1024u * 1024u;

[[noreturn]] void Refuse() { AfxThrowArchiveException(CArchiveException::genericException); }

// Reads the body with every length checked against what is left.
class BodyReader {
public:
    BodyReader(const uint8_t* data, size_t size) : m_p(data), m_left(size) {}
    const uint8_t* Take(size_t n)
    {
        if (n > m_left) Refuse();
        const uint8_t* at = m_p;
        m_p += n;
        m_left -= n;
        return at;
    }
    uint8_t U8() { return *Take(1); }
    uint16_t U16()
    {
        const uint8_t* b = Take(2);
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32()
    {
        const uint8_t* b = Take(4);
        return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
               (static_cast<uint32_t>(b[3]) << 24);
    }
    float F32()
    {
        uint32_t bits = U32();
        float f;
        memcpy(&f, &bits, 4);
        return f;
    }
    CString Str()
    {
        uint16_t n = U16();
        const uint8_t* b = Take(n);
        return CString(reinterpret_cast<const char*>(b), n);
    }
    size_t Left() const { return m_left; }

private:
    const uint8_t* m_p;
    size_t m_left;
};

class BodyWriter {
public:
    void Bytes(const void* p, size_t n)
    {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        m_out.insert(m_out.end(), b, b + n);
    }
    void U8(uint8_t v) { m_out.push_back(v); }
    void U16(uint16_t v)
    {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
    }
    void F32(float f)
    {
        uint32_t bits;
        memcpy(&bits, &f, 4);
        U32(bits);
    }
    void Str(const CString& s)
    {
        int n = s.GetLength();
        if (n > 0xFFFF) Refuse();
        U16(static_cast<uint16_t>(n));
        Bytes(static_cast<LPCTSTR>(s), static_cast<size_t>(n));
    }
    std::vector<uint8_t> m_out;
};

// Reads what is left in the archive.
std::vector<uint8_t> ReadRest(CArchive& ar)
{
    std::vector<uint8_t> body;
    uint8_t chunk[65536];
    for (;;) {
        UINT n = ar.Read(chunk, sizeof chunk);
        if (n == 0) break;
        body.insert(body.end(), chunk, chunk + n);
        if (body.size() > kMaxBody) Refuse();
    }
    return body;
}

std::vector<uint8_t> ReadExactly(CArchive& ar, uint32_t size)
{
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    while (bytes.size() < size) {
        UINT want = static_cast<UINT>(std::min<size_t>(sizeof chunk, size - bytes.size()));
        UINT n = ar.Read(chunk, want);
        if (n == 0) Refuse();
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

uint16_t Le16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }

bool OneOf(const CString& value, std::initializer_list<const char*> texts)
{
    for (const char* t : texts)
        if (value == t) return true;
    return false;
}

int16_t Count(size_t n)
{
    if (n > 32767) Refuse();
    return static_cast<int16_t>(n);
}

bool EndsWithNoCase(const char* path, const char* tail)
{
    size_t n = strlen(path), m = strlen(tail);
    return n >= m && strcasecmp(path + n - m, tail) == 0;
}
}  // namespace

YSMObject::YSMObject() = default;

YSMObject::~YSMObject() { Clear(); }

void YSMObject::Clear()
{
    for (YSMHandle* handle : m_handles) handle->Detach();
    m_handles.clear();
    m_groups.clear();
    m_frames.clear();
    m_anims.clear();
    m_resources.clear();
    m_tags.clear();
    m_faces.clear();
    m_meshSet.reset();
    m_frameCount = m_groupCount = m_animCount = m_vertexCount = m_faceCount = m_resourceCount = m_tagCount = 0;
}

int16_t YSMObject::FindTag(const char* key) const
{
    for (size_t i = 0; i < m_tags.size(); ++i)
        if (m_tags[i]->key.CompareNoCase(key) == 0) return static_cast<int16_t>(i);
    return -1;
}

bool YSMObject::GetTag(int16_t index, CString* key, CString* value, uint8_t* type) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_tags.size()) return false;
    const YSMTag& tag = *m_tags[static_cast<size_t>(index)];
    if (key) *key = tag.key;
    if (value) *value = tag.value;
    if (type) *type = tag.type;
    return true;
}

int16_t YSMObject::FindGroup(const char* name) const
{
    for (size_t i = 0; i < m_groups.size(); ++i)
        if (m_groups[i]->name.CompareNoCase(name) == 0) return static_cast<int16_t>(i);
    return -1;
}

void YSMObject::BuildFaceLists()
{
    for (size_t g = 0; g < m_groups.size(); ++g) {
        YSMGroup& group = *m_groups[g];
        group.faces.clear();
        for (size_t f = 0; f < m_faces.size(); ++f)
            if (m_faces[f].group == static_cast<int16_t>(g)) group.faces.push_back(static_cast<uint16_t>(f));
        group.faceCount = static_cast<int16_t>(group.faces.size());
    }
}

void YSMObject::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

void YSMObject::Load(CArchive& ar)
{
    Clear();
    try {
        uint8_t header[22];
        if (ar.Read(header, sizeof header) != sizeof header || memcmp(header, kMagic, 4) != 0) Refuse();
        uint16_t format = Le16(header + 4), compression = Le16(header + 6);
        int16_t counts[7];
        for (int i = 0; i < 7; ++i) counts[i] = static_cast<int16_t>(Le16(header + 8 + 2 * i));
        for (int16_t c : counts)
            if (c < 0) Refuse();
        if ((format != 1 && format != 2) || compression > 1) Refuse();
        m_vertexFormat = static_cast<int16_t>(format);
        m_compression = static_cast<int16_t>(compression);
        const int vertices = counts[0], faces = counts[1], resources = counts[2], frames = counts[3],
                  anims = counts[4], groups = counts[5], tags = counts[6];

        std::vector<uint8_t> body;
        if (compression == 0) {
            body = ReadRest(ar);
        } else {
            uint8_t sizes[8];
            if (ar.Read(sizes, 8) != 8) Refuse();
            uint32_t unpacked = Le16(sizes) | (static_cast<uint32_t>(Le16(sizes + 2)) << 16);
            uint32_t stored = Le16(sizes + 4) | (static_cast<uint32_t>(Le16(sizes + 6)) << 16);
            if (unpacked > kMaxBody || stored > kMaxBody) Refuse();
            std::vector<uint8_t> packed = ReadExactly(ar, stored);
            if (unpacked == stored) {
                body.swap(packed);
            } else {
                // zlib cannot make more than about 1032 bytes of one.
                if (unpacked / 1032u > stored + 1u) Refuse();
                body.resize(unpacked);
                uLongf length = unpacked;
                if (uncompress(body.data(), &length, packed.data(), stored) != Z_OK || length != unpacked) Refuse();
            }
        }

        BodyReader in(body.data(), body.size());
        m_faces.resize(static_cast<size_t>(faces));
        if (faces) memcpy(m_faces.data(), in.Take(static_cast<size_t>(faces) * sizeof(YSMFace)), faces * sizeof(YSMFace));
        for (const YSMFace& face : m_faces) {
            for (int16_t v : face.v)
                if (v < 0 || v >= vertices) Refuse();
            if (face.group < 0 || face.group >= groups) Refuse();
        }

        for (int i = 0; i < resources; ++i) {
            std::unique_ptr<YSMResource> resource(new YSMResource);
            resource->word = in.U32();
            resource->name = in.Str();
            m_resources.push_back(std::move(resource));
        }

        const size_t vertexBytes = format == 1 ? 12 : 6;
        for (int i = 0; i < frames; ++i) {
            std::unique_ptr<YSMFrame> frame(new YSMFrame);
            frame->words[0] = in.U32();
            frame->words[1] = in.U32();
            frame->name = in.Str();
            const uint8_t* present = in.Take(static_cast<size_t>(groups));
            frame->present.assign(present, present + groups);
            BodyReader positions(in.Take(vertexBytes * vertices), vertexBytes * vertices);
            frame->positions.resize(static_cast<size_t>(vertices) * 3);
            for (float& p : frame->positions) p = format == 1 ? positions.F32() : positions.I16() * 0.015625f;
            m_frames.push_back(std::move(frame));
        }

        for (int i = 0; i < anims; ++i) {
            std::unique_ptr<YSMAnim> anim(new YSMAnim);
            anim->flags = in.U32();
            anim->word = in.U32();
            anim->keyCount = in.I16();
            if (anim->keyCount < 1) Refuse();
            anim->name = in.Str();
            for (int k = 0; k < anim->keyCount; ++k) {
                uint16_t frame = in.U16();
                if (frame >= frames) Refuse();
                anim->keyFrames.push_back(frame);
            }
            for (int k = 0; k < anim->keyCount; ++k) {
                float duration = in.F32();
                // A key that takes no time would stall the playback.
                if (!(duration > 0.0f) || !std::isfinite(duration)) Refuse();
                anim->keyDurations.push_back(duration);
                anim->total += duration;
            }
            if (!std::isfinite(anim->total)) Refuse();
            m_anims.push_back(std::move(anim));
        }

        for (int i = 0; i < groups; ++i) {
            std::unique_ptr<YSMGroup> group(new YSMGroup);
            group->flags = in.U32();
            group->word = in.U32();
            group->name = in.Str();
            int16_t skins = in.I16();
            if (skins < 0) Refuse();
            for (int s = 0; s < skins; ++s) {
                std::unique_ptr<YSMSkin> skin(new YSMSkin);
                skin->resource = in.I16();
                if (skin->resource < 0 || skin->resource >= resources) Refuse();
                skin->name = in.Str();
                group->skins.push_back(std::move(skin));
            }
            int16_t groupTags = in.I16();
            if (groupTags < 0) Refuse();
            for (int t = 0; t < groupTags; ++t) {
                std::unique_ptr<YSMTag> tag(new YSMTag);
                tag->type = in.U8();
                tag->key = in.Str();
                tag->value = in.Str();
                group->tags.push_back(std::move(tag));
            }
            m_groups.push_back(std::move(group));
        }
        BuildFaceLists();

        for (int i = 0; i < tags; ++i) {
            std::unique_ptr<YSMTag> tag(new YSMTag);
            tag->type = in.U8();
            tag->key = in.Str();
            tag->value = in.Str();
            m_tags.push_back(std::move(tag));
        }

        const YSMPose rest = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f}};
        for (auto& frame : m_frames) frame->poses.assign(static_cast<size_t>(groups), rest);

        m_vertexCount = static_cast<int16_t>(vertices);
        m_faceCount = static_cast<int16_t>(faces);
        m_resourceCount = static_cast<int16_t>(resources);
        m_frameCount = static_cast<int16_t>(frames);
        m_animCount = static_cast<int16_t>(anims);
        m_groupCount = static_cast<int16_t>(groups);
        m_tagCount = static_cast<int16_t>(tags);
        m_sourceKind = 0;
    } catch (...) {
        Clear();
        throw;
    }
}

void YSMObject::Store(CArchive& ar)
{
    uint16_t format = 1, compression = 0;
    for (const auto& tag : m_tags) {
        if (tag->key == "VertCompress") {
            if (OneOf(tag->value, {"No", "no", "N", "n"})) format = 1;
            if (OneOf(tag->value, {"Grid64", "grid64", "G64", "g64"})) format = 2;
        } else if (tag->key == "ZCompress") {
            if (OneOf(tag->value, {"Yes", "yes", "Y", "y"})) compression = 1;
            if (OneOf(tag->value, {"No", "no", "N", "n"})) compression = 0;
        }
    }
    const size_t vertices = m_vertexCount > 0 ? static_cast<size_t>(m_vertexCount) : 0;

    BodyWriter head;
    head.Bytes(kMagic, 4);
    head.U16(format);
    head.U16(compression);
    head.I16(static_cast<int16_t>(vertices));
    head.I16(Count(m_faces.size()));
    head.I16(Count(m_resources.size()));
    head.I16(Count(m_frames.size()));
    head.I16(Count(m_anims.size()));
    head.I16(Count(m_groups.size()));
    head.I16(Count(m_tags.size()));

    BodyWriter body;
    if (!m_faces.empty()) body.Bytes(m_faces.data(), m_faces.size() * sizeof(YSMFace));
    for (const auto& resource : m_resources) {
        body.U32(resource->word);
        body.Str(resource->name);
    }
    for (const auto& frame : m_frames) {
        body.U32(frame->words[0]);
        body.U32(frame->words[1]);
        body.Str(frame->name);
        for (size_t g = 0; g < m_groups.size(); ++g) body.U8(g < frame->present.size() ? frame->present[g] : 0);
        for (size_t i = 0; i < vertices * 3; ++i) {
            float p = i < frame->positions.size() ? frame->positions[i] : 0.0f;
            if (format == 1) {
                body.F32(p);
            } else {
                double grid = std::trunc(static_cast<double>(p) * 64.0);
                if (!(grid >= -32760.0)) grid = -32760.0;  // NaN too
                if (grid > 32760.0) grid = 32760.0;
                body.I16(static_cast<int16_t>(grid));
            }
        }
    }
    for (const auto& anim : m_anims) {
        body.U32(anim->flags);
        body.U32(anim->word);
        size_t keys = std::min(anim->keyFrames.size(), anim->keyDurations.size());
        body.I16(Count(keys));
        body.Str(anim->name);
        for (size_t k = 0; k < keys; ++k) body.U16(anim->keyFrames[k]);
        for (size_t k = 0; k < keys; ++k) body.F32(anim->keyDurations[k]);
    }
    for (const auto& group : m_groups) {
        body.U32(group->flags);
        body.U32(group->word);
        body.Str(group->name);
        body.I16(Count(group->skins.size()));
        for (const auto& skin : group->skins) {
            body.I16(skin->resource);
            body.Str(skin->name);
        }
        body.I16(Count(group->tags.size()));
        for (const auto& tag : group->tags) {
            body.U8(tag->type);
            body.Str(tag->key);
            body.Str(tag->value);
        }
    }
    for (const auto& tag : m_tags) {
        body.U8(tag->type);
        body.Str(tag->key);
        body.Str(tag->value);
    }

    ar.Write(head.m_out.data(), static_cast<UINT>(head.m_out.size()));
    const std::vector<uint8_t>& raw = body.m_out;
    if (compression == 0) {
        if (!raw.empty()) ar.Write(raw.data(), static_cast<UINT>(raw.size()));
        return;
    }
    const size_t n = raw.size();
    std::vector<uint8_t> packed(static_cast<size_t>(static_cast<double>(n) * 0.11 + static_cast<double>(n) + 12.0));
    uLongf packedSize = static_cast<uLongf>(packed.size());
    BodyWriter sizes;
    sizes.U32(static_cast<uint32_t>(n));
    // A body zlib cannot shrink is stored as it is.
    if (compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(n)) == Z_OK && packedSize < n) {
        sizes.U32(static_cast<uint32_t>(packedSize));
        ar.Write(sizes.m_out.data(), 8);
        ar.Write(packed.data(), static_cast<UINT>(packedSize));
    } else {
        // Equal sizes say the bytes are stored as they are.
        sizes.U32(static_cast<uint32_t>(n));
        ar.Write(sizes.m_out.data(), 8);
        if (n) ar.Write(raw.data(), static_cast<UINT>(n));
    }
}

bool YSMObject::LoadFile(const char* path)
{
    if (!path) return false;
    if (EndsWithNoCase(path, ".FMF")) {
        Clear();
        std::unique_ptr<YFMFMeshSet> set(new YFMFMeshSet);
        if (!YFMFormat::LoadFromFile(set.get(), path) || !ImportMeshSet(set.get())) return false;
        // The detail levels are selected through the set's mesh entries.
        m_meshSet = std::move(set);
        return true;
    }
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        Clear();
        return false;
    }
    bool loaded = true;
    TRY
    {
        CArchive ar(&file, CArchive::load, 65536);
        Serialize(ar);
    }
    CATCH_ALL(e)
    {
        loaded = false;
    }
    END_CATCH_ALL
    if (!loaded) {
        Clear();
        return false;
    }
    for (auto& group : m_groups)
        for (const auto& tag : group->tags)
            if (tag->key.CompareNoCase("ShellScale") == 0) group->shellScale = static_cast<float>(atof(tag->value));
    return true;
}

bool YSMObject::SaveFile(const char* path)
{
    if (!path) return false;
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) return false;
    bool saved = true;
    TRY
    {
        CArchive ar(&file, CArchive::store, 65536);
        Serialize(ar);
        ar.Close();
    }
    CATCH_ALL(e)
    {
        saved = false;
    }
    END_CATCH_ALL
    return saved;
}

YSMHandle* YSMObject::CreateHandle()
{
    YSMHandle* handle = new YSMHandle;
    handle->Attach(this, nullptr);
    m_handles.push_back(handle);
    return handle;
}

YSMHandle* YSMObject::CloneHandle(const YSMHandle* source)
{
    YSMHandle* handle = new YSMHandle;
    handle->Attach(this, source && source->m_model == this ? source : nullptr);
    m_handles.push_back(handle);
    return handle;
}

void YSMObject::RemoveHandle(YSMHandle* handle)
{
    if (!handle) return;
    handle->ClearState();
    for (auto it = m_handles.begin(); it != m_handles.end(); ++it) {
        if (*it == handle) {
            m_handles.erase(it);
            break;
        }
    }
}
