#include "graphics2d/YGraphics2DResources.h"

#include "foundation/YResourceFactory.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YMesh.h"
#include "graphics2d/YModel.h"
#include "graphics2d/YSprite.h"

void YGraphics2DResources::Register()
{
    YResourceFactory::RegisterType(1, RUNTIME_CLASS(YDIB));
    YResourceFactory::RegisterType(3, RUNTIME_CLASS(YSprite));
    YResourceFactory::RegisterType(4, RUNTIME_CLASS(YMesh));
    YResourceFactory::RegisterType(17, RUNTIME_CLASS(YFont));
    YResourceFactory::RegisterType(19, RUNTIME_CLASS(YModel));
}
