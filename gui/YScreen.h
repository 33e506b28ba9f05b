// A top-level page: a background image, a click sound played for clicked
// children and a second sound, and the keyboard focus walk between its
// children.  Its resources are laid out as 0 background, 1 click sound,
// 2 second sound.
#pragma once

#include "gui/YWindow.h"

class YScreen : public YWindow {
    DECLARE_SERIAL(YScreen)
public:
    YScreen();
    ~YScreen() override;

    using YWindow::LoadFromFile;

    // The sounds go back to nobody: they are only cleared.
    YWindow* Release() override;
    int LoadFromFile(const CStringArray& directories, int flag) override;
    int LoadFromCatalog(const char* directory, int flag) override;
    int Accept(YResourceVisitor* visitor) override;
    // Packs the children's resources; the background keeps the screen's
    // rectangle as its bounds in the screen source.
    int DrawResources(YDC* source, int maxWidth, int maxHeight, POINT* cursor) override;
    void OnNotify(int id, int code) override;
    // The focus goes to a given direct child, or else from the focus child
    // to the next (or previous) tab stop among the children, cyclically.
    void OnNextDlgCtl(bool forward, YWindow* target) override;
    void DrawBackground(YDC* dc) override;
    void DrawForeground(YDC* dc) override;
    // Stores style, rectangle, text, id and owner; the screen joins no
    // parent and its rectangle is in screen pixels as given.
    int Create(int reserved1, const char* text, int style, const RECT* rect, YWindow* owner, int id,
               int reserved2) override;

    // The screen takes the first background's size; a later one replaces it
    // and the old one goes back to the catalog.  The image.
    YResource* SetBackground(YResource* image);
    // Borrowed sounds at indexes 1 and 2.
    void SetSounds(YResource* click, YResource* second);
    void PlaySecondSound();
    void PlayClickSound();

    YWindow* GetOwner() const { return m_owner; }
    int GetBackgroundIndex() const { return m_backgroundIndex; }
    int GetClickSoundIndex() const { return m_clickSoundIndex; }
    int GetSecondSoundIndex() const { return m_secondSoundIndex; }

protected:
    // Rewinds a sound resource and plays it once.
    void PlayOnce(int index);
    // The index convention after a load.
    void IndexLoadedResources();
    // Clears the sound entries that were lent with SetSounds.
    void ForgetBorrowedSounds();

    int32_t m_backgroundIndex;
    int32_t m_clickSoundIndex;
    int32_t m_secondSoundIndex;
    YWindow* m_owner;
    // The sounds at 1 and 2 came from SetSounds and are not this screen's.
    bool m_soundsBorrowed;
};
