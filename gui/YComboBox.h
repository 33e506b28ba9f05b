// An edit box, a drop-down list box and a drop-down button in one control.
// The combo takes every mouse message itself and hands keys and text to its
// edit box.  While the list is open the row under the mouse is selected, and
// a release over the list copies that row into the edit box, closes the list
// and tells the parent (code 1).
#pragma once

#include "gui/YWindow.h"

class YEditBox;
class YListBox;

class YComboBox : public YWindow {
    DECLARE_SERIAL(YComboBox)
public:
    enum { kKindMask = 3, kButtonWidth = 20, kHoverRowHeight = 14, kNotifySelectionChanged = 1 };

    YComboBox();
    ~YComboBox() override;

    using YWindow::LoadFromFile;

    void Serialize(CArchive& ar) override;
    int LoadFromFile(const CStringArray& directories, int flag) override;
    int LoadFromCatalog(const char* directory, int flag) override;
    int Accept(YResourceVisitor* visitor) override;
    // Sets the font of the combo, its edit box and its list; the combo's old one.
    YFont* SetFont(YFont* font) override;
    int Draw(YDC* dc) override;
    void MoveTo(const RECT* rect) override;
    void GetName(CString& out) override;
    void SetName(const char* text) override;
    // Presses on the edit box and the list come to the combo.
    YWindow* ChildFromPoint(int x, int y, int flags) override;
    void OnMouseMove(int flags, int x, int y) override;
    void OnLButtonDown(int flags, int x, int y) override;
    void OnLButtonUp(int flags, int x, int y) override;
    void OnKeyDown(int key, int repeat, int keyFlags) override;
    int OnChar(int ch, int repeat, int keyFlags) override;
    void DrawBackground(YDC* dc) override;

    int Create(int style, const RECT* rect, YWindow* parent, int id);
    // Opens or closes the list; the combo's rectangle covers the open list.
    // True when the state changed.
    bool SetDropped(bool dropped);
    bool IsDropped() const { return m_dropped != 0; }
    // The list goes below the edit box, as wide, h high (h < 0 keeps its height).
    void SetListHeight(int height);
    // Builds the combo from images in order: the list's background, the
    // button, the combo's own images; fonts only after an image.  0 when
    // refused.
    int AttachImage(const char* name, YResource* resource);
    // The new row's index.
    int AddString(const char* text);
    int GetCount() const;
    int GetCurSel() const;
    void GetLBText(int index, CString& out) const;
    // Selects a row of the list and, for a row that exists, shows it in the
    // edit box.  The previous selection.
    int SelectItem(int index);
    void ResetContent();

    YEditBox* GetEditBox() const { return m_edit; }
    YListBox* GetListBox() const { return m_list; }
    const RECT& GetButtonRect() const { return m_button; }
    bool IsPressed() const { return m_pressed != 0; }

private:
    bool HasButton() const { return (m_style & kKindMask) != 0; }
    bool OwnsChild(YWindow* child) const;
    // After a load: the edit box and the list among the children.
    void FindParts();

    YListBox* m_list;
    YEditBox* m_edit;
    RECT m_button;
    int32_t m_dropped;
    int32_t m_pressed;
};
