#include "engine/YCommandDialog.h"

YCommandDialog::YCommandDialog(const char* background) : m_background(background ? background : "") {}
