// Our IDirect3DVertexBuffer7: vertices of one flexible format in memory,
// locked for writing, drawn from and filled by ProcessVertices.
#pragma once

#include "platform/Direct3DVertexPipeline.h"
#include "platform/d3d.h"

#include <vector>

namespace platform {
class Direct3DVertexBuffer : public IDirect3DVertexBuffer7 {
public:
    // Null when the format or size is refused.
    static Direct3DVertexBuffer* Create(const D3DVERTEXBUFFERDESC& desc);

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Lock(DWORD flags, LPVOID* data, LPDWORD size) override;
    HRESULT Unlock() override;
    HRESULT ProcessVertices(DWORD operations, DWORD destIndex, DWORD count, LPDIRECT3DVERTEXBUFFER7 source,
                            DWORD sourceIndex, LPDIRECT3DDEVICE7 device, DWORD flags) override;
    HRESULT GetVertexBufferDesc(LPD3DVERTEXBUFFERDESC desc) override;
    HRESULT Optimize(LPDIRECT3DDEVICE7 device, DWORD flags) override;

    const Direct3DVertexPipeline::Layout& Layout() const { return m_layout; }
    DWORD Count() const { return m_desc.dwNumVertices; }
    bool IsLocked() const { return m_locked; }
    uint8_t* Data() { return m_data.data(); }

private:
    Direct3DVertexBuffer(const D3DVERTEXBUFFERDESC& desc, const Direct3DVertexPipeline::Layout& layout);
    ~Direct3DVertexBuffer() override;

    ULONG m_refs = 1;
    D3DVERTEXBUFFERDESC m_desc;
    Direct3DVertexPipeline::Layout m_layout;
    std::vector<uint8_t> m_data;
    bool m_locked = false;
};
}  // namespace platform
