#include "tools/YCatalogText.h"

#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "assets3d/YAssets3DResources.h"
#include "assets3d/YSMLoader.h"
#include "assets3d/YTextureHandler.h"
#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YFileFinder.h"
#include "foundation/YFileHandler.h"
#include "foundation/YResourceFactory.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YFont.h"
#include "tools/YImageWriter.h"
#include "tools/YSampleImages.h"
#include "graphics2d/YFrame.h"
#include "graphics2d/YGraphics2DResources.h"
#include "graphics2d/YMesh.h"
#include "graphics2d/YModel.h"
#include "graphics2d/YModelFrame.h"
#include "graphics2d/YSprite.h"
#include "gui/YGuiResources.h"
#include "sound/YSoundResources.h"

namespace {

typedef std::vector<std::string> Words;

std::string Quote(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            snprintf(hex, sizeof(hex), "\\x%02X", c);
            out += hex;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

std::string Quote(const CString& text) { return Quote(std::string((LPCTSTR)text)); }

std::string Float(float value)
{
    char text[32];
    snprintf(text, sizeof(text), "%.9g", value);
    return text;
}

std::string Hex(const std::vector<BYTE>& bytes)
{
    if (bytes.empty()) return "\"\"";
    std::string out;
    static const char* const kDigits = "0123456789abcdef";
    for (BYTE b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

// Splits a line into words; double quotes keep blanks, with \" \\ and \xHH.
bool SplitLine(const std::string& line, Words& words, std::string& error)
{
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    word += c;
                    continue;
                }
                if (i >= line.size()) break;
                char e = line[i++];
                if (e == 'x' && i + 2 <= line.size()) {
                    word += (char)strtol(line.substr(i, 2).c_str(), nullptr, 16);
                    i += 2;
                } else {
                    word += e;
                }
            }
            if (!closed) {
                error = "unclosed quote";
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

// ---------------------------------------------------------------- writing

class Writer {
public:
    explicit Writer(std::ostringstream& out) : m_out(out) {}
    void Line(int indent, const std::string& key, const std::string& value)
    {
        m_out << std::string(indent * 4, ' ') << key;
        if (!value.empty()) m_out << ' ' << value;
        m_out << '\n';
    }
    void Line(int indent, const std::string& key, long value) { Line(indent, key, std::to_string(value)); }

private:
    std::ostringstream& m_out;
};

void WriteBody(Writer& w, YResource* resource)
{
    const int d = 2;
    if (YFont* font = DYNAMIC_DOWNCAST(YFont, resource)) {
        w.Line(d, "image", Quote(font->m_imageName));
        w.Line(d, "columns", font->m_columns);
        return;
    }
    w.Line(d, "version", resource->GetVersion());
    if (YDIB* dib = DYNAMIC_DOWNCAST(YDIB, resource)) {
        w.Line(d, "transparent-index", dib->GetTransparentIndex());
        char color[16];
        snprintf(color, sizeof(color), "0x%08X", (unsigned)dib->m_transparentColor);
        w.Line(d, "transparent-color", color);
        w.Line(d, "top-down", (long)dib->m_topDown);
        std::vector<BYTE> picture;
        dib->StoreImage(picture);
        w.Line(d, "picture", Hex(picture));
    } else if (YFileHandler* handler = DYNAMIC_DOWNCAST(YFileHandler, resource)) {
        w.Line(d, "word", handler->m_word);
        for (int i = 0; i < handler->GetCount(); ++i) {
            YFileFinder* f = handler->GetEntry(i);
            w.Line(d, "finder", Quote(f->m_key) + " " + Quote(f->m_file) + " " + std::to_string(f->m_wordA) + " " +
                                    std::to_string(f->m_wordB) + " " + std::to_string(f->m_wordC));
        }
    } else if (YSMLoader* loader = DYNAMIC_DOWNCAST(YSMLoader, resource)) {
        if (!loader->GetFileName().IsEmpty()) w.Line(d, "file-name", Quote(loader->GetFileName()));
    } else if (YTextureHandler* textures = DYNAMIC_DOWNCAST(YTextureHandler, resource)) {
        for (int i = 0; i < textures->GetCount(); ++i) {
            CString file;
            LONG first = 0, last = 0;
            float scale1 = 0.0f, scale2 = 0.0f;
            textures->GetFileName(file, i);
            textures->GetDays(first, last, i);
            textures->GetScale(scale1, scale2, i);
            w.Line(d, "variant", Quote(file) + " " + std::to_string(first) + " " + std::to_string(last) + " " +
                                     Float(scale1) + " " + Float(scale2));
        }
        for (int i = 0; i < textures->GetValueCount(); ++i)
            w.Line(d, "value", Quote(std::string(textures->GetValueName(i).GetBuffer())) + " " +
                                   Quote(std::string(textures->GetValueAt(i).GetBuffer())));
    } else if (YMesh* mesh = DYNAMIC_DOWNCAST(YMesh, resource)) {
        w.Line(d, "file-name", Quote(mesh->GetFileName()));
        w.Line(d, "second-name", Quote(mesh->m_secondName));
        w.Line(d, "flags", std::to_string(mesh->m_flags[0]) + " " + std::to_string(mesh->m_flags[1]) + " " +
                               std::to_string(mesh->m_flags[2]));
        w.Line(d, "values", std::to_string(mesh->m_valueA) + " " + std::to_string(mesh->m_valueB) + " " +
                                std::to_string(mesh->m_valueC) + " " + std::to_string(mesh->m_valueD) + " " +
                                std::to_string(mesh->m_valueE) + " " + std::to_string(mesh->m_valueF));
    } else if (YModel* model = DYNAMIC_DOWNCAST(YModel, resource)) {
        w.Line(d, "name", Quote(model->m_name));
        w.Line(d, "flags", std::to_string(model->m_flags[0]) + " " + std::to_string(model->m_flags[1]) + " " +
                               std::to_string(model->m_flags[2]));
        w.Line(d, "values", std::to_string(model->m_valueG) + " " + std::to_string(model->m_valueH) + " " +
                                std::to_string(model->m_valueI) + " " + std::to_string(model->m_valueJ));
        for (int i = 0; i < model->GetFrames().GetSize(); ++i) {
            YModelFrame* f = model->GetFrames()[i];
            w.Line(d, "frame", Quote(f->m_name) + " " + Quote(f->m_secondName) + " " + Float(f->m_valueK) + " " +
                                   std::to_string(f->m_valueP) + " " + std::to_string(f->m_valueQ) + " " +
                                   std::to_string(f->m_valueR) + " " + std::to_string(f->m_valueS));
        }
    } else if (YSprite* sprite = DYNAMIC_DOWNCAST(YSprite, resource)) {
        w.Line(d, "name", Quote(sprite->m_name));
        w.Line(d, "position", std::to_string(sprite->m_x) + " " + std::to_string(sprite->m_y));
        w.Line(d, "size", std::to_string(sprite->m_width) + " " + std::to_string(sprite->m_height));
        w.Line(d, "values", std::to_string(sprite->m_valueA) + " " + std::to_string(sprite->m_valueB) + " " +
                                std::to_string(sprite->m_valueC));
        w.Line(d, "half-size", sprite->m_halfSize);
        for (POSITION pos = sprite->GetFrames().GetHeadPosition(); pos;) {
            YFrame* f = sprite->GetFrames().GetNext(pos);
            const RECT& r = f->m_frameRect;
            const RECT& c = f->m_focusRect;
            std::ostringstream line;
            line << Quote(f->m_imageName) << ' ' << f->GetVersion() << ' ' << f->m_tag << ' ' << r.left << ' '
                 << r.top << ' ' << r.right << ' ' << r.bottom << ' ' << f->m_hotSpot.x << ' ' << f->m_hotSpot.y
                 << ' ' << c.left << ' ' << c.top << ' ' << c.right << ' ' << c.bottom << ' ' << f->m_halfSize << ' '
                 << Quote(f->m_halfSizeSuffix);
            w.Line(d, "frame", line.str());
        }
    }
}

// ---------------------------------------------------------------- reading

struct Reader {
    int line = 0;
    std::string error;

    bool Fail(const std::string& message)
    {
        error = "line " + std::to_string(line) + ": " + message;
        return false;
    }
    bool Count(const Words& w, size_t n)
    {
        if (w.size() == n) return true;
        return Fail("'" + w[0] + "' takes " + std::to_string(n - 1) + " value(s)");
    }
    bool Number(const std::string& text, long& value)
    {
        char* end = nullptr;
        value = strtol(text.c_str(), &end, 0);
        if (text.empty() || *end) return Fail("not a number: " + text);
        return true;
    }
    bool Numbers(const Words& w, size_t first, std::vector<long>& values)
    {
        values.clear();
        for (size_t i = first; i < w.size(); ++i) {
            long v;
            if (!Number(w[i], v)) return false;
            values.push_back(v);
        }
        return true;
    }
    bool Bytes(const std::string& hex, std::vector<BYTE>& out)
    {
        out.clear();
        if (hex.size() % 2) return Fail("odd number of hex digits");
        for (size_t i = 0; i < hex.size(); i += 2) {
            char* end = nullptr;
            std::string pair = hex.substr(i, 2);
            long b = strtol(pair.c_str(), &end, 16);
            if (*end) return Fail("not hex: " + pair);
            out.push_back((BYTE)b);
        }
        return true;
    }

    bool BodyLine(YResource* resource, const Words& w);
    bool LoadPattern(YDIB* dib, const std::string& pattern, int width, int height, int bits);

    // Texture handlers whose first variant line was read: the default
    // variant a handler starts with takes the first line.
    std::set<const YResource*> varied;
};

bool Reader::LoadPattern(YDIB* dib, const std::string& pattern, int width, int height, int bits)
{
    if (bits != 8 && bits != 24 && bits != 32) return Fail("pattern bits must be 8, 24 or 32");
    std::unique_ptr<YImage> image(YSampleImages::Make(pattern, width, height, bits == 8));
    if (!image) return Fail("unknown pattern or size: " + pattern);
    // The picture is read back by its extension.
    char path[] = "/tmp/rcvdata-patternXXXXXX.bmp";
    const int fd = mkstemps(path, 4);
    if (fd < 0) return Fail("no scratch file for a pattern");
    close(fd);
    const bool loaded = YImageWriter::WriteBMP(*image, path, bits) && dib->LoadFromFile(path);
    unlink(path);
    return loaded ? true : Fail("pattern " + pattern + " did not load");
}

bool Reader::BodyLine(YResource* resource, const Words& w)
{
    const std::string& key = w[0];
    std::vector<long> v;
    if (YFont* font = DYNAMIC_DOWNCAST(YFont, resource)) {
        if (key == "image" && Count(w, 2)) {
            font->m_imageName = w[1].c_str();
            return true;
        }
        if (key == "columns" && Count(w, 2) && Numbers(w, 1, v)) {
            font->m_columns = (LONG)v[0];
            return true;
        }
        return error.empty() ? Fail("unknown font field '" + key + "'") : false;
    }
    if (key == "version") {
        if (!Count(w, 2) || !Numbers(w, 1, v)) return false;
        CMemFile memory;
        {
            CArchive ar(&memory, CArchive::store);
            ar << (LONG)v[0];
        }
        memory.SeekToBegin();
        CArchive ar(&memory, CArchive::load);
        resource->YResource::Serialize(ar);
        return true;
    }
    if (YDIB* dib = DYNAMIC_DOWNCAST(YDIB, resource)) {
        if (key == "pattern") {
            // pattern NAME WIDTH HEIGHT BITS: a sample picture made here.
            if (!Count(w, 5) || !Numbers(w, 2, v)) return false;
            return LoadPattern(dib, w[1], (int)v[0], (int)v[1], (int)v[2]);
        }
        if (!Count(w, 2)) return false;
        if (key == "picture") {
            std::vector<BYTE> picture;
            if (!Bytes(w[1], picture)) return false;
            if (!picture.empty() && !dib->LoadStoredImage(picture.data(), picture.size()))
                return Fail("unreadable picture");
            return true;
        }
        if (!Numbers(w, 1, v)) {
            // "0x..." colours are read as unsigned
            error.clear();
            v.assign(1, (long)strtoul(w[1].c_str(), nullptr, 0));
        }
        if (key == "transparent-index") dib->SetTransparentIndex((LONG)v[0]);
        else if (key == "transparent-color") dib->m_transparentColor = (DWORD)(unsigned long)v[0];
        else if (key == "top-down") dib->m_topDown = (DWORD)v[0];
        else return Fail("unknown image field '" + key + "'");
        return true;
    }
    if (YFileHandler* handler = DYNAMIC_DOWNCAST(YFileHandler, resource)) {
        if (key == "word" && Count(w, 2) && Numbers(w, 1, v)) {
            handler->m_word = (LONG)v[0];
            return true;
        }
        if (key == "finder" && Count(w, 6) && Numbers(w, 3, v)) {
            handler->AddEntry(w[2].c_str(), w[1].c_str(), (LONG)v[0], (LONG)v[1]);
            handler->SetWordC(handler->GetCount() - 1, (LONG)v[2]);
            return true;
        }
        return error.empty() ? Fail("unknown file handler field '" + key + "'") : false;
    }
    if (YSMLoader* loader = DYNAMIC_DOWNCAST(YSMLoader, resource)) {
        if (key == "file-name" && Count(w, 2)) {
            loader->SetFileName(w[1].c_str());
            return true;
        }
        return error.empty() ? Fail("unknown model loader field '" + key + "'") : false;
    }
    if (YTextureHandler* textures = DYNAMIC_DOWNCAST(YTextureHandler, resource)) {
        if (key == "variant") {
            if (!Count(w, 6)) return false;
            std::vector<long> days;
            Words dayWords(w.begin() + 1, w.begin() + 4);
            if (!Numbers(dayWords, 1, days)) return false;
            char* end1 = nullptr;
            char* end2 = nullptr;
            const float scale1 = strtof(w[4].c_str(), &end1), scale2 = strtof(w[5].c_str(), &end2);
            if (w[4].empty() || w[5].empty() || *end1 || *end2) return Fail("not a scale: " + w[4] + " " + w[5]);
            const int index = varied.insert(resource).second ? 0 : textures->AddTexture();
            textures->SetFileName(w[1].c_str(), index);
            textures->SetDays((LONG)days[0], (LONG)days[1], index);
            textures->SetScale(scale1, scale2, index);
            textures->SetCurrent(0);
            return true;
        }
        if (key == "value" && Count(w, 3)) {
            textures->SetValue(w[1].c_str(), w[2].c_str());
            return true;
        }
        return error.empty() ? Fail("unknown texture handler field '" + key + "'") : false;
    }
    if (YMesh* mesh = DYNAMIC_DOWNCAST(YMesh, resource)) {
        if (key == "file-name" && Count(w, 2)) mesh->SetFileName(w[1].c_str());
        else if (key == "second-name" && Count(w, 2)) mesh->m_secondName = w[1].c_str();
        else if (key == "flags" && Count(w, 4) && Numbers(w, 1, v)) {
            for (int i = 0; i < 3; ++i) mesh->m_flags[i] = (BYTE)v[i];
        } else if (key == "values" && Count(w, 7) && Numbers(w, 1, v)) {
            mesh->m_valueA = v[0], mesh->m_valueB = v[1], mesh->m_valueC = v[2];
            mesh->m_valueD = v[3], mesh->m_valueE = v[4], mesh->m_valueF = v[5];
        } else
            return error.empty() ? Fail("unknown mesh field '" + key + "'") : false;
        return true;
    }
    if (YModel* model = DYNAMIC_DOWNCAST(YModel, resource)) {
        if (key == "name" && Count(w, 2)) model->m_name = w[1].c_str();
        else if (key == "flags" && Count(w, 4) && Numbers(w, 1, v)) {
            for (int i = 0; i < 3; ++i) model->m_flags[i] = (BYTE)v[i];
        } else if (key == "values" && Count(w, 5) && Numbers(w, 1, v)) {
            model->m_valueG = v[0], model->m_valueH = v[1], model->m_valueI = v[2], model->m_valueJ = v[3];
        } else if (key == "frame" && Count(w, 8) && Numbers(w, 4, v)) {
            YModelFrame* frame = new YModelFrame;
            frame->m_name = w[1].c_str();
            frame->m_secondName = w[2].c_str();
            frame->m_valueK = strtof(w[3].c_str(), nullptr);
            frame->m_valueP = v[0], frame->m_valueQ = v[1], frame->m_valueR = v[2], frame->m_valueS = v[3];
            model->AddFrame(frame);
        } else
            return error.empty() ? Fail("unknown model field '" + key + "'") : false;
        return true;
    }
    if (YSprite* sprite = DYNAMIC_DOWNCAST(YSprite, resource)) {
        if (key == "name" && Count(w, 2)) sprite->m_name = w[1].c_str();
        else if (key == "position" && Count(w, 3) && Numbers(w, 1, v)) sprite->m_x = v[0], sprite->m_y = v[1];
        else if (key == "size" && Count(w, 3) && Numbers(w, 1, v)) sprite->m_width = v[0], sprite->m_height = v[1];
        else if (key == "values" && Count(w, 4) && Numbers(w, 1, v))
            sprite->m_valueA = v[0], sprite->m_valueB = v[1], sprite->m_valueC = v[2];
        else if (key == "half-size" && Count(w, 2) && Numbers(w, 1, v)) sprite->m_halfSize = v[0];
        else if (key == "frame" && Count(w, 16)) {
            std::vector<long> n;
            Words numbers(w.begin() + 2, w.end() - 1);
            numbers.insert(numbers.begin(), w[0]);
            if (!Numbers(numbers, 1, n)) return false;
            YFrame* frame = new YFrame;
            frame->m_imageName = w[1].c_str();
            CMemFile memory;
            {
                CArchive ar(&memory, CArchive::store);
                ar << (LONG)n[0];
            }
            memory.SeekToBegin();
            CArchive ar(&memory, CArchive::load);
            frame->YResource::Serialize(ar);
            frame->m_tag = n[1];
            frame->m_frameRect = RECT{(LONG)n[2], (LONG)n[3], (LONG)n[4], (LONG)n[5]};
            frame->m_hotSpot = POINT{(LONG)n[6], (LONG)n[7]};
            frame->m_focusRect = RECT{(LONG)n[8], (LONG)n[9], (LONG)n[10], (LONG)n[11]};
            frame->m_halfSize = (DWORD)n[12];
            frame->m_halfSizeSuffix = w[15].c_str();
            sprite->AddFrame(frame);
        } else
            return error.empty() ? Fail("unknown sprite field '" + key + "'") : false;
        return true;
    }
    return Fail("'" + std::string(resource->GetRuntimeClass()->m_lpszClassName) + "' has no field '" + key + "'");
}

}  // namespace

void YCatalogText::RegisterResourceClasses()
{
    YGraphics2DResources::Register();
    YSoundResources::Register();
    YAssets3DResources::Register();
    YGuiResources::Register();
}

bool YCatalogText::Write(YCatalog& catalog, std::string& text, std::string& error)
{
    std::ostringstream out;
    Writer w(out);
    out << "catalog\n";
    w.Line(1, "header-word", catalog.m_headerWord);
    w.Line(1, "label-a", Quote(catalog.m_labelA));
    w.Line(1, "label-b", Quote(catalog.m_labelB));
    w.Line(1, "base-directory-0", Quote(catalog.GetBaseDirectoryOf(0)));
    w.Line(1, "base-directory-1", Quote(catalog.GetBaseDirectoryOf(1)));
    for (int i = 0; i < catalog.GetEmbeddedSections().GetSize(); ++i)
        w.Line(1, "embedded", Quote(catalog.GetEmbeddedSections()[i]));
    out << "end\n";

    std::map<const YCatalogItem*, int> ids;
    int next = 1;
    for (POSITION pos = catalog.GetItems()->GetHeadPosition(); pos;) {
        const YCatalogItem* item = catalog.GetItems()->GetNext(pos);
        if (!ids.count(item)) ids[item] = next;
        ++next;
    }

    int id = 1;
    for (POSITION pos = catalog.GetItems()->GetHeadPosition(); pos; ++id) {
        YCatalogItem* item = catalog.GetItems()->GetNext(pos);
        out << "\nitem " << id << "\n";
        if (ids[item] != id) {
            error = "item " + std::to_string(id) + " repeats item " + std::to_string(ids[item]);
            return false;
        }
        w.Line(1, "type", item->GetType());
        w.Line(1, "section", Quote(item->GetSection()));
        w.Line(1, "name", Quote(item->GetName()));
        w.Line(1, "tag", Quote(item->GetTag()));
        w.Line(1, "sub-type", item->GetSubType());
        w.Line(1, "directory-0", Quote(item->GetDirectory0()));
        w.Line(1, "directory-1", Quote(item->GetDirectory1()));
        w.Line(1, "selector", item->m_directorySelector);
        w.Line(1, "word-a", item->m_wordA);
        w.Line(1, "word-b", item->m_wordB);
        for (POSITION s = item->GetStrings().GetHeadPosition(); s;) w.Line(1, "string", Quote(item->GetStrings().GetNext(s)));
        for (POSITION r = item->GetRelated().GetHeadPosition(); r;) {
            YCatalogItem* related = item->GetRelated().GetNext(r);
            if (!ids.count(related)) {
                error = "item " + std::to_string(id) + " is related to an item outside the list";
                return false;
            }
            w.Line(1, "related", ids[related]);
        }
        YResource* resource = item->GetResource();
        if (resource && !item->IsExternal()) {
            w.Line(1, "body", resource->GetRuntimeClass()->m_lpszClassName);
            WriteBody(w, resource);
            w.Line(1, "end", "");
        }
        out << "end\n";
    }
    text = out.str();
    return true;
}

namespace {
// An item's fields as read; the item is made when its block ends.
struct ItemDraft {
    long type = 0;
    long subType = 0;
    long selector = 0;
    long wordA = 0;
    long wordB = 0;
    std::string section, name, tag, directory0, directory1;
    Words strings;
    std::vector<std::pair<long, int>> related;  // target id, line
    YResource* body = nullptr;
};
}  // namespace

bool YCatalogText::Read(const std::string& text, YCatalog& catalog, std::string& error)
{
    Reader r;
    enum { kTop, kCatalog, kItem, kBody } state = kTop;
    ItemDraft draft;
    std::vector<YCatalogItem*> items;
    std::vector<std::pair<YCatalogItem*, std::pair<long, int>>> relations;
    std::istringstream in(text);
    std::string line;
    YResourceFactory factory;

    auto fail = [&](const std::string& message) {
        if (!message.empty()) r.Fail(message);
        error = r.error;
        delete draft.body;
        draft.body = nullptr;
        return false;
    };

    while (std::getline(in, line)) {
        ++r.line;
        Words w;
        std::string splitError;
        if (!SplitLine(line, w, splitError)) return fail(splitError);
        if (w.empty()) continue;
        const std::string& key = w[0];

        if (state == kTop) {
            long id = 0;
            if (key == "catalog" && w.size() == 1) {
                state = kCatalog;
            } else if (key == "item" && w.size() == 2) {
                if (!r.Number(w[1], id)) return fail("");
                if (id != (long)items.size() + 1) return fail("items are numbered 1, 2, 3... in order");
                draft = ItemDraft();
                state = kItem;
            } else {
                return fail("expected 'catalog' or 'item N'");
            }
            continue;
        }
        if (key == "end" && w.size() == 1) {
            if (state == kBody) {
                state = kItem;
                continue;
            }
            if (state == kItem) {
                YCatalogItem* item = new YCatalogItem(draft.type, draft.section.c_str(), draft.name.c_str(),
                                                      draft.directory0.c_str(), draft.subType, draft.tag.c_str(),
                                                      nullptr);
                item->SetLocation(draft.directory1.c_str(), draft.name.c_str(), 1);
                item->SetCatalog(&catalog);
                item->m_directorySelector = draft.selector;
                item->m_wordA = draft.wordA;
                item->m_wordB = draft.wordB;
                for (const std::string& s : draft.strings) item->AddString(s.c_str());
                item->SetResource(draft.body);
                draft.body = nullptr;
                for (const auto& related : draft.related) relations.push_back({item, related});
                catalog.GetItems()->AddTail(item);
                items.push_back(item);
            }
            state = kTop;
            continue;
        }
        if (state == kCatalog) {
            if (w.size() != 2) return fail("'" + key + "' takes one value");
            long number = 0;
            if (key == "header-word") {
                if (!r.Number(w[1], number)) return fail("");
                catalog.m_headerWord = (LONG)number;
            } else if (key == "label-a") catalog.m_labelA = w[1].c_str();
            else if (key == "label-b") catalog.m_labelB = w[1].c_str();
            else if (key == "base-directory-0") catalog.SetBaseDirectory(0, w[1].c_str());
            else if (key == "base-directory-1") catalog.SetBaseDirectory(1, w[1].c_str());
            else if (key == "embedded") catalog.AddEmbeddedSection(w[1].c_str());
            else return fail("unknown catalog field '" + key + "'");
            continue;
        }
        if (state == kBody) {
            if (!r.BodyLine(draft.body, w)) return fail("");
            continue;
        }
        // inside an item
        if (key == "body") {
            if (w.size() != 2) return fail("'body' takes the class name");
            if (draft.body) return fail("a second body");
            draft.body = factory.Create((int)draft.type);
            if (!draft.body) return fail("type " + std::to_string(draft.type) + " has no class to carry a body");
            std::string made = draft.body->GetRuntimeClass()->m_lpszClassName;
            if (w[1] != made) return fail("type " + std::to_string(draft.type) + " makes " + made + ", not " + w[1]);
            state = kBody;
            continue;
        }
        if (w.size() != 2) return fail("'" + key + "' takes one value");
        const std::string& value = w[1];
        long* numbers[] = {&draft.type, &draft.subType, &draft.selector, &draft.wordA, &draft.wordB};
        const char* numberKeys[] = {"type", "sub-type", "selector", "word-a", "word-b"};
        std::string* texts[] = {&draft.section, &draft.name, &draft.tag, &draft.directory0, &draft.directory1};
        const char* textKeys[] = {"section", "name", "tag", "directory-0", "directory-1"};
        bool known = false;
        for (int i = 0; i < 5 && !known; ++i) {
            if (key == numberKeys[i]) {
                if (!r.Number(value, *numbers[i])) return fail("");
                known = true;
            } else if (key == textKeys[i]) {
                *texts[i] = value;
                known = true;
            }
        }
        if (known) continue;
        if (key == "string") {
            draft.strings.push_back(value);
        } else if (key == "related") {
            long target = 0;
            if (!r.Number(value, target)) return fail("");
            draft.related.push_back({target, r.line});
        } else {
            return fail("unknown item field '" + key + "'");
        }
    }
    if (state != kTop) return fail("missing 'end'");
    for (auto& relation : relations) {
        long target = relation.second.first;
        r.line = relation.second.second;
        if (target < 1 || target > (long)items.size()) return fail("no item " + std::to_string(target));
        relation.first->GetRelated().AddTail(items[target - 1]);
    }
    return true;
}
