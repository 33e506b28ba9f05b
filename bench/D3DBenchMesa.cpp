#include "D3DBenchMesa.h"

#include <cstddef>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/osmesa.h>
#include <GL/gl.h>
#include <GL/glext.h>

D3DBenchMesa::D3DBenchMesa()
{
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 16, 0, 0, nullptr);
    if (!context) return;
    m_buffer.assign(static_cast<size_t>(D3DBenchScene::kWidth) * D3DBenchScene::kHeight, 0);
    if (!OSMesaMakeCurrent(context, m_buffer.data(), GL_UNSIGNED_BYTE, D3DBenchScene::kWidth, D3DBenchScene::kHeight)) {
        OSMesaDestroyContext(context);
        return;
    }
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    m_context = context;
    glViewport(0, 0, D3DBenchScene::kWidth, D3DBenchScene::kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // x, y in pixels from the top left, z 0..1 straight to depth.
    glOrtho(0, D3DBenchScene::kWidth, D3DBenchScene::kHeight, 0, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glGenTextures(2, m_textures);
    for (int t = 0; t < 2; ++t) {
        glBindTexture(GL_TEXTURE_2D, m_textures[t]);
        for (int level = 0; level < D3DBenchScene::Levels(); ++level) {
            std::vector<uint32_t> texels = D3DBenchScene::Texture(t, level);
            const int side = D3DBenchScene::kTextureSide >> level;
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, side, side, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
}

D3DBenchMesa::~D3DBenchMesa()
{
    if (m_context) {
        glDeleteTextures(2, m_textures);
        OSMesaDestroyContext(static_cast<OSMesaContext>(m_context));
    }
}

void D3DBenchMesa::Setup(const D3DBenchScene& scene)
{
    m_positions.clear();
    m_tex0.clear();
    m_tex1.clear();
    m_fog.clear();
    m_colours.clear();
    for (const D3DBenchScene::Vertex& v : scene.vertices) {
        // GL samples pixel centres at +0.5; Direct3D 7 at whole coordinates.
        const float w = 1.0f / v.rhw;
        m_positions.insert(m_positions.end(), {(v.x + 0.5f) * w, (v.y + 0.5f) * w, v.z * w, w});
        m_colours.insert(m_colours.end(), {static_cast<unsigned char>(v.diffuse >> 16), static_cast<unsigned char>(v.diffuse >> 8),
                                           static_cast<unsigned char>(v.diffuse), static_cast<unsigned char>(v.diffuse >> 24)});
        m_tex0.insert(m_tex0.end(), {v.u0, v.v0});
        m_tex1.insert(m_tex1.end(), {v.u1, v.v1});
        m_fog.push_back(w);
    }
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DITHER);
    if (scene.blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
    if (scene.fog) {
        glEnable(GL_FOG);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, scene.fogStart);
        glFogf(GL_FOG_END, scene.fogEnd);
        const float colour[4] = {((scene.fogColour >> 16) & 0xFF) / 255.0f, ((scene.fogColour >> 8) & 0xFF) / 255.0f,
                                 (scene.fogColour & 0xFF) / 255.0f, 1.0f};
        glFogfv(GL_FOG_COLOR, colour);
        glFogi(GL_FOG_COORDINATE_SOURCE, GL_FOG_COORDINATE);
        glHint(GL_FOG_HINT, GL_NICEST);
        glEnableClientState(GL_FOG_COORDINATE_ARRAY);
        glFogCoordPointer(GL_FLOAT, 0, m_fog.data());
    } else {
        glDisable(GL_FOG);
        glDisableClientState(GL_FOG_COORDINATE_ARRAY);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(4, GL_FLOAT, 0, m_positions.data());
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, m_colours.data());
    for (int t = 0; t < 2; ++t) {
        glActiveTexture(GL_TEXTURE0 + t);
        glClientActiveTexture(GL_TEXTURE0 + t);
        if (t < scene.textures) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, m_textures[t]);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, 0, t == 0 ? m_tex0.data() : m_tex1.data());
        } else {
            glDisable(GL_TEXTURE_2D);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);
}

void D3DBenchMesa::Draw(const D3DBenchScene& scene)
{
    glClearColor(0x20 / 255.0f, 0x30 / 255.0f, 0x40 / 255.0f, 0.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(scene.vertices.size()));
    glFinish();
}

std::vector<uint32_t> D3DBenchMesa::Pixels() const
{
    std::vector<uint32_t> out(m_buffer.size());
    for (size_t i = 0; i < m_buffer.size(); ++i) out[i] = m_buffer[i] & 0xFFFFFF;
    return out;
}
