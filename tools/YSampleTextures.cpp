#include "tools/YSampleTextures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assets3d/YTexture2.h"
#include "tools/YImageWriter.h"
#include "tools/YSampleImages.h"

namespace {

struct Colour {
    int b, g, r, a;
};

// Repeatable noise in 0 .. 255 from a position.
int Noise(int x, int y, int seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<int>((h ^ (h >> 16)) & 0xFF);
}

int Mix(int a, int b, double t) { return static_cast<int>(std::lround(a + (b - a) * std::min(std::max(t, 0.0), 1.0))); }

// Distance from the centre, 0 there and 1 at the middle of an edge.
double Radius(int x, int y, int w, int h)
{
    double dx = (x + 0.5) / w * 2.0 - 1.0, dy = (y + 0.5) / h * 2.0 - 1.0;
    return std::sqrt(dx * dx + dy * dy);
}

Colour JetBlack(int x, int y, int, int)
{
    int v = 8 + Noise(x, y, 1) % 10;
    return {v, v, v, 255};
}

Colour Water(int x, int y, int w, int h)
{
    double wave = std::sin(x * 6.2831853 * 3 / w + std::sin(y * 6.2831853 * 2 / h) * 1.5);
    int n = Noise(x, y, 2) % 12;
    return {170 + static_cast<int>(wave * 30) + n, 90 + static_cast<int>(wave * 20) + n, 30 + n, 255};
}

Colour Grass(int x, int y, int, int)
{
    int n = Noise(x, y, 3), m = Noise(x / 4, y / 4, 4);
    return {30 + n % 20, 110 + (n + m) % 60, 40 + m % 30, 255};
}

Colour Rock(int x, int y, int, int)
{
    int n = Noise(x, y, 9) % 40, m = Noise(x / 8, y / 8, 10) % 30;
    int v = 95 + n + m;
    return {v - 8, v, v + 6, 255};
}

Colour Sand(int x, int y, int, int)
{
    int n = Noise(x, y, 11) % 24;
    return {120 + n, 185 + n, 210 + n, 255};
}

// Late-summer grass, dry and yellow.
Colour DryGrass(int x, int y, int, int)
{
    int n = Noise(x, y, 9), m = Noise(x / 4, y / 4, 10);
    return {40 + n % 20, 140 + (n + m) % 40, 150 + m % 40, 255};
}

// Snow with faint blue shadows.
Colour Snow(int x, int y, int, int)
{
    int n = Noise(x, y, 11) % 16, m = Noise(x / 8, y / 8, 12) % 20;
    return {250 - n / 2, 240 - n - m / 2, 235 - n - m, 255};
}

// Ice on a lake: pale blue with cracks.
Colour Ice(int x, int y, int w, int)
{
    bool crack = (x * 3 + y * 2) % (w / 2) == 0 || (x * 5 - y * 3 + 4 * w) % (w / 3 + 1) == 0;
    int n = Noise(x, y, 13) % 14;
    return crack ? Colour{230, 235, 240, 255} : Colour{220 - n, 190 - n, 160 - n, 255};
}

// Haze at the bottom edge to deep blue at the top; the back face holds the sun.
Colour SkySide(int x, int y, int w, int h, bool sun)
{
    double t = 1.0 - (y + 0.5) / h;
    Colour c = {Mix(235, 200, t), Mix(225, 140, t), Mix(215, 70, t), 255};
    if (sun) {
        double d = Radius(x - w / 4, y - h / 4 + h / 8, w / 2, h / 2);
        double glow = std::max(0.0, 1.0 - d);
        c = {Mix(c.b, 220, glow), Mix(c.g, 250, glow), Mix(c.r, 255, glow), 255};
    }
    return c;
}
Colour SkyFront(int x, int y, int w, int h) { return SkySide(x, y, w, h, false); }
Colour SkyBack(int x, int y, int w, int h) { return SkySide(x, y, w, h, true); }
Colour SkyTop(int x, int y, int, int) { return {200 + Noise(x, y, 5) % 8, 140, 70, 255}; }

// The other periods' sky boxes: a gradient from the horizon (bottom) to
// the zenith (top), colours given blue, green, red; night has stars.
Colour Gradient(int y, int h, Colour low, Colour high)
{
    const double t = 1.0 - (y + 0.5) / h;
    return {Mix(low.b, high.b, t), Mix(low.g, high.g, t), Mix(low.r, high.r, t), 255};
}
Colour Stars(int x, int y, Colour c)
{
    return Noise(x, y, 21) % 97 == 0 ? Colour{230, 230, 230, 255} : c;
}
Colour NightSide(int x, int y, int, int h) { return Stars(x, y, Gradient(y, h, {70, 40, 25, 255}, {30, 12, 6, 255})); }
Colour NightTop(int x, int y, int, int) { return Stars(x, y, {28, 10, 5, 255}); }
Colour DawnSide(int, int y, int, int h) { return Gradient(y, h, {140, 175, 250, 255}, {185, 120, 80, 255}); }
Colour DawnTop(int, int, int, int) { return {190, 125, 85, 255}; }
Colour DuskSide(int, int y, int, int h) { return Gradient(y, h, {60, 100, 235, 255}, {110, 50, 75, 255}); }
Colour DuskTop(int, int, int, int) { return {105, 45, 65, 255}; }

// Soft white puffs over clear sky; the alpha is the cloud cover.
Colour Clouds(int x, int y, int, int)
{
    const int cover = (Noise(x / 8, y / 8, 11) % 256 + Noise(x / 4, y / 4, 12) % 128) / 2;
    const int a = cover > 90 ? std::min(255, (cover - 90) * 3) : 0;
    return {250, 250, 255, a};
}

Colour Flare(int x, int y, int w, int h)
{
    double d = Radius(x, y, w, h);
    int a = Mix(255, 0, d);
    return {255, 250, 240, a};
}

// White and opaque at the corners, a soft ring round the middle.
Colour Glare(int x, int y, int w, int h)
{
    double d = Radius(x, y, w, h);
    return {255, 255, 255, d < 0.5 ? 200 : 255};
}

// A soft grey disc on white: multiplied into the ground it darkens it.
Colour Shadow(int x, int y, int w, int h)
{
    double d = Radius(x, y, w, h);
    const int v = 255 - (d < 0.6 ? 160 : Mix(160, 0, (d - 0.6) / 0.4));
    return {v, v, v, 255};
}

Colour Tree(int x, int y, int w, int h)
{
    // A trunk below a round crown.
    bool trunk = std::abs(2 * x + 1 - w) < w / 8 && y > h * 3 / 5;
    double crown = Radius(x, y + h / 6, w * 9 / 10, h * 3 / 4);
    if (trunk) return {20, 50, 90, 255};
    if (crown < 1.0) return {30, 100 + Noise(x, y, 6) % 60, 30, 255};
    return {0, 0, 0, 0};
}

Colour Bush(int x, int y, int w, int h)
{
    double d = Radius(x, y - h / 4, w, h);
    if (d < 0.9 && y > h / 5) return {40, 120 + Noise(x, y, 7) % 40, 50, 255};
    return {0, 0, 0, 0};
}

Colour Fence(int x, int y, int w, int h)
{
    const Colour magenta = {255, 0, 255, 255};
    bool post = (x % (w / 4)) < w / 16;
    bool rail = std::abs(y - h / 3) < h / 16 || std::abs(y - h * 2 / 3) < h / 16;
    if (!post && !rail) return magenta;
    int n = Noise(x, y, 8) % 25;
    return {40 + n, 90 + n, 140 + n, 255};
}

Colour Billboard(int x, int y, int w, int h)
{
    bool frame = x < 4 || y < 4 || x >= w - 4 || y >= h - 4;
    if (frame) return {40, 40, 40, 255};
    bool band = y > h / 3 && y < h * 2 / 3;
    return band ? Colour{30, 200, 250, 255} : Colour{230, 230, 230, 255};
}

// Model skins.
Colour Paint(int x, int y, int, int h)
{
    const int n = Noise(x, y, 11) % 16;
    if (std::abs(y - h / 2) < h / 10) return {150 + n, 40 + n, 30 + n, 255};
    return {40 + n, 180 + n, 220 + n / 2, 255};
}

Colour Tyre(int x, int y, int, int)
{
    const int n = Noise(x, y, 12) % 12;
    return {35 + n, 35 + n, 38 + n, 255};
}

Colour Planks(int x, int y, int w, int)
{
    const int n = Noise(x / 2, y, 13) % 24;
    if (x % std::max(w / 8, 1) == 0) return {15, 20, 70 + n / 2, 255};
    return {30 + n / 2, 40 + n / 2, 150 + n, 255};
}

Colour Roof(int x, int y, int, int h)
{
    const int n = Noise(x, y / 2, 14) % 20;
    if (y % std::max(h / 8, 1) == 0) return {40, 38, 36, 255};
    return {80 + n, 85 + n, 90 + n, 255};
}

// A blot of red paint: a round middle with a few drops about it.
Colour Splat(int x, int y, int w, int h)
{
    const double wobble = 0.15 * (Noise(x / 6, y / 6, 13) % 100) / 100.0;
    const double d = Radius(x, y, w * 3 / 4, h * 3 / 4);
    const bool drop = Noise(x / 5, y / 5, 14) % 23 == 0 && Radius(x, y, w, h) < 0.95;
    if (d + wobble < 0.85 || drop) return {40, 30, 220 - Noise(x, y, 15) % 40, 255};
    return {0, 0, 0, 0};
}

// A sole and a heel, dark and soft at the rim.
Colour Footprint(int x, int y, int w, int h)
{
    const double sole = Radius(x, y + h / 5, w * 3 / 4, h / 2);
    const double heel = Radius(x, y - h * 3 / 10, w / 2, h / 3);
    const double d = std::min(sole, heel);
    if (d >= 1.0) return {0, 0, 0, 0};
    return {30, 40, 50, Mix(230, 120, d)};
}

// The moon in phase k of 8: a bright disc, the shadow's edge crossing it.
template <int K>
Colour Moon(int x, int y, int w, int h)
{
    const double d = Radius(x, y, w, h);
    if (d >= 0.95) return {0, 0, 0, 0};
    const double edge = (K - 4) / 2.0;  // -2 .. 1.5 disc widths
    const double shadow = Radius(x - int(edge * w / 2), y, w, h);
    const bool lit = K == 4 || (K < 4 ? shadow >= 0.95 : shadow < 0.95);
    const int n = Noise(x / 3, y / 3, 16) % 30;
    return lit ? Colour{200 + n, 215 + n / 2, 225, 255} : Colour{60, 50, 40, 90};
}

struct Pattern {
    const char* name;
    Colour (*paint)(int, int, int, int);
};

const Pattern kPatterns[] = {
    {"jetblack", JetBlack}, {"water", Water},       {"grass", Grass},         {"sky-front", SkyFront},
    {"sky-left", SkyFront}, {"sky-back", SkyBack},  {"sky-right", SkyFront},  {"sky-top", SkyTop},
    {"flare", Flare},       {"glare", Glare},       {"shadow", Shadow},     {"tree", Tree},           {"bush", Bush},
    {"fence", Fence},       {"billboard", Billboard}, {"rock", Rock},           {"sand", Sand},
    {"dry-grass", DryGrass}, {"snow", Snow},         {"ice", Ice},             {"clouds", Clouds},
    {"paint", Paint},       {"tyre", Tyre},         {"planks", Planks},       {"roof", Roof},
    {"splat", Splat},       {"footprint", Footprint}, {"moon0", Moon<0>},     {"moon1", Moon<1>},
    {"moon2", Moon<2>},     {"moon3", Moon<3>},     {"moon4", Moon<4>},       {"moon5", Moon<5>},
    {"moon6", Moon<6>},     {"moon7", Moon<7>},
    {"night-side", NightSide}, {"night-top", NightTop}, {"dawn-side", DawnSide}, {"dawn-top", DawnTop},
    {"dusk-side", DuskSide},   {"dusk-top", DuskTop},
};

// Sprite images of the mode actors: a shape in one colour on a clear
// ground, named "sprite:SHAPE:RRGGBB".
Colour SpriteShape(const std::string& shape, Colour ink, int x, int y, int w, int h)
{
    const Colour clear = {0, 0, 0, 0};
    const double d = Radius(x, y, w, h);
    const double fx = (x + 0.5) / w * 2.0 - 1.0, fy = (y + 0.5) / h * 2.0 - 1.0;  // -1..1, y down
    if (shape == "disc") return d < 0.9 ? Colour{Mix(ink.b, 255, (0.5 - d) * (d < 0.5)), ink.g, ink.r, 255} : clear;
    if (shape == "ball") return d < 0.8 ? Colour{Mix(ink.b, 0, d), Mix(ink.g, 0, d), Mix(ink.r, 0, d), 255} : clear;
    if (shape == "ring") return d > 0.65 && d < 0.95 ? ink : clear;
    if (shape == "line") return std::fabs(fx) < 0.12 ? ink : clear;
    if (shape == "star") {
        const double a = std::atan2(fy, fx) * 5.0;
        return d < 0.55 + 0.35 * std::cos(a) ? ink : clear;
    }
    if (shape == "frame") return std::max(std::fabs(fx), std::fabs(fy)) > 0.75 ? ink : clear;
    if (shape == "banner") {
        if (std::fabs(fy) > 0.45) return clear;
        const bool check = ((x * 8 / w) + (y * 8 / h)) % 2 == 0;
        return check ? ink : Colour{255, 255, 255, 255};
    }
    // Arrows: a triangle pointing up, down, left or right, or a cross for all.
    double u = -fy, v = fx;  // u along the arrow, v across
    if (shape == "arrow-d") u = fy;
    else if (shape == "arrow-l") u = -fx, v = fy;
    else if (shape == "arrow-r") u = fx, v = fy;
    else if (shape == "arrow-all")
        return (std::fabs(fx) < 0.2 || std::fabs(fy) < 0.2) && d < 0.95 ? ink : clear;
    else if (shape != "arrow-u") return clear;
    return u < 0.9 && u > -0.9 && std::fabs(v) < (0.9 - u) * 0.5 ? ink : clear;
}

bool SpriteInk(const std::string& pattern, std::string& shape, Colour& ink)
{
    if (pattern.compare(0, 7, "sprite:") != 0) return false;
    const size_t colon = pattern.find(':', 7);
    if (colon == std::string::npos || pattern.size() != colon + 7) return false;
    shape = pattern.substr(7, colon - 7);
    const unsigned long rgb = std::strtoul(pattern.substr(colon + 1).c_str(), nullptr, 16);
    ink = {static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>((rgb >> 16) & 0xFF), 255};
    return true;
}

BYTE Clamp(int v) { return static_cast<BYTE>(std::min(std::max(v, 0), 255)); }

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

// Fills a format added to the texture from its first format, level by level.
bool CopyLevels(YTextureFormat& from, YTextureFormat& to)
{
    for (int16_t l = 0; l < from.m_iMIPDepth; ++l) {
        std::vector<BYTE> pixels(static_cast<size_t>(from.GetLayerRGB(l, nullptr, 1)));
        if (pixels.empty() || from.GetLayerRGB(l, pixels.data(), 1) != 0) return false;
        if (from.HasAlpha()) {
            std::vector<BYTE> alpha(pixels.size() / 4);
            if (from.GetLayerAlpha(l, alpha.data()) != 0) return false;
            for (size_t i = 0; i < alpha.size(); ++i) pixels[i * 4 + 3] = alpha[i];
        } else {
            for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
        }
        if (!to.SetLayerRGBA(l, pixels.data())) return false;
    }
    // Both came from the same picture.
    for (const char* tag : {"ExternRGBMIP-0", "ExternAlphaMIP-0"}) to.SetTag(tag, from.GetTagValueByName(tag, ""));
    if (!to.SetLayerRGBGenerated(0, 1)) return false;
    return !to.HasAlpha() || to.SetLayerAlphaGenerated(0, 1);
}

}  // namespace

