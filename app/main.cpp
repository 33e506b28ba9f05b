// The program's entry: the one application object, run as the class library would.
#include "app/YKestrix.h"
#include "platform/backend/Backend.h"

namespace {
YKestrix theApp;
}

int main()
{
    YKestrix::RegisterResources();
    int code = AfxWinMain();
    platform::Backend::Shutdown();
    return code;
}
