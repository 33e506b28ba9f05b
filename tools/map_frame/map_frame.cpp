// Starts the display and the renderer as the program does, sets a map up in
// the renderer's five levels and flies the fixed camera path through the
// map frame in the game's window.  Run it in the data folder.
// Usage: map_frame [map [frames]] [--lod] [--cells picture.bmp] [--hold seconds] [--time HH:MM]
//   --lod    far model trees become their sprite class
//   --cells  writes the map with the first frame's visible cells over it
//   --hold   keeps showing the last frame that long (for a screenshot)
//   --time   holds the clock at that time of day instead of running it
// The clock runs through one day over the frames (from 05:00), and a few
// marks lie along the path.  Now and then the camera turns to the sun, a
// red overlay flashes, a small plane turns in front of the camera, a few
// coloured triangles hang over the standing plane, and splats sit on the
// barn and on that plane.
// Headless, RCV_FIXED_STEP_MS and RCV_FRAME_DUMP keep the frames.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "engine/YMsgHandler.h"
#include "gui/YInterfaceMgr.h"
#include "platform/backend/Backend.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YGraphics.h"
#include "tools/YImageWriter.h"
#include "tools/map_frame/YMapFramePath.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

namespace {
struct Options {
    std::string map = "maps\\Meadow.zon";
    int frames = 240;
    bool lod = false;
    std::string cells;
    int holdSeconds = 0;
    int timeOfDay = -1;  // seconds after midnight, -1: the day runs
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

// One plane stands in the grid, in view of the path's frame 40, until the
// game's own actors come; the cell-object pass draws it through the
// engine's object test (flags 3: an actor, resolved).
YActor* PlaceActor(YD3D6Parser& renderer, const YMapFramePath& path)
{
    YSMHandle* model = renderer.CreateModelHandle("models\\biplane.ysm");
    if (!model) {
        fprintf(stderr, "map_frame: no plane model\n");
        return nullptr;
    }
    float at[3];
    path.ActorSpot(40, renderer, at);
    YActor* plane = new YActor;
    plane->SetModelObject(model);
    plane->m_flagsA |= YActor::FlagVisible;
    const float metres = 1.0f / YActorWorld::kRenderScale;
    plane->m_position = YVector(at[0] * metres, at[1] * metres + 0.7f, at[2] * metres);
    plane->m_angles = YVector(0.0f, 50.0f, 0.0f);
    plane->BuildRenderInstance();
    renderer.AddActorAt(plane, 3, plane->m_render.m_position[0], plane->m_render.m_position[2]);
    return plane;
}

// The camera-space plane: in front of the camera, low and to the right.
YRenderInstance g_cameraPlane;

void* CameraSpacePlane(int* cursor)
{
    if (*cursor != 0 || !g_cameraPlane.m_model) {
        *cursor = -1;
        return nullptr;
    }
    *cursor = 1;
    return &g_cameraPlane;
}

// Three coloured triangles in a fan over a point (render units).
void ImmediateTriangles(YGameObjects& engine, const float* at, int frame)
{
    const uint32_t colours[3] = {0xFFFF4020u, 0xFF20C0FFu, 0xFFFFE040u};
    int32_t* out = engine.m_debugVertices;
    for (int t = 0; t < 3; ++t) {
        const float a = float(frame) * 0.05f + float(t) * 2.0944f;
        const float corner[3][3] = {{at[0], at[1] + 40.0f, at[2]},
                                    {at[0] + 30.0f * std::cos(a), at[1] + 70.0f, at[2] + 30.0f * std::sin(a)},
                                    {at[0] + 30.0f * std::cos(a + 0.8f), at[1] + 70.0f, at[2] + 30.0f * std::sin(a + 0.8f)}};
        for (int k = 0; k < 3; ++k, out += 4) {
            memcpy(out, corner[k], sizeof corner[k]);
            out[3] = int32_t(colours[t]);
        }
    }
    engine.m_debugVertexCount = 9;
}

// The direction of the sun (the source of the flare with one image).
bool SunDirection(YD3D6Parser& renderer, float out[3])
{
    for (int i = 0; i < renderer.GetFlareSourceCount(); ++i) {
        const YD3D6CelestialObject* s = renderer.GetCelestialObject(i);
        if (!s || s->m_kind != 1) continue;
        memcpy(out, s->m_current.m_direction, 3 * sizeof(float));
        return out[1] > 0.0f;
    }
    return false;
}

// Splats: one on the barn's wall as the path first sees it, one on the
// standing plane.
void StampSplats(YD3D6Parser& renderer, const YMapFramePath& path, YActor* plane)
{
    const YString file = renderer.FindCatalogFile("textures\\decals\\splat1.ytx");
    const int16_t splat = int16_t(renderer.LoadCatalogTextures((std::string("file;") + file.GetBuffer()).c_str(), 0, 1));
    if (splat < 0) return;
    for (int i = 0; i < renderer.GetPlacedObjectCount(); ++i) {
        YRenderInstance* barn = renderer.GetPlacedObject(i);
        if (strcmp(barn->m_name.GetBuffer(), "Scenery-Barn--19-0") != 0) continue;
        const float hit[3] = {barn->m_position[0], barn->m_position[1] + 50.0f, barn->m_position[2]};
        const float origin[3] = {hit[0], hit[1] + 20.0f, hit[2] - 480.0f};
        renderer.AddModelDecal(barn, splat, hit, origin, 40.0f, 0.5f);
    }
    if (plane) {
        float eye[3], angles[2];
        path.At(40, eye, angles, renderer);
        renderer.AddModelDecal(&plane->m_render, splat, plane->m_render.m_position, eye, 24.0f, 0.0f);
    }
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
        YSessionDesc& session = engine->m_sessionDesc;
        session.m_mapPath = g_options.map.c_str();
        YMapFramePath::SessionWords(session.m_parameters);
        session.m_parameters[YSessionDesc::ParamBillboard] = g_options.lod ? 1 : 0;
        for (int level = 0; level < renderer->GetInitLevelCount(2); ++level) {
            if (!renderer->InitSession(2, level == 0 ? &session : nullptr, level)) {
                fprintf(stderr, "map_frame: cannot set up %s\n", g_options.map.c_str());
                return FALSE;
            }
        }
        const YMapFramePath path(*renderer);
        YActor* plane = PlaceActor(*renderer, path);
        path.LayMarks(*renderer);
        StampSplats(*renderer, path, plane);
        YSMHandle* cameraPlane = renderer->CreateModelHandle("models\\biplane.ysm");
        g_cameraPlane.m_model = cameraPlane;
        g_cameraPlane.m_flags = YD3D6Parser::kRecordVisible;
        g_cameraPlane.m_position[0] = 60.0f, g_cameraPlane.m_position[1] = -40.0f, g_cameraPlane.m_position[2] = 250.0f;
        g_cameraPlane.m_scale = 1.0f;
        renderer->SetModelEnumerator(CameraSpacePlane);
        YGraphics* graphics = engine->m_graphics;
        // No screen is open: the interface would clear the frame to black.
        YInterfaceMgr* interface = engine->m_interfaceMgr;
        engine->m_interfaceMgr = nullptr;
        for (int frame = 0; frame < g_options.frames && engine->m_running; ++frame) {
            int any = 0;
            if (engine->m_msgHandler && !engine->m_msgHandler->PumpMessages(any)) break;
            if (g_options.timeOfDay >= 0)
                YMapFramePath::TimeClock(g_options.timeOfDay, *renderer);
            else
                YMapFramePath::DayClock(frame, g_options.frames, *renderer);
            // A red flash for a few frames of every fifty.
            if (frame % 50 >= 40 && frame % 50 < 44) renderer->PushOverlayColor(1, 1.0f, 0.1f, 0.05f, 0.35f);
            g_cameraPlane.m_angles[1] = float(frame) * 0.08f;
            if (plane) ImmediateTriangles(*engine, plane->m_render.m_position, frame);
            float sun[3];
            // Every fourth twenty frames look into the sun.
            if (frame % 80 >= 60 && SunDirection(*renderer, sun)) {
                float eye[3], angles[2];
                path.At(frame, eye, angles, *renderer);
                renderer->SetCameraPosition(eye[0], eye[1], eye[2]);
                renderer->SetCameraAngles(std::asin(sun[1]), std::atan2(sun[0], sun[2]), 0.0f);
                renderer->SetViewRects(0, 0, graphics->m_width, graphics->m_height, 0, 0, graphics->m_width,
                                       graphics->m_height);
                renderer->SetProjection(60.0f, 60.0f, 16.0f, float(std::max(renderer->m_popUpDistance, 256)));
                renderer->ApplyView();
                renderer->GetRaster()->ClearTarget(0xFF000000u | renderer->m_clearColour);
                renderer->BeginFrame();
                renderer->RenderFrame();
                renderer->EndFrame();
                renderer->ClearVisitedMarks();
            } else {
                path.Draw(frame, *renderer, graphics->m_width, graphics->m_height);
            }
            engine->m_debugVertexCount = 0;
            if (frame == 0 && !g_options.cells.empty()) {
                renderer->ComputeVisibleCells();
                if (!WriteCellPicture(*renderer, g_options.cells))
                    fprintf(stderr, "map_frame: cannot write %s\n", g_options.cells.c_str());
            }
            graphics->RunFrame();
        }
        const DWORD until = GetTickCount() + DWORD(g_options.holdSeconds) * 1000;
        while (g_options.holdSeconds > 0 && engine->m_running && int32_t(until - GetTickCount()) > 0) {
            int any = 0;
            if (engine->m_msgHandler && !engine->m_msgHandler->PumpMessages(any)) break;
            graphics->RunFrame();
            Sleep(20);
        }
        engine->m_interfaceMgr = interface;
        renderer->SetModelEnumerator(nullptr);
        g_cameraPlane.m_model = nullptr;
        delete cameraPlane;
        if (plane) {
            renderer->RemoveActorAt(plane, plane->m_render.m_position[0], plane->m_render.m_position[2]);
            delete plane;
        }
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
        } else if (!strcmp(argv[i], "--hold") && i + 1 < argc) {
            g_options.holdSeconds = std::max(0, atoi(argv[++i]));
        } else if (!strcmp(argv[i], "--time") && i + 1 < argc) {
            int hours = 0, minutes = 0;
            if (sscanf(argv[++i], "%d:%d", &hours, &minutes) < 1 || hours < 0 || hours > 23 || minutes < 0 ||
                minutes > 59) {
                fprintf(stderr, "map_frame: --time takes HH:MM\n");
                return 2;
            }
            g_options.timeOfDay = (hours * 60 + minutes) * 60;
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
