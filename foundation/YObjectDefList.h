// A list of object definitions.  It does not delete them by itself: the
// owner calls DeleteAll or ReleaseAll.
#pragma once

#include "platform/mfc.h"

class YObjectDef;

class YObjectDefList : public CTypedPtrList<CObList, YObjectDef*> {
public:
    explicit YObjectDefList(int blockSize = 10) : CTypedPtrList<CObList, YObjectDef*>(blockSize) {}

    // The first definition of that name (any letter case), or null.
    YObjectDef* Find(const CString& name) const;
    void DeleteAll();
    void ReleaseAll();
    void FindDerived(const CString& name, YObjectDefList& out) const;
    void DeleteByBaseName(const CString& name);
    // 1 when the definition was in the list (it is then deleted), else 0.
    int Remove(YObjectDef* definition);
    CString ToScript() const;
    // Appends the script text to an existing file and returns the text.
    CString Save(LPCTSTR fileName) const;
    // The definitions without class information.
    void Serialize(CArchive& ar) override;
};
