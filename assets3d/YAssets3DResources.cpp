#include "assets3d/YAssets3DResources.h"

#include "foundation/YResourceFactory.h"
#include "assets3d/YSMLoader.h"
#include "assets3d/YTextureHandler.h"

void YAssets3DResources::Register()
{
    YResourceFactory::RegisterType(21, RUNTIME_CLASS(YSMLoader));
    YResourceFactory::RegisterType(24, RUNTIME_CLASS(YTextureHandler));
}
