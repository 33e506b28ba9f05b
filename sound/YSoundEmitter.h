// A sound emitter of the catalog: a list of sound files (the first one
// found in a folder makes it load) and one playback record.
#pragma once

#include "foundation/YResource.h"
#include "foundation/YString.h"
#include "sound/YSoundEmitterInfo.h"

class YSoundEmitter : public YResource {
    DECLARE_SERIAL(YSoundEmitter)
public:
    YSoundEmitter() = default;
    explicit YSoundEmitter(const char* fileName);

    void Serialize(CArchive& ar) override;
    void Unload() override {}
    // Loads when the first sound file is in the folder; the folder is kept.
    BOOL LoadFromPath(const CString& folder, DWORD_PTR context) override;
    // The first folder of the list that holds the first sound file.
    BOOL LoadFromDirectories(CStringArray* folders, DWORD_PTR context) override;
    int Accept(YResourceVisitor* visitor) override;

    // The file name at index as stored; empty outside the list.
    void GetSoundFilePath(YString& text, int index) const;
    // Takes the other's folder and record, not its files.
    void Assign(const YSoundEmitter& other);

    CStringArray m_soundFiles;
    CString m_folder;
    YSoundEmitterInfo m_info;
};
