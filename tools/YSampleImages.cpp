#include "tools/YSampleImages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "graphics2d/YDIB.h"
#include "tools/YImageWriter.h"

namespace {

struct Colour {
    BYTE b, g, r, a;
};

Colour Gradient(int x, int y, int w, int h)
{
    return {128, static_cast<BYTE>(h > 1 ? y * 255 / (h - 1) : 0), static_cast<BYTE>(w > 1 ? x * 255 / (w - 1) : 0),
            255};
}

Colour Checker(int x, int y, int, int)
{
    BYTE v = ((x / 8 + y / 8) % 2) ? 192 : 64;
    return {v, v, v, 255};
}

// An arrow with its tip at the top-left corner, 1 pixel of black edge.
Colour Cursor(int x, int y, int w, int h)
{
    const Colour magenta = {255, 0, 255, 255}, black = {0, 0, 0, 255}, white = {255, 255, 255, 255};
    int size = (w < h ? w : h);
    bool inside = x <= y && y < size * 3 / 4 && x < size / 2;
    if (!inside) return magenta;
    bool edge = x == 0 || x == y || y == size * 3 / 4 - 1 || x == size / 2 - 1;
    return edge ? black : white;
}

Colour Panel(int x, int y, int w, int h)
{
    int dx = std::min(x, w - 1 - x), dy = std::min(y, h - 1 - y);
    int d = std::min(dx, dy);
    BYTE alpha = static_cast<BYTE>(d >= 8 ? 255 : d * 32);
    return {160, 64, 16, alpha};
}

// A red disc with a white rim on magenta, the colour key; the magenta is
// also clear in the alpha channel, so that it vanishes blended too.
Colour Keyed(int x, int y, int w, int h)
{
    const int cx2 = 2 * x + 1 - w, cy2 = 2 * y + 1 - h, r2 = std::min(w, h) - 2;
    const int d = cx2 * cx2 + cy2 * cy2;
    if (d > r2 * r2) return {255, 0, 255, 0};
    if (d > (r2 - 4) * (r2 - 4)) return {255, 255, 255, 255};
    return {0, 0, 255, 255};
}

// A white plus a third of the size thick, on magenta (clear in alpha).
Colour Plus(int x, int y, int w, int h)
{
    const bool across = y >= h / 3 && y < h - h / 3, down = x >= w / 3 && x < w - w / 3;
    return across || down ? Colour{255, 255, 255, 255} : Colour{255, 0, 255, 0};
}

// Four upright bars: red, green, blue, yellow.
Colour Bars(int x, int, int w, int)
{
    static const Colour bars[4] = {{0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}, {0, 255, 255, 255}};
    return bars[std::min(3, x * 4 / std::max(1, w))];
}

// Menu button faces: a flat face with a two-pixel bevel, light on the top
// and left edges when raised, dark there when pressed.
Colour Bevel(int x, int y, int w, int h, Colour face, bool pressed)
{
    const bool nearEdge = x < 2 || y < 2 || x >= w - 2 || y >= h - 2;
    if (!nearEdge) return face;
    const bool topLeft = x < 2 || y < 2;
    const bool light = topLeft != pressed;
    auto shade = [&](BYTE v) { return static_cast<BYTE>(light ? std::min(255, v + 96) : v / 3); };
    return {shade(face.b), shade(face.g), shade(face.r), 255};
}

Colour ButtonUp(int x, int y, int w, int h) { return Bevel(x, y, w, h, {144, 72, 24, 255}, false); }
Colour ButtonDown(int x, int y, int w, int h) { return Bevel(x, y, w, h, {96, 48, 16, 255}, true); }
Colour ButtonHover(int x, int y, int w, int h) { return Bevel(x, y, w, h, {200, 112, 40, 255}, false); }
Colour ButtonOff(int x, int y, int w, int h) { return Bevel(x, y, w, h, {96, 96, 96, 255}, false); }

// Slider thumb: a yellow knob with a dark rim.
Colour Thumb(int x, int y, int w, int h)
{
    const bool rim = x == 0 || y == 0 || x == w - 1 || y == h - 1;
    return rim ? Colour{0, 64, 96, 255} : Colour{32, 208, 255, 255};
}

// Slider track: a dark groove along the middle third on the menu's blue.
Colour Track(int, int y, int, int h)
{
    const bool groove = y >= h / 3 && y < h - h / 3;
    return groove ? Colour{48, 32, 24, 255} : Colour{40, 0, 0, 255};
}

// 3 bits of red, 3 of green, 2 of blue.
void FillPalette(YImage& image)
{
    for (int i = 0; i < 256; ++i) {
        image.m_palette[i].rgbRed = static_cast<BYTE>(((i >> 5) & 7) * 255 / 7);
        image.m_palette[i].rgbGreen = static_cast<BYTE>(((i >> 2) & 7) * 255 / 7);
        image.m_palette[i].rgbBlue = static_cast<BYTE>((i & 3) * 255 / 3);
        image.m_palette[i].rgbReserved = 0;
    }
}

BYTE Nearest(const YImage& image, const Colour& c)
{
    int best = 0x7FFFFFFF, index = 0;
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = image.m_palette[i];
        int db = q.rgbBlue - c.b, dg = q.rgbGreen - c.g, dr = q.rgbRed - c.r;
        int distance = db * db + dg * dg + dr * dr;
        if (distance < best) {
            best = distance;
            index = i;
        }
    }
    return static_cast<BYTE>(index);
}

}  // namespace

