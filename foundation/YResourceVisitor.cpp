#include "foundation/YResourceVisitor.h"

LONG YResourceVisitor::VisitFileHandler(YFileHandler*) { return 0; }
LONG YResourceVisitor::VisitSMLoader(YSMLoader*) { return 0; }
LONG YResourceVisitor::VisitMesh(YMesh*) { return 0; }
LONG YResourceVisitor::VisitWave(YResource*) { return 0; }
LONG YResourceVisitor::VisitModel(YModel*) { return 0; }
LONG YResourceVisitor::VisitFrame(YFrame*) { return 0; }
LONG YResourceVisitor::VisitAnimation(YAnimation*) { return 0; }
LONG YResourceVisitor::VisitButton(YButton*) { return 0; }
LONG YResourceVisitor::VisitSpare1(YResource*) { return 0; }
LONG YResourceVisitor::VisitComboBox(YComboBox*) { return 0; }
LONG YResourceVisitor::VisitDialog(YDialog*) { return 0; }
LONG YResourceVisitor::VisitDIB(YDIB*) { return 0; }
LONG YResourceVisitor::VisitEditBox(YEditBox*) { return 0; }
LONG YResourceVisitor::VisitListBox(YListBox*) { return 0; }
LONG YResourceVisitor::VisitMultiImage(YMultiImage*) { return 0; }
LONG YResourceVisitor::VisitScreen(YScreen*) { return 0; }
LONG YResourceVisitor::VisitSprite(YSprite*) { return 0; }
LONG YResourceVisitor::VisitTextCtrl(YTextCtrl*) { return 0; }
LONG YResourceVisitor::VisitSpare2(YResource*) { return 0; }
LONG YResourceVisitor::VisitSpare3(YResource*) { return 0; }
LONG YResourceVisitor::VisitSoundEmitter(YSoundEmitter*) { return 0; }
LONG YResourceVisitor::VisitFont(YFont*) { return 0; }
LONG YResourceVisitor::VisitSlider(YSlider*) { return 0; }
LONG YResourceVisitor::VisitScrollBar(YScrollBar*) { return 0; }
LONG YResourceVisitor::VisitListCtrl(YListCtrl*) { return 0; }
LONG YResourceVisitor::VisitTextureHandler(YTextureHandler*) { return 0; }
