// Creates catalog resources by type code.
#pragma once

#include "platform/mfc.h"

class YResource;

class YResourceFactory : public CObject {
    DECLARE_DYNAMIC(YResourceFactory)
public:
    enum { kTypeCount = 28 };

    // A new, empty resource of the type's class; null for a type without one.
    YResource* Create(int type);
    // Creates the resource and loads it from directory + fileName (joined
    // as they stand).  Throws CFileException when the file cannot be opened
    // or the resource refuses it; the resource then stays recorded as the
    // one being loaded and belongs to the catching caller.
    YResource* CreateAndLoad(int type, const CString& directory, const CString& fileName);

    // The resource a failed CreateAndLoad left behind.
    static YResource* GetLoadingResource();
    static void ClearLoadingResource();

    // Classes of other subsystems announce themselves here at start-up.
    // Returns false for a type that carries no class.
    static bool RegisterType(int type, CRuntimeClass* resourceClass);
    static CRuntimeClass* GetRegisteredClass(int type);
    // Codes that never carry a class: 0, 5, 6, 7, 15, 16 and those outside 1..27.
    static bool TypeHasClass(int type);
};
