// The tag table of a texture, format, region or lock: entries in the order
// they were added, found by name hash and then by name without regard to case.
// Owners that keep an error text hand it in; the region's table says nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "assets3d/YTextureError.h"
#include "assets3d/YTextureTag.h"

class YTextureTagList {
public:
    explicit YTextureTagList(YTextureError* errors = nullptr) : m_tagErrors(errors) {}
    YTextureTagList(const YTextureTagList&) = delete;
    YTextureTagList& operator=(const YTextureTagList&) = delete;

    int16_t GetNumTags() const { return m_iNumTags; }
    int16_t FindTag(const char* name) const;
    YTextureTag* GetTag(int16_t index);
    YString GetTagName(int16_t index);
    YString GetTagValue(int16_t index);
    YString GetTagValueByName(const char* name, const char* defaultValue) const;
    int32_t GetTagInt(int16_t index);
    int32_t GetTagIntByName(const char* name, int32_t defaultValue) const;
    float GetTagFloat(int16_t index);
    float GetTagFloatByName(const char* name, float defaultValue) const;
    int SetTagName(int16_t index, const char* name);
    int SetTagValue(int16_t index, const char* value);
    // Replaces the value of a tag of that name or adds the tag last; the
    // tag count afterwards.
    int16_t SetTag(const char* name, const char* value);
    int RemoveTag(int16_t index);
    // Adds a tag last without looking for its name, as a stream holds it;
    // false when the table is full.
    bool AppendTag(const char* name, const char* value);
    void ClearTags();

protected:
    int16_t m_iNumTags = 0;
    std::vector<YTextureTag> m_tags;

private:
    // Null with the message set for a bad index.
    const YTextureTag* Checked(int16_t index, const char* highMessage);

    YTextureError* m_tagErrors;
};
