// A layer over our Direct3D 7 device and the raster's two vertex buffers
// that writes a line per call the frame road makes, then hands the call on.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d.h"
#include "renderer/YD3D6Raster.h"

class RecordingDevice : public IDirect3DDevice7 {
public:
    class Buffer : public IDirect3DVertexBuffer7 {
    public:
        Buffer(RecordingDevice* owner, IDirect3DVertexBuffer7* real) : m_owner(owner), m_real(real) {}
        HRESULT QueryInterface(REFIID iid, void** object) override { return m_real->QueryInterface(iid, object); }
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        HRESULT Lock(DWORD flags, LPVOID* data, LPDWORD size) override { return m_real->Lock(flags, data, size); }
        HRESULT Unlock() override { return m_real->Unlock(); }
        HRESULT ProcessVertices(DWORD operations, DWORD destIndex, DWORD count, LPDIRECT3DVERTEXBUFFER7 source,
                                DWORD sourceIndex, LPDIRECT3DDEVICE7, DWORD flags) override
        {
            m_owner->Log("ProcessVertices " + std::to_string(count));
            return m_real->ProcessVertices(operations, destIndex, count, m_owner->Real(source), sourceIndex,
                                           m_owner->m_real, flags);
        }
        HRESULT GetVertexBufferDesc(LPD3DVERTEXBUFFERDESC desc) override { return m_real->GetVertexBufferDesc(desc); }
        HRESULT Optimize(LPDIRECT3DDEVICE7, DWORD flags) override { return m_real->Optimize(m_owner->m_real, flags); }

        RecordingDevice* m_owner;
        IDirect3DVertexBuffer7* m_real;
    };

