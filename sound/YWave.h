// A wave resource: it remembers where its sound file lies; the data is
// read when the sound is played.
#pragma once

#include "foundation/YResource.h"

class YWave : public YResource {
    DECLARE_SERIAL(YWave)
public:
    YWave() = default;

    // Also takes the path of the archive's own file as the file name.
    void Serialize(CArchive& ar) override;
    // Remembers the open file's path and returns 1.
    BOOL LoadFromFile(CFile& file) override;
    int Accept(YResourceVisitor* visitor) override;

    const CString& GetFileName() const { return m_fileName; }

private:
    CString m_fileName;
};
