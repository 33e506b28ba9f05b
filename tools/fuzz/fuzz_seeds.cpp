// Writes the seed corpora of the fuzz targets: fuzz_seeds DATA SOURCE OUT
// fills OUT/<target>/ from the sample data folder DATA, the source tree's
// test data and the game's own classes storing themselves.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YDataCollection.h"
#include "gui/ReadScriptFile.h"
#include "gui/YComboBox.h"
#include "gui/YDialog.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "gui/YListCtrl.h"
#include "foundation/YResource.h"
#include "graphics2d/YFrame.h"
#include "graphics2d/YMesh.h"
#include "graphics2d/YSprite.h"
#include "gui/YAnimation.h"
#include "gui/YButton.h"
#include "gui/YFontButton.h"
#include "gui/YMultiImage.h"
#include "gui/YScrollBar.h"
#include "gui/YSlider.h"
#include "gui/YTextCtrl.h"
#include "input/YInputObjSettings.h"
#include "renderer/Stripper.h"
#include "renderer/YMapVT3.h"
#include "sound/YSoundEmitter.h"
#include "tools/fuzz/FuzzScratch.h"
#include "foundation/YCheats.h"
#include "world/YActor.h"
#include "world/YVSActorInfo.h"

namespace {
const std::string kCut = "\n--8<--\n";
std::string g_out;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "fuzz_seeds: cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Seed(const char* target, const std::string& name, const std::string& bytes)
{
    std::string dir = g_out + "/" + target;
    mkdir(g_out.c_str(), 0755);
    mkdir(dir.c_str(), 0755);
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
}

// What the store writes, as bytes.
template <typename Store>
std::string Stored(Store store)
{
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        store(ar);
    }
    std::string bytes(static_cast<size_t>(memory.GetLength()), '\0');
    memory.SeekToBegin();
    if (!bytes.empty()) memory.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    return bytes;
}

