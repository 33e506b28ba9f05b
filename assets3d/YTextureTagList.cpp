#include "assets3d/YTextureTagList.h"

#include <cstdlib>

#include "graphics2d/NameHash8.h"

namespace {
const char* const kTagBelow = "Tag Index < 0";
const char* const kTagAbove = "Tag Index >= m_iNumTags";
const char* const kValueAbove = "Layer Index >= m_iNumTags";
const int16_t kMostTags = 32767;
}  // namespace

const YTextureTag* YTextureTagList::Checked(int16_t index, const char* highMessage)
{
    const char* message = nullptr;
    if (index < 0)
        message = kTagBelow;
    else if (index >= m_iNumTags)
        message = highMessage;
    if (!message) return &m_tags[static_cast<size_t>(index)];
    if (m_tagErrors) m_tagErrors->SetError(message);
    return nullptr;
}

int16_t YTextureTagList::FindTag(const char* name) const
{
    if (!name) return -1;
    uint8_t hash = NameHash8(name);
    for (int16_t i = 0; i < m_iNumTags; ++i) {
        const YTextureTag& tag = m_tags[static_cast<size_t>(i)];
        if (tag.m_hash == hash && tag.m_strName.CompareNoCase(name) == 0) return i;
    }
    return -1;
}

YTextureTag* YTextureTagList::GetTag(int16_t index) { return const_cast<YTextureTag*>(Checked(index, kTagAbove)); }

YString YTextureTagList::GetTagName(int16_t index)
{
    const YTextureTag* tag = Checked(index, kTagAbove);
    return tag ? tag->m_strName : YString();
}

YString YTextureTagList::GetTagValue(int16_t index)
{
    const YTextureTag* tag = Checked(index, kValueAbove);
    return tag ? tag->m_strValue : YString();
}

YString YTextureTagList::GetTagValueByName(const char* name, const char* defaultValue) const
{
    int16_t index = FindTag(name);
    return index >= 0 ? m_tags[static_cast<size_t>(index)].m_strValue : YString(defaultValue);
}

int32_t YTextureTagList::GetTagInt(int16_t index)
{
    const YTextureTag* tag = Checked(index, kTagAbove);
    return tag ? std::atoi(tag->m_strValue) : 0;
}

int32_t YTextureTagList::GetTagIntByName(const char* name, int32_t defaultValue) const
{
    int16_t index = FindTag(name);
    return index >= 0 ? std::atoi(m_tags[static_cast<size_t>(index)].m_strValue) : defaultValue;
}

float YTextureTagList::GetTagFloat(int16_t index)
{
    const YTextureTag* tag = Checked(index, kTagAbove);
    return tag ? static_cast<float>(std::atof(tag->m_strValue)) : 0.0f;
}

float YTextureTagList::GetTagFloatByName(const char* name, float defaultValue) const
{
    int16_t index = FindTag(name);
    return index >= 0 ? static_cast<float>(std::atof(m_tags[static_cast<size_t>(index)].m_strValue)) : defaultValue;
}

int YTextureTagList::SetTagName(int16_t index, const char* name)
{
    YTextureTag* tag = GetTag(index);
    if (!tag) return 0;
    tag->m_strName = name;
    tag->m_hash = NameHash8(tag->m_strName);
    return 1;
}

int YTextureTagList::SetTagValue(int16_t index, const char* value)
{
    YTextureTag* tag = GetTag(index);
    if (!tag) return 0;
    tag->m_strValue = value;
    return 1;
}

int16_t YTextureTagList::SetTag(const char* name, const char* value)
{
    int16_t index = FindTag(name);
    if (index >= 0)
        m_tags[static_cast<size_t>(index)].m_strValue = value;
    else
        AppendTag(name, value);
    return m_iNumTags;
}

bool YTextureTagList::AppendTag(const char* name, const char* value)
{
    if (m_iNumTags >= kMostTags) return false;
    YTextureTag tag;
    tag.m_strName = name;
    tag.m_strValue = value;
    tag.m_hash = NameHash8(tag.m_strName);
    m_tags.push_back(tag);
    ++m_iNumTags;
    return true;
}

int YTextureTagList::RemoveTag(int16_t index)
{
    if (!GetTag(index)) return 0;
    m_tags.erase(m_tags.begin() + index);
    --m_iNumTags;
    return 1;
}

void YTextureTagList::ClearTags()
{
    m_tags.clear();
    m_iNumTags = 0;
}
