// The catalog's texture handler (type 24, "Texture2s"): a set of texture
// files, its variants, each valid for a range of days of the year with two
// scale values.  The renderer draws one of the variants that apply today;
// editing tools load, change and save the variants' textures.
#pragma once

#include <vector>

#include "foundation/YResource.h"
#include "foundation/YString.h"

class YDataCollection;
class YTexture2;
class YTextureData;
class YTextureFormat;

class YTextureHandler : public YResource {
    DECLARE_SERIAL(YTextureHandler)
public:
    YTextureHandler();
    ~YTextureHandler() override;

    // The resource's fields, the variants (file name, days, scales) and the named values.
    void Serialize(CArchive& ar) override;
    // Tries LoadFromPath for each folder in order; load is the context word.
    BOOL LoadFromDirectories(CStringArray* folders, DWORD_PTR load) override;
    // False when the current variant's file is not in the folder; with load
    // non-zero loads it, and a file that does not load raises a user exception.
    BOOL LoadFromPath(const CString& folder, DWORD_PTR load) override;
    int Accept(YResourceVisitor* visitor) override;

    // Index -1 is the current variant.  Operations on an index outside the
    // variants return 0 (null) and change nothing.
    int GetCount() const { return static_cast<int>(m_variants.size()); }
    int GetCurrent() const { return m_iCurrent; }
    YTexture2* GetTexture(int index = -1) const;
    // The file name, behind the folder and one backslash when there is a folder.
    int GetFileName(CString& name, int index = -1) const;
    int GetDays(LONG& first, LONG& last, int index = -1) const;
    int GetScale(float& scale1, float& scale2, int index = -1) const;
    int SetDays(LONG first, LONG last, int index = -1);
    int SetScale(float scale1, float scale2, int index = -1);
    int SetFileName(const char* name, int index = -1);
    // Appends a default variant (days 1-365, scales 1.0) and makes it current; its index.
    int AddTexture();
    // The last variant becomes current and is selected; an emptied list gets a default variant.
    int RemoveTexture(int index);
    int SetCurrent(int index);
    // Makes the variant current and loads it from the handler's folder.
    int SelectTexture(int index);
    // Writes the variant's texture as a "YTEX" stream to its file; a user exception on failure.
    void Save(int index = -1);

    const CString& GetFolder() const { return m_strFolder; }
    int GetSelectedFormatIndex() const { return m_iSelectedFormat; }
    YTextureFormat* GetSelectedFormat() const;
    // The current texture's first format of exactly that name.
    YTextureFormat* FindFormat(const char* name) const;
    // Imports the image file into the current texture as its one format and selects it.
    int ImportFormat(const char* fileName, YTextureFormat* format);
    // Adds the format to the current texture and copies the selected format's
    // levels into it; the handler takes the format (deleted when it cannot be added).
    int CopySelectedFormat(YTextureFormat* format);

    // The named values.
    const YString& GetValue(const char* name) const;
    int SetValue(const char* name, const char* value);
    const YString& GetValueName(int index) const;
    const YString& GetValueAt(int index) const;
    int GetValueCount() const;

private:
    YTextureData* Variant(int index) const;
    void DeleteVariants();
    static YTextureData* DefaultVariant();

    YDataCollection* m_pData;
    std::vector<YTextureData*> m_variants;
    int32_t m_iCurrent = 0;
    CString m_strFolder;
    int32_t m_iSelectedFormat = -1;
};
