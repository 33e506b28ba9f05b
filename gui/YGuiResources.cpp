#include "gui/YGuiResources.h"

#include "foundation/YResourceFactory.h"
#include "gui/YAnimation.h"
#include "gui/YButton.h"
#include "gui/YComboBox.h"
#include "gui/YDialog.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "gui/YListCtrl.h"
#include "gui/YMultiImage.h"
#include "gui/YScreen.h"
#include "gui/YScrollBar.h"
#include "gui/YSlider.h"
#include "gui/YTextCtrl.h"

void YGuiResources::Register()
{
    YResourceFactory::RegisterType(8, RUNTIME_CLASS(YAnimation));
    YResourceFactory::RegisterType(9, RUNTIME_CLASS(YButton));
    YResourceFactory::RegisterType(10, RUNTIME_CLASS(YComboBox));
    YResourceFactory::RegisterType(11, RUNTIME_CLASS(YDialog));
    YResourceFactory::RegisterType(12, RUNTIME_CLASS(YEditBox));
    YResourceFactory::RegisterType(13, RUNTIME_CLASS(YListBox));
    YResourceFactory::RegisterType(14, RUNTIME_CLASS(YScreen));
    YResourceFactory::RegisterType(18, RUNTIME_CLASS(YTextCtrl));
    YResourceFactory::RegisterType(23, RUNTIME_CLASS(YMultiImage));
    YResourceFactory::RegisterType(25, RUNTIME_CLASS(YListCtrl));
    YResourceFactory::RegisterType(26, RUNTIME_CLASS(YSlider));
    YResourceFactory::RegisterType(27, RUNTIME_CLASS(YScrollBar));
}