std::string Le32(DWORD value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string Float(float value)
{
    DWORD bits;
    memcpy(&bits, &value, 4);
    return Le32(bits);
}

void CatalogSeeds(const std::string& data)
{
    const std::string path = data + "/RC Volaro.cat";
    Seed("catalog", "sample.cat", ReadAll(path));
    // The sample catalog and each of its resources as objects, for the archive reader.
    YCatalog catalog(path.c_str());
    Seed("archive", "catalog", Stored([&](CArchive& ar) { ar.WriteObject(&catalog); }));
    int n = 0;
    for (POSITION pos = catalog.GetItems()->GetHeadPosition(); pos;) {
        YCatalogItem* item = catalog.GetItems()->GetNext(pos);
        if (YResource* resource = catalog.AcquireItem(item, 0))
            Seed("archive", "resource" + std::to_string(n++), Stored([&](CArchive& ar) { ar.WriteObject(resource); }));
    }
}

// Sound emitters naming the sample catalog's sounds, one per section.
void EmitterSeeds(const std::string& data)
{
    YCatalog catalog((data + "/RC Volaro.cat").c_str());
    std::map<std::string, std::unique_ptr<YSoundEmitter>> emitters;
    for (POSITION pos = catalog.GetItems()->GetHeadPosition(); pos;) {
        YCatalogItem* item = catalog.GetItems()->GetNext(pos);
        if (item->GetType() != 2) continue;
        auto& emitter = emitters[static_cast<const char*>(item->GetSection())];
        if (!emitter) emitter = std::make_unique<YSoundEmitter>();
        emitter->m_soundFiles.Add(item->GetName() + ".wav");
        emitter->m_info.m_value1 = emitter->m_soundFiles.GetSize();
    }
    for (auto& entry : emitters) {
        YSoundEmitter* emitter = entry.second.get();
        Seed("sound_emitter", entry.first, Stored([&](CArchive& ar) { emitter->Serialize(ar); }));
    }
    YSoundEmitter none;
    Seed("sound_emitter", "empty", Stored([&](CArchive& ar) { none.Serialize(ar); }));
}

// The image reader's first byte picks the reader: 0 BMP, 1 TGA.
void ImageSeeds(const std::string& data)
{
    const struct {
        const char* file;
        char reader;
    } images[] = {{"cursor.bmp", 0}, {"logo.bmp", 0}, {"checker.tga", 1}};
    for (const auto& image : images)
        Seed("image_readers", image.file, std::string(1, image.reader) + ReadAll(data + "/interface/" + image.file));
    // The make items, with a sample picture as "in.bmp".
    Seed("layout_script", "makes",
         "makebutton(b,k.bmp,a.bmp,in.bmp,Art:k) makebuttonwithfont(w,1,2,-3,k.bmp,f,11,a.bmp,f,0,in.bmp,g,2,k.bmp,f,12) "
         "makefontbutton(fb,f,12,g,-1,f,3,f,0) makefont(f,g.bmp,255,0,255,8,12) makefont(g,Fonts:g,0,0,0,16,3) "
         "makefont(f,in.bmp) makesprite(s,2,3,0,0,0,k.bmp,a.bmp,in.bmp,missing.bmp,Art:k,k.bmp) makesprite(s,0,0,0,0,0,a.bmp) "
         "makeslider(sl,a.bmp,k.bmp) makeslider(sl,in.bmp,) makebutton(sl,k.bmp,a.bmp) makefontbutton(b,f,11) "
         "anim(s,20,20,7.5,1) cstring(w,30,3,f,2) button(b) slider(sl) listbox(lb) makebutton(lb,k.bmp,k.bmp)" +
             kCut + ReadAll(data + "/interface/cursor.bmp"));
}

void ArchiveSeeds()
{
    CStringArray names;
    names.Add("Volaro");
    names.Add("biplane");
    Seed("archive", "strings", Stored([&](CArchive& ar) { ar.WriteObject(&names); }));
    CMapStringToString map;
    map.SetAt("inp_slope", "1.0");
    map.SetAt("sys_map", "island");
    Seed("archive", "map", Stored([&](CArchive& ar) { ar.WriteObject(&map); }));
    YDataCollection values(4, 4);
    values.SetAt(1, "forward", "0", 0);
    values.SetAt(9, "tleft", "25", 0);
    Seed("archive", "values", Stored([&](CArchive& ar) { ar.WriteObject(&values); }));

    // Windows with parts of their own: a table with columns, a combo box with
    // its edit box and list, an edit box with its label.
    const RECT rect = {0, 0, 200, 100};
    YListCtrl table;
    table.Create(0, &rect, nullptr, 3);
    table.SetColumnCount(2);
    table.SetColumnHeader(0, "Pilot");
    CStringArray cells;
    cells.Add("Ann");
    cells.Add("12");
    table.AddRow(cells);
    Seed("archive", "list_ctrl", Stored([&](CArchive& ar) { ar.WriteObject(&table); }));
    YComboBox combo;
    combo.Create(1, &rect, nullptr, 4);
    combo.AddString("red");
    combo.SetName("red");
    Seed("archive", "combo_box", Stored([&](CArchive& ar) { ar.WriteObject(&combo); }));
    YEditBox edit;
    edit.Create(0, &rect, nullptr, 5);
    edit.SetLabel(">");
    edit.SetName("help");
    Seed("archive", "edit_box", Stored([&](CArchive& ar) { ar.WriteObject(&edit); }));
    YDialog dialog;
    dialog.Create(0, "", 0, &rect, nullptr, 6, 0);
    YListBox* list = new YListBox;
    list->Create(0, &rect, &dialog, 7);
    list->AddString("one");
    Seed("archive", "dialog", Stored([&](CArchive& ar) { ar.WriteObject(&dialog); }));
}

void FontSeeds(const std::string& data)
{
    const LONG columns[] = {16, 8};
    int n = 0;
    for (LONG count : columns) {
        std::string fnt = Stored([&](CArchive& ar) { ar << CString("glyphs.bmp") << count; });
        Seed("font", "font" + std::to_string(n++), fnt + kCut + ReadAll(data + "/interface/cursor.bmp"));
    }
}

YFrame* Frame(LONG width, LONG height, LONG hotX, LONG hotY)
{
    YFrame* frame = new YFrame;
    frame->m_imageName = "frame.bmp";
    frame->m_frameRect = RECT{0, 0, width, height};
    frame->SetHotSpot(hotX, hotY);
    return frame;
}

void SpriteSeeds(const std::string& data)
{
    YSprite sprite;
    sprite.m_name = "busy";
    sprite.InsertFrame(Frame(32, 32, 16, 16), -1);
    sprite.InsertFrame(Frame(16, 8, 0, 0), -1);
    std::string file = Stored([&](CArchive& ar) { sprite.Serialize(ar); });
    Seed("sprite", "busy", file + kCut + ReadAll(data + "/sprites/busy0.bmp"));
    Seed("archive", "sprite", Stored([&](CArchive& ar) { ar.WriteObject(&sprite); }));
}

void MeshSeeds()
{
    const float vertices[][3] = {{0, 0, 1}, {4, 0, 2}, {4, 3, 0.5f}, {0, 3, 3}};
    std::string file = "D2MY" + Le32(4) + Le32(2);
    for (const auto& v : vertices)
        for (float f : v) file += Float(f);
    for (int r = 0; r < 2 * 32; ++r) file += static_cast<char>(r);
    YMesh mesh;
    mesh.SetFileName("fuzz.msh");
    mesh.m_secondName = "rock";
    std::string archived = Stored([&](CArchive& ar) { mesh.Serialize(ar); });
    Seed("mesh", "square", file + kCut + archived);
    Seed("mesh", "empty", "D2MY" + Le32(0) + Le32(0));
}

// The sample models, "YSMO" files and "YFMF" mesh sets as they are.
void ModelSeeds(const std::string& data)
{
    const char* models[] = {"arrow.ysm", "target.ysm", "biplane.ysm", "corsair_plane.ysm", "f15plane.ysm"};
    for (const char* name : models) Seed("model", name, ReadAll(data + "/models/" + name));
    for (const char* name : {"tree.fmf", "bear.fmf"}) Seed("mesh_set", name, ReadAll(data + "/models/" + name));
}

void InputSettingsSeeds()
{
    YInputObjSettings settings;
    settings.SetCommand("fire", "Fire", 0, 57, 0, 0);
    settings.SetCommand("console", "Console", 0, 60, -1, -1);
    int combo = settings.SetCommand("combo", "", 0, 33, -1, 3);
    settings.SetAlias(combo, "+fire; wait; -fire");
    settings.SetVar("inp_slope", "2.5");
    Seed("input_settings", "bindings", Stored([&](CArchive& ar) { settings.Serialize(ar); }));
    YInputObjSettings plain;
    Seed("input_settings", "defaults", Stored([&](CArchive& ar) { plain.Serialize(ar); }));
}

void TextSeeds(const std::string& source)
{
    Seed("object_script", "toy",
         "// toys\nOBJECT Toy\n{\n  mass 2\n  color \"red\"\n  OBJECT Wheel\n  {\n    size 1\n  }\n}\n"
         "OBJECT Ball:Toy\n{\n  mass 3\n}\n#include \"other.txt\"\n" + kCut +
         "OBJECT Kite:Toy\n{\n  string 40\n}\n");
    Seed("command_file", "config", ReadAll(source + "/tests/engine/data/config_default.cfg") + kCut +
         "bind k \"set gfx_treepop 77\"\nalias go \"+forward; wait; -forward\"\nexec other.cfg\n;\n"
         "set inp_slope \"1e999\"\nunbind k\n");
    Seed("command_file", "exec", "exec other.cfg;exec other.cfg\n" + kCut + "set sys_map \"a;b\"; echo \"\"\n");
    Seed("command_file", "sample", ReadAll(source + "/data/config.cfg"));
    Seed("input_script", "keys",
         "# keys and mouse\n10 key down F2\n12 key up F2\n250ms text help\n300ms mouse move 5 -3\n"
         "301ms mouse button 1 down\n302ms mouse button 1 up\n");
    Seed("input_script", "joystick",
         "1 joystick 0 attach \"Pad\" ff axes 4 buttons 12 hats 1\n2 joystick 0 axis 0 16000\n"
         "3 joystick 0 button 2 down\n4 joystick 0 hat 0 9000\n5 joystick 0 detach\n");
    Seed("script_section", "layout",
         "Main\n; layout\n[Main]\nbutton 10 10 \"Play\"\n  [Options]\nslider 5 5\n[main]\nagain\n");
    Seed("script_section", "sections",
         "main\r\nintro {\r\n}\r\nmain { img(a) // first\r\n  button:1(10,10,\"Play\")\r\n"
         "#include layout.scr:options\r\n  endgroup }\r\noptions\r\n{ slider(5,5)\r\n"
         "#include layout.scr\r\n}\r\nopen {\n never closed\n");
    Seed("layout_script", "blocks",
         "group(10,20,300,200,4,5) img:2(back.bmp) string(\"a, (b)\", 1) endgroup "
         "if(hp >= 3) depth(5) imgr(x) enddepth endif if(a > b < c) rect(1,2,3,4) endif if(0) textbutton(t) endif "
         "cache(c,255,0,255) font(f,2) cstring(x) endfont endcache fontwin(arial,120,1,2,3) line(1,1,5,5) endfont "
         "endif endgroup buttonR:7(1,2) edit:3(e) editfield(f) listbox listctrl textfield slider:4(s) "
         "makebutton makebuttonwithfont makefontbutton makefont makesprite makeslider dial anim grid framerect "
         "rstring istring bstring bstringtick imgtile imgdial imgscale imgstretch radiobutton checkbutton "
         "textradiobutton textcheckbutton fontr(x) \"never closed");
    Seed("layout_script", "items",
         "string(a,1,2) cstring(b,30,3,f,2) rstring(c,60,4) istring(d,32,24) bstring(e,1,1,40,20,f,1) "
         "bstringtick(ticker,0,0,60,20,5,0,f,3) rect(1,1,9,9,255,0,0) framerect(2,2,8,8) grid(0,0,40,30,7,5,1,2,3) "
         "line(0,0,63,47,9,9,9) img(k,60,40,1) img(a,-3,-2,0,255,0,255) imgtile(k,0,0,50,40) imgdial(k,30,20,9,45.5,1) "
         "imgscale(a,10,10,30,1,1) imgstretch(k,-10,5,70,30,1,2,3) anim(s,20,20,7.5,0) dial(s,30,30,-725,2) "
         "group(5,5,40,30,2,3) imgr(k,30,20) dialr(s,1,1,359) endgroup");
    Seed("layout_script", "controls",
         "button:1(b,5,6,go,tip,0,0,1) if(1) checkbutton(b,5,6) radiobutton(b,3,30,6,r,t,1,0,1) endif "
         "textbutton(b,Play,5,20,play,tip,1,1,0) textcheckbutton(b,On,5,30) textradiobutton(b,Hi,2,5,40,cmd) "
         "group(10,10,60,40,2,3) slider:2(s,1,2,40,12,vol,0,50,5,25) sliderr(s,1,2,3,4) slider(none,5,5,20,20) "
         "endgroup if(0) button(b,1,1) slider(s,1,1,9,9) edit(0,1,1,9,9) endif "
         "edit:3(1,5,50,60,60,say,hi,f,2,0) edit(0,5,5,9,9) editr(1,0,0,640,480) editfield(5,5,50,20,1,f,3) "
         "textfield(0,0,50,10) textfield(0,10,50,20,3,f,1) listbox(0,20,50,30,f,2) listctrl(0,30,50,40) "
         "button(b,-5,0) slider(s) edit(1) listbox(1,2,3)");
    Seed("interface_layers", "layers",
         "sssdpmdkhdsfbdtdudprdhhhp\ngroup(10,20,300,200) if(1) cache(c,255,0,255) endcache endif endgroup");
    Seed("interface_layers", "from inside", "sssdpsdd\nif(666) endif if(777) endif step");
    Seed("layout_script", "conditions",
         "if(1<2) if(2>1) if(3==3) if(3!=4) if(4>=4) if(4<=4) if(1&&1) if(0||1) if(6&2) if(0|1) img(deep) "
         "endif endif endif endif endif endif endif endif endif endif if(x) if(,) if() group(,1,2,3,4)");
}
// Small sample textures: an externalised one, a colour-keyed one, two alpha formats.
void TextureSeeds(const std::string& data)
{
    Seed("texture_stream", "billboard.ytx", ReadAll(data + "/textures/billboard.ytx"));
    Seed("texture_stream", "fence.ytx", ReadAll(data + "/textures/fence.ytx"));
    Seed("texture_stream", "flare.ytx", ReadAll(data + "/2D Art/Overlays/Generic_Flare.ytx"));
}

// The first byte picks the reader: 0 the small sample map, 1 its strip bank.
void MapSeeds(const std::string& data)
{
    const std::string map = ReadAll(data + "/maps/Tiny.zon");
    Seed("map_stream", "tiny", std::string(1, '\0') + map);
    Seed("map_setup", "tiny", map);
    YMapVT3 tiny;
    if (!tiny.LoadFile((data + "/maps/Tiny.zon").c_str(), nullptr)) {
        std::fprintf(stderr, "fuzz_seeds: cannot load Tiny.zon\n");
        std::exit(1);
    }
    // The bank is written in the current folder.
    char here[4096];
    const std::string folder = g_out + "/map_stream";
    if (!getcwd(here, sizeof here) || chdir(folder.c_str()) != 0) std::exit(1);
    Stripper stripper;
    stripper.Setup(tiny.m_vertices, tiny.m_groups, tiny.m_cells);
    const bool saved = stripper.SaveBank(static_cast<DWORD>(tiny.m_cells.size()));
    const std::string bank = saved ? ReadAll("StripBank.bin") : std::string();
    std::remove("StripBank.bin");
    if (chdir(here) != 0 || !saved) std::exit(1);
    Seed("map_stream", "tiny-bank", std::string(1, '\1') + bank);
}
// A point and two numbers (four words), then a control that holds a child.
void ControlSeeds()
{
    const std::string point = Le32(40) + Le32(25) + Le32(3) + Le32(12);
    auto seed = [&](const char* name, YWindow* control, int style) {
        const RECT r = {10, 10, 110, 40}, inside = {2, 2, 20, 12};
        control->Create(0, "caption", style, &r, nullptr, 7, 0);
        (new YButton)->Create("child", 0x4, &inside, control, 8);
        control->AddResourceName("pic.bmp");
        Seed("window_controls", name, point + Stored([&](CArchive& ar) { ar.WriteObject(control); }));
        delete control;
    };
    YButton* button = new YButton;
    button->SetGroup(3);
    seed("button", button, 0x2);
    seed("fontbutton", new YFontButton, 0x10);
    YSlider* slider = new YSlider;
    slider->SetMin(-5);
    slider->SetMax(500);
    seed("slider", slider, 0);
    YScrollBar* bar = new YScrollBar;
    bar->SetRange(0, 50, 0);
    seed("scrollbar", bar, 1);
    seed("text", new YTextCtrl, 0x10001);
    seed("multiimage", new YMultiImage, 0);
    YAnimation* animation = new YAnimation;
    animation->SetLoop(true);
    seed("animation", animation, 0);
    YEditBox* edit = new YEditBox;
    edit->SetLabel(">");
    edit->SetName("pilot");
    seed("edit_box", edit, 0x800);
    YListBox* list = new YListBox;
    for (const char* row : {"one", "two", "three"}) list->AddString(row);
    seed("list_box", list, 0);
    YListCtrl* table = new YListCtrl;
    table->SetColumnCount(2);
    CStringArray cells;
    cells.Add("Ann");
    cells.Add("12");
    table->AddRow(cells);
    table->AddRow(cells);
    seed("list_ctrl", table, 0);
    // A combo's edit box and list are its children; made by Create.
    YComboBox* combo = new YComboBox;
    const RECT r = {10, 10, 110, 40};
    combo->Create(1, &r, nullptr, 4);
    combo->AddString("red");
    combo->AddString("blue");
    Seed("window_controls", "combo_box", point + Stored([&](CArchive& ar) { ar.WriteObject(combo); }));
    delete combo;
}

// The actor records as the world's tests write them, each after its picking byte.
void ActorRecordSeeds()
{
    YActor actor;
    actor.m_name = "Balloon01";
    actor.m_position = YVector(1, 2, 3);
    actor.m_targetId = 4;
    Seed("actor_records", "actor", std::string(1, '\0') + Stored([&](CArchive& ar) { actor.Serialize(ar); }));
    YVSActorInfo info;
    info.m_properties->Set("Kind", "Balloon");
    info.m_floatsA.Add(0.5f);
    info.m_floatsC.Add(-4.0f);
    Seed("actor_records", "info", std::string(1, '\1') + Stored([&](CArchive& ar) { info.Serialize(ar); }));
    YCheats cheats;
    cheats.Add(YCheats::Scramble("flyhigh"), YCheat::Toggle);
    cheats.Add(YCheats::Scramble("oneshot"), YCheat::OneShot);
    Seed("actor_records", "cheats", std::string(1, '\2') + Stored([&](CArchive& ar) { cheats.Serialize(ar); }));
}
// The sample data's population scripts, and one without its trailer.
void PopulationSeeds(const std::string& data)
{
    for (const char* type : {"balloon", "dogfight", "airrace", "tunnix"})
        for (int n = 0; n < 10; ++n) {
            const std::string name = std::string(type) + std::to_string(n) + ".rcs";
            Seed("population_script", name, ReadAll(data + "/" + name));
        }
    Seed("population_script", "untrailed", "90\nballoon red 1 10 1\nNULL\nstart blah 2 10 2\nlabel\n");
}
}  // namespace

