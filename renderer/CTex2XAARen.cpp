#include "renderer/CTex2XAARen.h"

CTex2XAARen::CTex2XAARen() : CTex2XAARen(new uint8_t[kBufferBytes]()) {}

CTex2XAARen::CTex2XAARen(uint8_t* buffer) : CTexRen(2, Aligned8(buffer), kMaxAASize), m_buffer(buffer) {}

CTex2XAARen::~CTex2XAARen()
{
    delete[] m_buffer;
}
