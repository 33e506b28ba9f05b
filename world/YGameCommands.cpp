#include "world/YGameCommands.h"

YGameCommands::YGameCommands() : m_activeCount(0) {}

YGameCommands::~YGameCommands() = default;
