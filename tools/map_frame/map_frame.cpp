// Starts the display and the renderer as the program does, sets a map up in
// the renderer's five levels and flies the fixed camera path through the
// map frame in the game's window.  Run it in the data folder.
// Usage: map_frame [map [frames]] [--lod] [--cells picture.bmp]
//   --lod    far model trees become their sprite class
//   --cells  writes the map with the first frame's visible cells over it
// Headless, RCV_FIXED_STEP_MS and RCV_FRAME_DUMP keep the frames.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/YGameObjects.h"
#include "engine/YMsgHandler.h"
#include "gui/YInterfaceMgr.h"
#include "assets3d/YD3D6Lock.h"
#include "platform/backend/Backend.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YGraphics.h"
#include "tools/YImageWriter.h"
#include "tools/map_frame/YMapFramePath.h"

namespace {
struct Options {
    std::string map = "maps\\Meadow.zon";
    int frames = 240;
    bool lod = false;
    std::string cells;
} g_options;

// The map, a 4 x 4 block a cell: water blue, ground green by height; the
// visible cells yellow, those with water cyan, those with actors red.
bool WriteCellPicture(YD3D6Parser& renderer, const std::string& path)
{
    const int block = 4;
    const uint32_t columns = renderer.GridColumns(), rows = renderer.GridRows();
    YImage image;
    image.m_width = int32_t(columns) * block;
    image.m_height = int32_t(rows) * block;
    image.SetPixelFormat(32);
    if (!image.AllocatePixels(uint32_t(image.m_width) * 4)) return false;
    float low = 1e30f, high = -1e30f;
    for (const YMapVT3Vertex& v : renderer.m_mapVertices) low = std::min(low, v.m_y), high = std::max(high, v.m_y);
    std::vector<uint32_t> colours(renderer.m_cells.size());
    for (uint32_t i = 0; i < colours.size(); ++i) {
        const float cell = renderer.CellSize();
        const float x = (float(i % columns) + 0.5f) * cell + renderer.m_gridOrigin[0];
        const float z = (float(i / columns) + 0.5f) * cell + renderer.m_gridOrigin[2];
        const float t = high > low ? (renderer.GetGroundHeight(x, z) - low) / (high - low) : 0.5f;
        colours[i] = renderer.m_cells[i].m_water ? 0x2050B0u : (uint32_t(40 + 120 * t) << 8) | uint32_t(30 + 60 * t) << 16;
    }
    const uint32_t marks[3] = {0xF0E040u, 0x40F0F0u, 0xF04040u};
    for (int list = 0; list < 3; ++list)
        for (int32_t k = 0; k < renderer.m_visibleCounts[list]; ++k) colours[renderer.m_visibleCells[list][size_t(k)]] = marks[list];
    for (int y = 0; y < image.m_height; ++y)
        for (int x = 0; x < image.m_width; ++x) {
            // Row 0 of the picture is the map's far edge (largest z).
            const uint32_t cell = (rows - 1 - uint32_t(y / block)) * columns + uint32_t(x / block);
            const uint32_t c = colours[cell];
            BYTE* p = image.m_pixels + size_t(y) * image.m_stride + size_t(x) * 4;
            p[0] = BYTE(c), p[1] = BYTE(c >> 8), p[2] = BYTE(c >> 16), p[3] = 255;
        }
    // The eye: a white dot.
    float eye[3];
    renderer.GetCameraPosition(&eye[0], &eye[1], &eye[2]);
    const int ex = int((eye[0] - renderer.m_gridOrigin[0]) / renderer.CellSize() * block);
    const int ey = image.m_height - 1 - int((eye[2] - renderer.m_gridOrigin[2]) / renderer.CellSize() * block);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int x = ex + dx, y = ey + dy;
            if (x < 0 || y < 0 || x >= image.m_width || y >= image.m_height) continue;
            memset(image.m_pixels + size_t(y) * image.m_stride + size_t(x) * 4, 255, 4);
        }
    return YImageWriter::WriteBMP(image, path, 24);
}

class MapFrameApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        YGameObjects* engine = YGameObjects::Instance();
        srand(1);
        if (!engine->Start(this)) return FALSE;
        YD3D6Parser* renderer = dynamic_cast<YD3D6Parser*>(engine->m_renderer);
        if (!renderer) {
            fprintf(stderr, "map_frame: no renderer\n");
            return FALSE;
        }
        // Every detail class shows; the widest view distance.
        YSessionDesc& session = engine->m_sessionDesc;
        session.m_mapPath = g_options.map.c_str();
        session.m_parameters[YD3D6Parser::kViewDistanceWord - 1] = 255;
        session.m_parameters[YSessionDesc::ParamPTrees] = 5;
        session.m_parameters[YSessionDesc::ParamSTrees] = 5;
        session.m_parameters[YSessionDesc::ParamBillboard] = g_options.lod ? 1 : 0;
        // Midsummer, so that the seasonal textures always show the same day.
        session.m_parameters[YD3D6Parser::kDayWord - 1] = 172;
        for (int level = 0; level < renderer->GetInitLevelCount(2); ++level) {
            if (!renderer->InitSession(2, level == 0 ? &session : nullptr, level)) {
                fprintf(stderr, "map_frame: cannot set up %s\n", g_options.map.c_str());
                return FALSE;
            }
        }
        const YMapFramePath path(*renderer);
        if (getenv("MF_NOCULL"))
            for (int i = 0; i < renderer->GetTextureCount(); ++i)
                if (YD3D6Lock* l = renderer->GetTextureLock(int16_t(i))) l->m_states.m_cullMode = 1;
        if (getenv("MF_NOTERRAIN"))
            for (YMapCell& c : renderer->m_cells)
                for (YCellPolygon& p : c.m_polygons) p.m_kind &= ~1;
        if (getenv("MF_DEBUG")) {
            for (int i = 0; i < renderer->GetTextureCount(); ++i) {
                const YD3D6Lock* lock = renderer->GetTextureLock(int16_t(i));
                fprintf(stderr, "texture %d lock %p surface %p sort %d light %d fog %u\n", i, (void*)lock,
                        lock ? (void*)lock->m_pSurface : nullptr, lock ? lock->m_iSortType : -1,
                        lock ? lock->m_states.m_lighting : -1, lock ? lock->m_states.m_fogEnable : 0);
            }
            const YCellPolygon& p = renderer->m_cells[4000].m_polygons[0];
            IDirect3DDevice7* dev = renderer->GetRaster()->GetDevice();
            for (D3DRENDERSTATETYPE st : {D3DRENDERSTATE_FOGENABLE, D3DRENDERSTATE_FOGTABLEMODE, D3DRENDERSTATE_FOGCOLOR,
                                          D3DRENDERSTATE_FOGSTART, D3DRENDERSTATE_FOGEND, D3DRENDERSTATE_AMBIENT, D3DRENDERSTATE_LIGHTING}) {
                DWORD v = 0;
                dev->GetRenderState(st, &v);
                fprintf(stderr, "state %d = %x\n", int(st), v);
            }
            fprintf(stderr, "clear %x sky %d fog %d backgrounds %zu\n", renderer->m_clearColour, renderer->m_backgroundsOn, renderer->m_fogOn, renderer->m_backgrounds.size());
            fprintf(stderr, "poly tex %d colour %x kind %x\n", p.m_layerTextures[0], p.m_corners[0].m_colour, p.m_kind);
        }
        YGraphics* graphics = engine->m_graphics;
        // No screen is open: the interface would clear the frame to black.
        YInterfaceMgr* interface = engine->m_interfaceMgr;
        engine->m_interfaceMgr = nullptr;
        for (int frame = 0; frame < g_options.frames && engine->m_running; ++frame) {
            int any = 0;
            if (engine->m_msgHandler && !engine->m_msgHandler->PumpMessages(any)) break;
            path.Draw(frame, *renderer, graphics->m_width, graphics->m_height);
            if (getenv("MF_DEBUG") && frame == 0) {
                D3DMATRIX v, p;
                IDirect3DDevice7* dev = renderer->GetRaster()->GetDevice();
                dev->GetTransform(D3DTRANSFORMSTATE_VIEW, &v);
                dev->GetTransform(D3DTRANSFORMSTATE_PROJECTION, &p);
                float pos[3], ang[2];
                path.At(0, pos, ang, *renderer);
                fprintf(stderr, "eye %f %f %f angles %f %f centre %f %f %f\n", pos[0], pos[1], pos[2], ang[0], ang[1], path.centre[0], path.centre[1], path.centre[2]);
                const float pts[3][3] = {{path.centre[0], path.centre[1], path.centre[2]}, {path.centre[0], path.centre[1] + 2000, path.centre[2]}, {pos[0], pos[1] - 300, pos[2] + 300}};
                for (const auto& q : pts) {
                    const float* m = &v._11;
                    float c[4];
                    for (int j = 0; j < 4; ++j) c[j] = q[0] * m[j] + q[1] * m[4 + j] + q[2] * m[8 + j] + m[12 + j];
                    const float* pm = &p._11;
                    float h[4];
                    for (int j = 0; j < 4; ++j) h[j] = c[0] * pm[j] + c[1] * pm[4 + j] + c[2] * pm[8 + j] + c[3] * pm[12 + j];
                    fprintf(stderr, "point %f %f %f view %f %f %f -> ndc %f %f\n", q[0], q[1], q[2], c[0], c[1], c[2], h[0] / h[3], h[1] / h[3]);
                }
            }
            if (frame == 0 && !g_options.cells.empty()) {
                renderer->ComputeVisibleCells();
                if (!WriteCellPicture(*renderer, g_options.cells))
                    fprintf(stderr, "map_frame: cannot write %s\n", g_options.cells.c_str());
            }
            graphics->RunFrame();
        }
        engine->m_interfaceMgr = interface;
        renderer->EndSession(0);
        // Closed by its frame count rather than by the player: the window goes now.
        if (m_pMainWnd && engine->m_running) m_pMainWnd->DestroyWindow();
        m_pMainWnd = nullptr;
        return TRUE;
    }
    int ExitInstance() override
    {
        YGameObjects::Instance()->DestroyAll();
        return CWinApp::ExitInstance();
    }
};

MapFrameApp theApp;
}  // namespace

int main(int argc, char** argv)
{
    int plain = 0;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--lod")) {
            g_options.lod = true;
        } else if (!strcmp(argv[i], "--cells") && i + 1 < argc) {
            g_options.cells = argv[++i];
        } else if (plain == 0) {
            g_options.map = argv[i], ++plain;
        } else {
            g_options.frames = std::max(1, atoi(argv[i]));
        }
    }
    int code = AfxWinMain();
    platform::Backend::Shutdown();
    return code;
}