const char* YSampleTextures::LayoutLine(const std::string& layout)
{
    if (layout == "565") return "RGB565 16 0 2 5 6 5 0 11 5 0 0 31 63 31 0";
    if (layout == "555") return "RGB555 15 0 2 5 5 5 0 10 5 0 0 31 31 31 0";
    if (layout == "4444") return "ARGB4444 16 4 2 4 4 4 4 8 4 0 12 15 15 15 15";
    if (layout == "1555") return "ARGB1555 16 1 2 5 5 5 1 10 5 0 15 31 31 31 1";
    if (layout == "8888") return "ARGB8888 32 8 4 8 8 8 8 16 8 0 24 255 255 255 255";
    if (layout == "888") return "RGB888 32 0 4 8 8 8 0 16 8 0 0 255 255 255 0";
    return "";
}

YImage* YSampleTextures::Make(const std::string& pattern, int width, int height)
{
    const Pattern* found = nullptr;
    for (const Pattern& p : kPatterns)
        if (pattern == p.name) found = &p;
    std::string shape;
    Colour ink = {0, 0, 0, 0};
    const bool sprite = SpriteInk(pattern, shape, ink);
    if ((!found && !sprite) || width < 4 || height < 4 || !YImage::IsSaneSize(width, height) || width > 4096 || height > 4096)
        return nullptr;
    std::unique_ptr<YImage> image(new YImage);
    image->m_width = width;
    image->m_height = height;
    image->m_kind = IMAGE_KIND_BITMAP;
    if (!image->AllocatePixels(static_cast<uint32_t>(width) * 4)) return nullptr;
    for (int y = 0; y < height; ++y) {
        BYTE* row = image->m_pixels + static_cast<size_t>(y) * image->m_stride;
        for (int x = 0; x < width; ++x) {
            Colour c = sprite ? SpriteShape(shape, ink, x, y, width, height) : found->paint(x, y, width, height);
            row[x * 4] = Clamp(c.b);
            row[x * 4 + 1] = Clamp(c.g);
            row[x * 4 + 2] = Clamp(c.r);
            row[x * 4 + 3] = Clamp(c.a);
        }
    }
    return image.release();
}

