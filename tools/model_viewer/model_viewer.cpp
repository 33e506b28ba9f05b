// Starts the display and the renderer as the program does, opens the
// renderer's model viewer session and turns each sample plane in the
// game's window, one beside the other.  Run it in the data folder.
// Usage: model_viewer [frames]
// Headless, RCV_FIXED_STEP_MS and RCV_FRAME_DUMP keep the frames.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "engine/YMsgHandler.h"
#include "gui/YInterfaceMgr.h"
#include "platform/backend/Backend.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YGraphics.h"
#include "world/YRenderInstance.h"

namespace {
int g_frames = 200;
const char* const kPlanes[] = {"models\\biplane.ysm", "models\\corsair_plane.ysm", "models\\f15plane.ysm",
                               "models\\p40plane.ysm", "models\\sigcap231plane.ysm"};

class ModelViewerApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        YGameObjects* engine = YGameObjects::Instance();
        if (!engine->Start(this)) return FALSE;
        YD3D6Parser* renderer = dynamic_cast<YD3D6Parser*>(engine->m_renderer);
        if (!renderer) {
            fprintf(stderr, "model_viewer: no renderer\n");
            return FALSE;
        }
        YSessionDesc session;
        session.m_mapPath = "20";  // the viewer's size: its far plane lies (20 - 2) x 128 away
        if (!renderer->InitSession(1, &session, 0)) {
            fprintf(stderr, "model_viewer: no viewer session\n");
            return FALSE;
        }
        // The planes in a row, 12 m apart, 70 m in front of the eye.
        std::vector<std::unique_ptr<YSMHandle>> handles;
        std::vector<std::unique_ptr<YRenderInstance>> records;
        for (const char* file : kPlanes) {
            YSMHandle* handle = renderer->CreateModelHandle(file);
            if (!handle) {
                fprintf(stderr, "model_viewer: cannot load %s\n", file);
                continue;
            }
            handles.emplace_back(handle);
            records.emplace_back(new YRenderInstance);
            YRenderInstance& r = *records.back();
            r.m_model = handle;
            r.m_flags = YD3D6Parser::kRecordVisible;
            r.m_scale = 16.0f;
        }
        const float spacing = 12.0f * 16.0f;
        for (size_t i = 0; i < records.size(); ++i) {
            YRenderInstance& r = *records[i];
            r.m_position[0] = (float(i) - float(records.size() - 1) * 0.5f) * spacing;
            r.m_position[2] = 70.0f * 16.0f;
            renderer->AddActorAt(&r, 0, r.m_position[0], r.m_position[2]);
        }
        YGraphics* graphics = engine->m_graphics;
        YInterfaceMgr* interface = engine->m_interfaceMgr;
        engine->m_interfaceMgr = nullptr;
        renderer->m_viewerClearColour = 0x203048;
        for (int frame = 0; frame < g_frames && engine->m_running; ++frame) {
            int any = 0;
            if (engine->m_msgHandler && !engine->m_msgHandler->PumpMessages(any)) break;
            for (size_t i = 0; i < records.size(); ++i) {
                records[i]->m_angles[1] = float(frame) * 0.04f + float(i);
                records[i]->m_angles[0] = 0.3f;
            }
            renderer->SetCameraPosition(0.0f, 4.0f * 16.0f, 0.0f);
            renderer->SetCameraAngles(-0.1f, 0.0f, 0.0f);
            renderer->SetViewRects(0, 0, graphics->m_width, graphics->m_height, 0, 0, graphics->m_width,
                                   graphics->m_height);
            renderer->ApplyView();
            renderer->BeginFrame();
            renderer->RenderFrame();
            renderer->EndFrame();
            graphics->RunFrame();
        }
        engine->m_interfaceMgr = interface;
        for (const std::unique_ptr<YRenderInstance>& r : records)
            renderer->RemoveActorAt(r.get(), r->m_position[0], r->m_position[2]);
        records.clear();
        handles.clear();
        renderer->EndSession(0);
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

ModelViewerApp theApp;
}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1) g_frames = std::max(1, atoi(argv[1]));
    int code = AfxWinMain();
    platform::Backend::Shutdown();
    return code;
}
