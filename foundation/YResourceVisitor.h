// Double dispatch over the resource classes: each Accept calls one Visit.
// Waves, sound buffers and the 3D listener share VisitWave.
#pragma once

#include "platform/mfc.h"

class YResource;
class YAnimation;
class YButton;
class YComboBox;
class YDIB;
class YDialog;
class YEditBox;
class YFileHandler;
class YFont;
class YFrame;
class YListBox;
class YListCtrl;
class YMesh;
class YModel;
class YMultiImage;
class YSMLoader;
class YScreen;
class YScrollBar;
class YSlider;
class YSoundEmitter;
class YSprite;
class YTextCtrl;
class YTextureHandler;

class YResourceVisitor : public CObject {
public:
    YResourceVisitor() = default;
    ~YResourceVisitor() override = default;

    virtual LONG VisitFileHandler(YFileHandler* resource);
    virtual LONG VisitSMLoader(YSMLoader* resource);
    virtual LONG VisitMesh(YMesh* resource);
    virtual LONG VisitWave(YResource* resource);
    virtual LONG VisitModel(YModel* resource);
    virtual LONG VisitFrame(YFrame* resource);
    virtual LONG VisitAnimation(YAnimation* resource);
    virtual LONG VisitButton(YButton* resource);
    virtual LONG VisitSpare1(YResource* resource);
    virtual LONG VisitComboBox(YComboBox* resource);
    virtual LONG VisitDialog(YDialog* resource);
    virtual LONG VisitDIB(YDIB* resource);
    virtual LONG VisitEditBox(YEditBox* resource);
    virtual LONG VisitListBox(YListBox* resource);
    virtual LONG VisitMultiImage(YMultiImage* resource);
    virtual LONG VisitScreen(YScreen* resource);
    virtual LONG VisitSprite(YSprite* resource);
    virtual LONG VisitTextCtrl(YTextCtrl* resource);
    virtual LONG VisitSpare2(YResource* resource);
    virtual LONG VisitSpare3(YResource* resource);
    virtual LONG VisitSoundEmitter(YSoundEmitter* resource);
    virtual LONG VisitFont(YFont* resource);
    virtual LONG VisitSlider(YSlider* resource);
    virtual LONG VisitScrollBar(YScrollBar* resource);
    virtual LONG VisitListCtrl(YListCtrl* resource);
    virtual LONG VisitTextureHandler(YTextureHandler* resource);
};