// The game's screens as the layout reads them, and the expression words of
// the game layout, one a line.
void ScreenSeeds(const std::string& data)
{
    std::vector<char> buffer(65536);
    for (const char* section : {"main", "balloondrop", "camera", "InterfaceGameBD"})
        if (ReadScriptSection((data + "/screens.scr").c_str(), section, buffer.data(), static_cast<int>(buffer.size()),
                              true) == ScriptRead)
            Seed("layout_script", std::string("screen ") + section, buffer.data());
    Seed("layout_script", "views",
         "renderframe(0,0,640,480) renderframe(0,0,320,240,60,1) group(10,10,100,100) renderframe(0,0,90,90,xs 0.5) "
         "renderframe(0,0,91,90) endgroup renderframe(1,2,3) renderframe(0,0,9,9,0) renderframe(0,0,9,9,180)");
    Seed("layout_values", "words",
         "xr\nxc 5\n-xc 40\n-10 xc\nxs 0.5\n-ys 0.25 3\nvl -5\nvxc -40\nvys 0.5\nstr Lives\nstr 0 2\n"
         "str cpos\nsetting Speed 1\nlayout Panel\nconfig sys_map\ncyaw 3\ncpitch\ncrange\ncthirdperson\ncy 1\n"
         "cx\ncz\ncalt\nclat\nclon\ncheading\nxprogress 90\nxthrottle\nxfuel\ncompassx\ncompassy\n"
         "interfacecharteaser\ninterfacedonextlevel\ninterfaceepisode\ninterfaceeditscore\n\"quoted\"\n\"open\n"
         "cpos\ncvel\ncorient\ncslow\ncping\ncountdown\ninterfacescorename1\ninterfacescorepicture5\n"
         "interfacebg\nstr\nstr str str 1\n1e40\nxs 1e30\n-2147483648 -1\n");
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: fuzz_seeds DATA SOURCE OUT\n");
        return 2;
    }
    g_out = argv[3];
    fuzz::RegisterResourceTypes();
    CatalogSeeds(argv[1]);
    ImageSeeds(argv[1]);
    ArchiveSeeds();
    FontSeeds(argv[1]);
    SpriteSeeds(argv[1]);
    MeshSeeds();
    ModelSeeds(argv[1]);
    InputSettingsSeeds();
    TextSeeds(argv[2]);
    TextureSeeds(argv[1]);
    MapSeeds(argv[1]);
    EmitterSeeds(argv[1]);
    ControlSeeds();
    ActorRecordSeeds();
    PopulationSeeds(argv[1]);
    ScreenSeeds(argv[1]);
    return 0;
}
