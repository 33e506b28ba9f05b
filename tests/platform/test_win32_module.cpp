// Libraries loaded at run time: a missing one is an ordinary null.
#include <gtest/gtest.h>

#include "platform/win32.h"

TEST(Win32Module, MissingLibrariesAndBadHandlesGiveNullWithTheirError)
{
    struct Case {
        const char* name;
        DWORD error;
    };
    const Case cases[] = {
        {"NoSuchVendor.dll", ERROR_MOD_NOT_FOUND},
        {"no\\such\\folder\\Lib.dll", ERROR_MOD_NOT_FOUND},
        {"", ERROR_INVALID_PARAMETER},
        {nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(nullptr, LoadLibraryA(c.name)) << (c.name ? c.name : "null");
        EXPECT_EQ(c.error, GetLastError()) << (c.name ? c.name : "null");
    }
    EXPECT_EQ(nullptr, GetProcAddress(nullptr, "GS_SetHandheldRange"));
    EXPECT_EQ(FALSE, FreeLibrary(nullptr));
}
