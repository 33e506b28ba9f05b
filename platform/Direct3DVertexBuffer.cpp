#include "platform/Direct3DVertexBuffer.h"

#include "platform/Direct3DDevice.h"
#include "platform/DirectDrawObject.h"

namespace platform {
Direct3DVertexBuffer* Direct3DVertexBuffer::Create(const D3DVERTEXBUFFERDESC& desc)
{
    Direct3DVertexPipeline::Layout layout;
    if (!Direct3DVertexPipeline::Layout::Decode(desc.dwFVF, layout)) return nullptr;
    if (desc.dwNumVertices == 0 || desc.dwNumVertices > D3DMAXNUMVERTICES) return nullptr;
    return new Direct3DVertexBuffer(desc, layout);
}

Direct3DVertexBuffer::Direct3DVertexBuffer(const D3DVERTEXBUFFERDESC& desc,
                                           const Direct3DVertexPipeline::Layout& layout)
    : m_desc(desc), m_layout(layout), m_data(static_cast<size_t>(desc.dwNumVertices) * layout.stride, 0)
{
    ++DirectDrawObject::LiveCounter();
}

Direct3DVertexBuffer::~Direct3DVertexBuffer()
{
    --DirectDrawObject::LiveCounter();
}

HRESULT Direct3DVertexBuffer::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirect3DVertexBuffer7)) {
        AddRef();
        *object = static_cast<IDirect3DVertexBuffer7*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG Direct3DVertexBuffer::AddRef()
{
    return ++m_refs;
}

ULONG Direct3DVertexBuffer::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

HRESULT Direct3DVertexBuffer::Lock(DWORD, LPVOID* data, LPDWORD size)
{
    if (!data) return DDERR_INVALIDPARAMS;
    if (m_locked) return D3DERR_VERTEXBUFFERLOCKED;
    m_locked = true;
    *data = m_data.data();
    if (size) *size = static_cast<DWORD>(m_data.size());
    return D3D_OK;
}

HRESULT Direct3DVertexBuffer::Unlock()
{
    if (!m_locked) return DDERR_NOTLOCKED;
    m_locked = false;
    return D3D_OK;
}

HRESULT Direct3DVertexBuffer::ProcessVertices(DWORD operations, DWORD destIndex, DWORD count,
                                              LPDIRECT3DVERTEXBUFFER7 source, DWORD sourceIndex,
                                              LPDIRECT3DDEVICE7 device, DWORD)
{
    if (!source || !device) return DDERR_INVALIDPARAMS;
    return static_cast<Direct3DDevice*>(device)->Process(operations, this, destIndex, count,
                                                         static_cast<Direct3DVertexBuffer*>(source), sourceIndex);
}

HRESULT Direct3DVertexBuffer::GetVertexBufferDesc(LPD3DVERTEXBUFFERDESC desc)
{
    if (!desc) return DDERR_INVALIDPARAMS;
    *desc = m_desc;
    desc->dwSize = sizeof(D3DVERTEXBUFFERDESC);
    return D3D_OK;
}

HRESULT Direct3DVertexBuffer::Optimize(LPDIRECT3DDEVICE7, DWORD)
{
    if (m_locked) return D3DERR_VERTEXBUFFERLOCKED;
    m_desc.dwCaps |= D3DVBCAPS_OPTIMIZED;
    return D3D_OK;
}
}  // namespace platform
