#include "tools/YTextureCommands.h"

#include <cstdio>
#include <string>

#include "assets3d/YTexture2.h"
#include "tools/YSampleImages.h"
#include "tools/YSampleTextures.h"
#include "tools/YTextureDump.h"

namespace {

int Texture(const char* file)
{
    YTexture2 texture;
    texture.SetErrorMode(1);
    if (!texture.LoadFile(file, 1)) {
        fprintf(stderr, "rcvdata: %s: %s\n", file, texture.GetError().GetBuffer());
        return 1;
    }
    std::string text = YTextureDump::Write(texture);
    fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}  // namespace

bool YTextureCommands::Run(int argc, char** argv, int& result)
{
    if (argc < 2) return false;
    const std::string command = argv[1];
    if (argc == 4 && command == "textures") {
        result = YSampleImages::WriteFromFile(argv[2], argv[3], YSampleTextures::WriteAll);
        return true;
    }
    if (argc == 3 && command == "texture") {
        result = Texture(argv[2]);
        return true;
    }
    return false;
}
