#include "sound/DSDriver.h"

DSDriver::DSDriver(const GUID* guid, const char* description, const char* module)
    : m_guid(guid ? *guid : GUID_NULL), m_description(description ? description : ""), m_module(module ? module : "")
{
}
