#pragma once
// A folder name: a text field and a button ("Change") that opens the
// system's folder chooser; the chosen folder replaces the field's text.

#include <functional>

#include "VLButton.h"
#include "VLTextBox.h"
#include "VLWnd.h"

class VLFolderNameCtrl : public VLWnd {
public:
    // `buttonText` is shown on the button (already translated by the caller);
    // `chooserTitle` heads the folder chooser.
    [[nodiscard]] bool Create(HWND parent, const RECT& rect, UINT id, const VLString& buttonText,
                              const VLString& chooserTitle);

    VLString GetPath() const { return m_edit.GetText(); }
    void SetPath(const VLString& path) { m_edit.SetText(path); }

    // Opens the folder chooser (as the button does). Returns true and sets the
    // field when the user chose a folder; false when cancelled.
    bool ChooseFolder();

    VLEdit& GetEdit() { return m_edit; }
    VLButton& GetButton() { return m_button; }

    // Height of the control in layout units.
    static int GetHeightUnits() { return 23; }

protected:
    void OnCreate() override;
    void OnSize(int width, int height) override;

private:
    VLEdit m_edit;
    VLButton m_button;
    VLString m_buttonText;
    VLString m_chooserTitle;
};
