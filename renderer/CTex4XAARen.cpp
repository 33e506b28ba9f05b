#include "renderer/CTex4XAARen.h"

CTex4XAARen::CTex4XAARen() : CTex4XAARen(new uint8_t[kBufferBytes]()) {}

CTex4XAARen::CTex4XAARen(uint8_t* buffer) : CTexRen(4, Aligned8(buffer), kMaxAASize), m_buffer(buffer) {}

CTex4XAARen::~CTex4XAARen()
{
    delete[] m_buffer;
}
