// Procedural pictures for the sample data, made by pattern name:
//   "gradient"  red across, green down, blue half
//   "checker"   8-pixel squares of two greys
//   "cursor"    a black-edged white arrow on magenta, the colour key
//   "panel"     a blue box whose alpha fades towards its edges
//   "keyed"     a red disc with a white rim on magenta (alpha 0)
//   "plus"      a white plus on magenta (alpha 0)
//   "bars"      four upright bars: red, green, blue, yellow
// Records hold packed top-down rows; with palettised set the colours go
// through a 3-3-2 palette, in which magenta is entry 227.
#pragma once

#include <string>
#include <vector>

#include "graphics2d/YImage.h"

class YSampleImages {
public:
    // A new record, or none for an unknown pattern or size.
    static YImage* Make(const std::string& pattern, int width, int height, bool palettised);
    // Writes every picture a description lists into folder.  One picture a
    // line: file name, format (bmp8, bmp24, bmp32, tga24, tga32, tga24rle,
    // tga32rle), pattern, width, height; '#' starts a comment.  False with
    // "line N: ..." on the first error.
    static bool WriteAll(const std::string& description, const std::string& folder, std::string& error);
    // The picture of an image file as a catalog stores it, in hexadecimal:
    // the text a bitmap body's "picture" line takes.
    static bool StoredPicture(const std::string& path, std::string& hex);

    // Words of a description line; quoted words keep their spaces and
    // backslashes, '#' ends the line.
    static std::vector<std::string> Words(const std::string& line);
    // Reads a description file and writes what it lists into folder with
    // writeAll; the exit code of the builder's command, errors on stderr.
    typedef bool (*WriteAllFn)(const std::string& description, const std::string& folder, std::string& error);
    static int WriteFromFile(const char* descriptionFile, const char* folder, WriteAllFn writeAll);
    // Makes the folders of a relative file name below folder.
    static void MakeFolders(const std::string& folder, const std::string& name);
};