YImage* YSampleImages::Make(const std::string& pattern, int width, int height, bool palettised)
{
    Colour (*paint)(int, int, int, int) = nullptr;
    if (pattern == "gradient") paint = Gradient;
    else if (pattern == "checker") paint = Checker;
    else if (pattern == "cursor") paint = Cursor;
    else if (pattern == "panel") paint = Panel;
    else if (pattern == "keyed") paint = Keyed;
    else if (pattern == "plus") paint = Plus;
    else if (pattern == "bars") paint = Bars;
    else if (pattern == "button") paint = ButtonUp;
    else if (pattern == "button-pressed") paint = ButtonDown;
    else if (pattern == "button-hover") paint = ButtonHover;
    else if (pattern == "button-disabled") paint = ButtonOff;
    else if (pattern == "thumb") paint = Thumb;
    else if (pattern == "track") paint = Track;
    if (!paint || !YImage::IsSaneSize(width, height)) return nullptr;

    std::unique_ptr<YImage> image(new YImage);
    image->m_width = width;
    image->m_height = height;
    image->m_kind = IMAGE_KIND_BITMAP;
    image->m_palettised = palettised ? 1 : 0;
    image->SetPixelFormat(palettised ? 8 : 32);
    if (palettised) FillPalette(*image);
    if (!image->AllocatePixels(static_cast<uint32_t>(width) * (palettised ? 1 : 4))) return nullptr;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Colour c = paint(x, y, width, height);
            BYTE* at = image->m_pixels + static_cast<size_t>(y) * image->m_stride;
            if (palettised) {
                at[x] = Nearest(*image, c);
            } else {
                at[x * 4] = c.b;
                at[x * 4 + 1] = c.g;
                at[x * 4 + 2] = c.r;
                at[x * 4 + 3] = c.a;
            }
        }
    }
    return image.release();
}

std::vector<std::string> YSampleImages::Words(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '#') {
            break;
        } else if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) end = line.size();
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = line.find_first_of(" \t\r", i);
            if (end == std::string::npos) end = line.size();
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

int YSampleImages::WriteFromFile(const char* descriptionFile, const char* folder, WriteAllFn writeAll)
{
    std::ifstream in(descriptionFile, std::ios::binary);
    if (!in) {
        fprintf(stderr, "rcvdata: cannot read %s\n", descriptionFile);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    if (!writeAll(text.str(), folder, error)) {
        fprintf(stderr, "%s: %s\n", descriptionFile, error.c_str());
        return 1;
    }
    return 0;
}

void YSampleImages::MakeFolders(const std::string& folder, const std::string& name)
{
    for (size_t i = 0; i < name.size(); ++i)
        if (name[i] == '\\' || name[i] == '/') CreateDirectoryA((folder + "/" + name.substr(0, i)).c_str(), nullptr);
}

bool YSampleImages::WriteAll(const std::string& description, const std::string& folder, std::string& error)
{
    std::istringstream in(description);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::vector<std::string> w = Words(line);
        if (w.empty()) continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (w.size() != 5) {
            error = where + "expected file, format, pattern, width and height";
            return false;
        }
        const std::string& format = w[1];
        int width = atoi(w[3].c_str()), height = atoi(w[4].c_str());
        bool bmp = format.compare(0, 3, "bmp") == 0, tga = format.compare(0, 3, "tga") == 0;
        int bits = atoi(format.c_str() + 3);
        bool runLength = tga && format.size() > 5 && format.substr(5) == "rle";
        if ((!bmp && !tga) || (bmp && bits != 8 && bits != 24 && bits != 32) || (tga && bits != 24 && bits != 32) ||
            (bmp && format.size() != 3 + std::to_string(bits).size()) ||
            (tga && !runLength && format.size() != 5)) {
            error = where + "unknown format '" + format + "'";
            return false;
        }
        std::unique_ptr<YImage> image(Make(w[2], width, height, bits == 8));
        if (!image) {
            error = where + "no picture '" + w[2] + "' of " + w[3] + " x " + w[4];
            return false;
        }
        MakeFolders(folder, w[0]);
        const std::string path = folder + "/" + w[0];
        bool written = bmp ? YImageWriter::WriteBMP(*image, path, bits)
                           : YImageWriter::WriteTGA(*image, path, bits, runLength);
        if (!written) {
            error = where + "cannot write " + path;
            return false;
        }
    }
    return true;
}

bool YSampleImages::StoredPicture(const std::string& path, std::string& hex)
{
    YDIB dib;
    std::vector<BYTE> bytes;
    if (!dib.LoadFromFile(path.c_str()) || !dib.StoreImage(bytes)) return false;
    static const char* const kDigits = "0123456789abcdef";
    hex.clear();
    for (BYTE b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return true;
}
