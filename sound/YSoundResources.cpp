#include "sound/YSoundResources.h"

#include "foundation/YResourceFactory.h"
#include "sound/YSoundEmitter.h"
#include "sound/YWave.h"

void YSoundResources::Register()
{
    YResourceFactory::RegisterType(2, RUNTIME_CLASS(YWave));
    YResourceFactory::RegisterType(20, RUNTIME_CLASS(YSoundEmitter));
}
