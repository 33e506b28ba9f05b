// What the file-reading fuzz targets share: a scratch folder of their own as
// the current folder, the input written there as a file, the headless
// backend and one windowed display for readers that build surfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <memory>

#include "assets3d/YAssets3DResources.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YGraphics2DResources.h"
#include "gui/YGuiResources.h"
#include "sound/YSoundResources.h"

namespace fuzz {

// The resource types catalogs create, as the engine object registers them.
inline void RegisterResourceTypes()
{
    YGraphics2DResources::Register();
    YSoundResources::Register();
    YAssets3DResources::Register();
    YGuiResources::Register();
}

// Makes and enters /tmp/rcv_fuzz_<target>_<pid> once; the headless backend.
inline void EnterScratch(const char* target)
{
    static bool entered = false;
    if (entered) return;
    entered = true;
    RegisterResourceTypes();
    setenv("RCV_BACKEND", "headless", 1);
    unsetenv("RCV_FORCE");
    std::string dir = std::string("/tmp/rcv_fuzz_") + target + "_" + std::to_string(getpid());
    std::string command = "mkdir -p '" + dir + "'";
    if (std::system(command.c_str()) != 0 || chdir(dir.c_str()) != 0) std::abort();
}

// Writes the bytes to the named file in the current folder.
inline void WriteFile(const char* name, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(name, "wb");
    if (!file) std::abort();
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
}

inline void WriteFile(const char* name, const std::string& text)
{
    WriteFile(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// A message box that shows nothing, for script errors.
inline void Quiet(const char*) {}

// The bytes up to the first "\n--8<--\n", and the rest after it.
inline void Split(const uint8_t* data, size_t size, std::string& first, std::string& rest)
{
    std::string all(reinterpret_cast<const char*>(data), size);
    static const std::string cut = "\n--8<--\n";
    size_t at = all.find(cut);
    first = all.substr(0, at);
    rest = at == std::string::npos ? std::string() : all.substr(at + cut.size());
}

// One 640 x 480 windowed display for the whole run.
inline YDXDraw* Display()
{
    static YDXDraw* display = nullptr;
    if (!display) {
        display = new YDXDraw;
        GUID primary = {};
        if (display->Create(primary) != 1 || display->SetMode(0, nullptr) != 1) std::abort();
    }
    return display;
}

// A cleared system-memory surface to draw into; null when it cannot be made.
inline std::unique_ptr<YDXSurface> Target(int width, int height)
{
    std::unique_ptr<YDXSurface> surface(new YDXSurface("fuzz target"));
    if (surface->CreateSurface(Display(), width, height, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr) != 1) return nullptr;
    surface->Clear(nullptr, 0);
    return surface;
}

}  // namespace fuzz
