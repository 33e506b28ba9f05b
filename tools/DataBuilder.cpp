// The sample-data builder:
//   rcvdata build DESCRIPTION CATALOG   writes a ".cat" from its text description
//   rcvdata dump CATALOG [TEXT]         writes any catalog back as text
//   rcvdata images DESCRIPTION FOLDER   writes the sample pictures a description lists
//   rcvdata picture IMAGE               prints an image file as a bitmap body's picture
//   rcvdata fonts-sprites FOLDER        writes the sample fonts and sprite pictures
//   rcvdata maps FOLDER                 writes the sample maps into FOLDER/maps
//   rcvdata map-dump MAP                prints a ".zon" map as text
//   rcvdata textures DESCRIPTION FOLDER writes the sample ".ytx" textures a description lists
//   rcvdata texture TEXTURE             prints a ".ytx" texture as text
//   rcvdata sounds FOLDER               writes the sample sounds
//   rcvdata screens SOURCE FOLDER       writes the sample screen scripts with CR LF
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "foundation/YCatalog.h"
#include "tools/YCatalogText.h"
#include "tools/YSampleFonts.h"
#include "tools/YSampleImages.h"
#include "tools/YSampleMaps.h"
#include "tools/YSampleModels.h"
#include "tools/YSampleScreens.h"
#include "tools/YSampleSounds.h"
#include "tools/YSampleSprites.h"
#include "tools/YTextureCommands.h"

namespace {

int Usage()
{
    fprintf(stderr, "usage: rcvdata build DESCRIPTION CATALOG\n       rcvdata dump CATALOG [TEXT]\n"
                    "       rcvdata images DESCRIPTION FOLDER\n       rcvdata picture IMAGE\n"
                    "       rcvdata fonts-sprites FOLDER\n       rcvdata maps FOLDER\n"
                    "       rcvdata map-dump MAP\n       rcvdata textures DESCRIPTION FOLDER\n"
                    "       rcvdata texture TEXTURE\n       rcvdata sounds FOLDER\n       rcvdata models FOLDER\n"
                    "       rcvdata screens SOURCE FOLDER\n");
    return 2;
}

std::string ExceptionText(CException* e)
{
    char text[512] = "";
    if (!e->GetErrorMessage(text, sizeof(text))) snprintf(text, sizeof(text), "unreadable file");
    e->Delete();
    return text;
}

int Build(const char* description, const char* output)
{
    std::ifstream in(description, std::ios::binary);
    if (!in) {
        fprintf(stderr, "rcvdata: cannot read %s\n", description);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    YCatalog catalog;
    std::string error;
    if (!YCatalogText::Read(text.str(), catalog, error)) {
        fprintf(stderr, "%s: %s\n", description, error.c_str());
        return 1;
    }
    try {
        catalog.Store(output);
    } catch (CException* e) {
        fprintf(stderr, "rcvdata: %s: %s\n", output, ExceptionText(e).c_str());
        return 1;
    }
    return 0;
}

int Dump(const char* catalogName, const char* output)
{
    std::string text;
    std::string error;
    try {
        YCatalog catalog(catalogName);
        if (!YCatalogText::Write(catalog, text, error)) {
            fprintf(stderr, "%s: %s\n", catalogName, error.c_str());
            return 1;
        }
    } catch (CException* e) {
        fprintf(stderr, "rcvdata: %s: %s\n", catalogName, ExceptionText(e).c_str());
        return 1;
    }
    if (!output) {
        fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    std::ofstream out(output, std::ios::binary);
    out << text;
    return out ? 0 : 1;
}

int Images(const char* description, const char* folder)
{
    return YSampleImages::WriteFromFile(description, folder, YSampleImages::WriteAll);
}

int Picture(const char* image)
{
    std::string hex;
    if (!YSampleImages::StoredPicture(image, hex)) {
        fprintf(stderr, "rcvdata: cannot read the picture %s\n", image);
        return 1;
    }
    printf("picture %s\n", hex.c_str());
    return 0;
}

int FontsAndSprites(const char* folder)
{
    std::string error;
    if (!YSampleFonts::WriteAll(folder, error) || !YSampleSprites::WriteAll(folder, error)) {
        fprintf(stderr, "rcvdata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Sounds(const char* folder)
{
    std::string error;
    if (!YSampleSounds::WriteAll(folder, error)) {
        fprintf(stderr, "rcvdata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Screens(const char* source, const char* folder)
{
    std::string error;
    if (!YSampleScreens::WriteAll(source, folder, error)) {
        fprintf(stderr, "rcvdata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Maps(const char* folder)
{
    std::string error;
    if (!YSampleMaps::WriteAll(folder, error)) {
        fprintf(stderr, "rcvdata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Models(const char* folder)
{
    std::string error;
    if (!YSampleModels::WriteAll(folder, error)) {
        fprintf(stderr, "rcvdata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int MapDump(const char* path)
{
    std::string text, error;
    if (!YSampleMaps::Dump(path, text, error)) {
        fprintf(stderr, "rcvdata: %s\n", error.c_str());
        return 1;
    }
    fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    YCatalogText::RegisterResourceClasses();
    if (argc == 4 && std::string(argv[1]) == "build") return Build(argv[2], argv[3]);
    if ((argc == 3 || argc == 4) && std::string(argv[1]) == "dump") return Dump(argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc == 4 && std::string(argv[1]) == "images") return Images(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "picture") return Picture(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "fonts-sprites") return FontsAndSprites(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "sounds") return Sounds(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "models") return Models(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "maps") return Maps(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "screens") return Screens(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "map-dump") return MapDump(argv[2]);
    int result = 0;
    if (YTextureCommands::Run(argc, argv, result)) return result;
    return Usage();
}
