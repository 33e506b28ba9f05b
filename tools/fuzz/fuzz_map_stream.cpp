// libFuzzer target for the map readers: the first byte picks the reader.
// Even: the rest is a "YMAP" stream; a map that loads also has its strips
// saved to "StripBank.bin" and read back.  Odd: the rest is a strip bank.
// Runs in a folder of its own under /tmp.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "renderer/Stripper.h"
#include "renderer/YMapVT3.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static char folder[] = "/tmp/rcv_fuzz_map_XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const bool bank = data[0] & 1;
    std::vector<BYTE> bytes(data + 1, data + size);
    if (bank) {
        std::ofstream("StripBank.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        Stripper stripper;
        if (stripper.LoadBank()) stripper.SaveBank(static_cast<DWORD>(stripper.Cells().size()));
        return 0;
    }
    std::ofstream("map.zon", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    YMapVT3 map;
    if (!map.LoadFile("map.zon", nullptr)) return 0;
    Stripper stripper;
    stripper.Setup(map.m_vertices, map.m_groups, map.m_cells);
    if (stripper.SaveBank(static_cast<DWORD>(map.m_cells.size()))) stripper.LoadBank();
    return 0;
}
