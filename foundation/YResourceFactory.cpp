#include "foundation/YResourceFactory.h"

#include "foundation/YFileHandler.h"
#include "foundation/YResource.h"

IMPLEMENT_DYNAMIC(YResourceFactory, CObject)

namespace {
CRuntimeClass* g_typeClasses[YResourceFactory::kTypeCount] = {};
YResource* g_loadingResource = nullptr;
}  // namespace

bool YResourceFactory::TypeHasClass(int type)
{
    if (type < 1 || type >= kTypeCount) return false;
    switch (type) {
    case 5:
    case 6:
    case 7:
    case 15:
    case 16:
        return false;
    default:
        return true;
    }
}

bool YResourceFactory::RegisterType(int type, CRuntimeClass* resourceClass)
{
    if (!TypeHasClass(type)) return false;
    if (resourceClass && !resourceClass->IsDerivedFrom(RUNTIME_CLASS(YResource))) return false;
    g_typeClasses[type] = resourceClass;
    return true;
}

CRuntimeClass* YResourceFactory::GetRegisteredClass(int type)
{
    if (!TypeHasClass(type)) return nullptr;
    if (type == 22) return RUNTIME_CLASS(YFileHandler);
    return g_typeClasses[type];
}

YResource* YResourceFactory::Create(int type)
{
    CRuntimeClass* resourceClass = GetRegisteredClass(type);
    if (!resourceClass) return nullptr;
    CObject* object = resourceClass->CreateObject();
    if (!object) return nullptr;
    if (!object->IsKindOf(RUNTIME_CLASS(YResource))) {
        delete object;
        return nullptr;
    }
    return static_cast<YResource*>(object);
}

YResource* YResourceFactory::CreateAndLoad(int type, const CString& directory, const CString& fileName)
{
    YResource* resource = Create(type);
    if (!resource) return nullptr;
    g_loadingResource = resource;

    CString path = directory + fileName;
    CFile file(path, CFile::modeRead | CFile::shareDenyNone);
    if (!resource->LoadFromFile(file)) AfxThrowFileException(CFileException::genericException, -1, path);
    file.Close();
    g_loadingResource = nullptr;
    return resource;
}

YResource* YResourceFactory::GetLoadingResource() { return g_loadingResource; }

void YResourceFactory::ClearLoadingResource() { g_loadingResource = nullptr; }