    // Takes the raster's device and buffers; Detach puts them back.
    explicit RecordingDevice(YD3D6Raster* raster) : m_raster(raster), m_vertices(this, nullptr), m_screen(this, nullptr)
    {
        IDirect3DDevice7* device = this;
        IDirect3DVertexBuffer7* vertices = &m_vertices;
        IDirect3DVertexBuffer7* screen = &m_screen;
        raster->SwapDevice(&device, &vertices, &screen);
        m_real = device, m_vertices.m_real = vertices, m_screen.m_real = screen;
    }
    ~RecordingDevice() override { Detach(); }
    void Detach()
    {
        if (!m_raster) return;
        m_raster->SwapDevice(&m_real, &m_vertices.m_real, &m_screen.m_real);
        m_raster = nullptr;
    }
    IDirect3DVertexBuffer7* Real(IDirect3DVertexBuffer7* buffer)
    {
        return buffer == &m_vertices ? m_vertices.m_real : buffer == &m_screen ? m_screen.m_real : buffer;
    }
    void Log(const std::string& line) { lines.push_back(line); }
    // The lines that begin with prefix.
    std::vector<std::string> Only(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& line : lines)
            if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
        return out;
    }
    size_t Count(const std::string& prefix) const { return Only(prefix).size(); }

    HRESULT QueryInterface(REFIID iid, void** object) override { return m_real->QueryInterface(iid, object); }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetCaps(LPD3DDEVICEDESC7 desc) override { return m_real->GetCaps(desc); }
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, LPVOID context) override
    {
        return m_real->EnumTextureFormats(callback, context);
    }
    HRESULT BeginScene() override
    {
        Log("BeginScene");
        return m_real->BeginScene();
    }
    HRESULT EndScene() override
    {
        Log("EndScene");
        return m_real->EndScene();
    }
    HRESULT GetDirect3D(LPDIRECT3D7* direct3D) override { return m_real->GetDirect3D(direct3D); }
    HRESULT SetRenderTarget(LPDIRECTDRAWSURFACE7 target, DWORD flags) override
    {
        return m_real->SetRenderTarget(target, flags);
    }
    HRESULT GetRenderTarget(LPDIRECTDRAWSURFACE7* target) override { return m_real->GetRenderTarget(target); }
    HRESULT Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR colour, D3DVALUE z, DWORD stencil) override
    {
        std::string line = "Clear";
        if (flags & D3DCLEAR_TARGET) line += " target";
        if (flags & D3DCLEAR_ZBUFFER) line += " z=" + std::to_string(z);
        for (DWORD i = 0; i < count && rects; ++i)
            line += " " + std::to_string(rects[i].x1) + "," + std::to_string(rects[i].y1) + "," +
                    std::to_string(rects[i].x2) + "," + std::to_string(rects[i].y2);
        Log(line);
        return m_real->Clear(count, rects, flags, colour, z, stencil);
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override
    {
        return m_real->SetTransform(state, matrix);
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override
    {
        return m_real->GetTransform(state, matrix);
    }
    HRESULT SetViewport(LPD3DVIEWPORT7 viewport) override { return m_real->SetViewport(viewport); }
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, LPD3DMATRIX matrix) override
    {
        return m_real->MultiplyTransform(state, matrix);
    }
    HRESULT GetViewport(LPD3DVIEWPORT7 viewport) override { return m_real->GetViewport(viewport); }
    HRESULT SetMaterial(LPD3DMATERIAL7 material) override
    {
        Log("SetMaterial");
        return m_real->SetMaterial(material);
    }
    HRESULT GetMaterial(LPD3DMATERIAL7 material) override { return m_real->GetMaterial(material); }
    HRESULT SetLight(DWORD index, LPD3DLIGHT7 light) override
    {
        Log("SetLight " + std::to_string(index));
        return m_real->SetLight(index, light);
    }
    HRESULT GetLight(DWORD index, LPD3DLIGHT7 light) override { return m_real->GetLight(index, light); }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override
    {
        Log("SetRenderState " + std::to_string(int(state)) + " " + std::to_string(value));
        return m_real->SetRenderState(state, value);
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, LPDWORD value) override
    {
        return m_real->GetRenderState(state, value);
    }
    HRESULT PreLoad(LPDIRECTDRAWSURFACE7 texture) override { return m_real->PreLoad(texture); }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD count, DWORD flags) override
    {
        Log("DrawPrimitive " + std::to_string(int(type)) + " " + std::to_string(count));
        Keep(fvf, vertices, count);
        // Position and colour vertices: the colour of the first.
        if (fvf == (D3DFVF_XYZ | D3DFVF_DIFFUSE) && vertices && count)
            colours.push_back(static_cast<const uint32_t*>(vertices)[3]);
        return m_real->DrawPrimitive(type, fvf, vertices, count, flags);
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD vertexCount,
                                 LPWORD indices, DWORD indexCount, DWORD flags) override
    {
        Log("DrawIndexedPrimitive " + std::to_string(int(type)) + " " + std::to_string(vertexCount) + " " +
            std::to_string(indexCount));
        Keep(fvf, vertices, vertexCount);
        return m_real->DrawIndexedPrimitive(type, fvf, vertices, vertexCount, indices, indexCount, flags);
    }
    HRESULT DrawPrimitiveVB(D3DPRIMITIVETYPE type, LPDIRECT3DVERTEXBUFFER7 buffer, DWORD start, DWORD count,
                            DWORD flags) override
    {
        return m_real->DrawPrimitiveVB(type, Real(buffer), start, count, flags);
    }
    HRESULT DrawIndexedPrimitiveVB(D3DPRIMITIVETYPE type, LPDIRECT3DVERTEXBUFFER7 buffer, DWORD start,
                                   DWORD vertexCount, LPWORD indices, DWORD indexCount, DWORD flags) override
    {
        Log("DrawIndexedPrimitiveVB " + std::to_string(int(type)) + " " + std::to_string(vertexCount) + " " +
            std::to_string(indexCount));
        return m_real->DrawIndexedPrimitiveVB(type, Real(buffer), start, vertexCount, indices, indexCount, flags);
    }
    HRESULT GetTexture(DWORD stage, LPDIRECTDRAWSURFACE7* texture) override { return m_real->GetTexture(stage, texture); }
    HRESULT SetTexture(DWORD stage, LPDIRECTDRAWSURFACE7 texture) override
    {
        Log("SetTexture " + std::to_string(stage) + (texture ? " surface" : " none"));
        return m_real->SetTexture(stage, texture);
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, LPDWORD value) override
    {
        return m_real->GetTextureStageState(stage, state, value);
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override
    {
        Log("SetTextureStageState " + std::to_string(stage) + " " + std::to_string(int(state)) + " " +
            std::to_string(value));
        return m_real->SetTextureStageState(stage, state, value);
    }
    HRESULT ValidateDevice(LPDWORD passes) override { return m_real->ValidateDevice(passes); }
    HRESULT LightEnable(DWORD index, BOOL enable) override
    {
        Log("LightEnable " + std::to_string(index) + (enable ? " on" : " off"));
        return m_real->LightEnable(index, enable);
    }
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override { return m_real->GetLightEnable(index, enable); }

    std::vector<std::string> lines;
    // The vertices of each DrawPrimitive and DrawIndexedPrimitive call, in
    // order: position, normal and diffuse of each (formats with all three).
    struct KeptVertex {
        float position[3];
        float normal[3];
        uint32_t diffuse;
        float u, v;
    };
    std::vector<std::vector<KeptVertex>> drawn;
    std::vector<uint32_t> colours;

private:
    void Keep(DWORD fvf, const void* vertices, DWORD count)
    {
        std::vector<KeptVertex> out;
        if ((fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZ && (fvf & D3DFVF_NORMAL) && (fvf & D3DFVF_DIFFUSE) && vertices) {
            const size_t textures = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
            const size_t stride = 28 + 8 * textures;
            const uint8_t* p = static_cast<const uint8_t*>(vertices);
            for (DWORD i = 0; i < count; ++i, p += stride) {
                KeptVertex v = {};
                memcpy(v.position, p, 24);
                memcpy(&v.diffuse, p + 24, 4);
                if (textures) memcpy(&v.u, p + 28, 8);
                out.push_back(v);
            }
        }
        drawn.push_back(out);
    }

    YD3D6Raster* m_raster;
    IDirect3DDevice7* m_real = nullptr;
    Buffer m_vertices, m_screen;
};
