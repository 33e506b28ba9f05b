// A stand-in for the light gun vendor's library, for the tests: it keeps
// the handheld range and mode it is given. Two of the seven procedures are
// left out on purpose.
namespace {
int g_low = 0;
int g_high = 0;
int g_mode = 0;
}  // namespace

extern "C" {
int GS_SetHandheldRange(int low, int high)
{
    g_low = low;
    g_high = high;
    return 1;
}

int GS_GetHandheldRange(int which, int)
{
    return which == 0 ? g_low : g_high;
}

int GS_SetCalibrationMode(int a, int b)
{
    return a * 100 + b;
}

int GS_SetHandheldMode(int mode)
{
    g_mode = mode;
    return 1;
}

int GS_GetHandheldMode(int)
{
    return g_mode;
}
}