bool YSampleTextures::WriteAll(const std::string& description, const std::string& folder, std::string& error)
{
    std::istringstream in(description);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::vector<std::string> w = YSampleImages::Words(line);
        if (w.empty()) continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (w.size() < 5) {
            error = where + "expected file, pattern, width, height and layouts";
            return false;
        }
        bool colourKey = false, external = false;
        std::vector<std::pair<std::string, std::string>> tags;
        for (size_t i = 5; i < w.size(); ++i) {
            if (w[i] == "colorkey") {
                colourKey = true;
            } else if (w[i] == "external") {
                external = true;
            } else if (w[i] == "tag" && i + 2 < w.size()) {
                tags.emplace_back(w[i + 1], w[i + 2]);
                i += 2;
            } else {
                error = where + "unknown option '" + w[i] + "'";
                return false;
            }
        }
        std::unique_ptr<YImage> image(Make(w[1], atoi(w[2].c_str()), atoi(w[3].c_str())));
        if (!image) {
            error = where + "no picture '" + w[1] + "' of " + w[2] + " x " + w[3];
            return false;
        }
        std::vector<std::string> layouts = Split(w[4], ',');
        for (const std::string& layout : layouts) {
            if (!*LayoutLine(layout)) {
                error = where + "unknown layout '" + layout + "'";
                return false;
            }
        }

        // The picture beside the texture; it stays only when external.
        YSampleImages::MakeFolders(folder, w[0]);
        const std::string path = folder + "/" + w[0];
        const std::string picture = path.substr(0, path.rfind('.')) + ".tga";
        if (!YImageWriter::WriteTGA(*image, picture, 32, false)) {
            error = where + "cannot write " + picture;
            return false;
        }
        YTexture2 texture;
        texture.SetErrorMode(1);
        std::string name = w[0].substr(w[0].find_last_of("\\/") + 1);
        bool ok = texture.ImportImageFormat(YTextureFormat::ParseFormatLine(LayoutLine(layouts[0])), picture.c_str());
        if (!external) DeleteFileA(picture.c_str());
        if (!ok) {
            error = where + texture.GetError().GetBuffer();
            return false;
        }
        texture.m_strName = name.substr(0, name.rfind('.')).c_str();
        for (const auto& tag : tags) texture.SetTag(tag.first.c_str(), tag.second.c_str());

        // Colour-keyed levels are point-sampled so that the key stays exact.
        YTextureFormat* first = texture.GetFormat(0);
        const char* filter = colourKey ? "Point" : "Box";
        ok = first->GenerateRGBMIPs(filter, filter) && (!first->HasAlpha() || first->GenerateAlphaMIPs(filter, filter));
        for (size_t i = 1; ok && i < layouts.size(); ++i) {
            YTextureFormat* format = YTextureFormat::ParseFormatLine(LayoutLine(layouts[i]));
            ok = texture.AddFormat(format) && CopyLevels(*first, *format);
            if (!ok && texture.GetNumFormats() <= static_cast<int16_t>(i)) delete format;
        }
        if (ok && colourKey) {
            const BYTE magenta[4] = {255, 0, 255, 255};
            for (int16_t f = 0; ok && f < texture.GetNumFormats(); ++f) {
                YTextureFormat* format = texture.GetFormat(f);
                format->m_iColorKey = static_cast<int32_t>(format->PackPixel(magenta));
                if (format->HasAlpha()) ok = format->AlphaFromColorKey();
            }
        }
        ok = ok && texture.SaveFile(path.c_str());
        if (ok && external) ok = texture.Externalize(1) && texture.SaveFile(path.c_str());
        if (!ok) {
            error = where + "cannot write " + path + ": " + texture.GetError().GetBuffer();
            return false;
        }
    }
    return true;
}
