#pragma once
// One page of a wizard: a child window of the wizard's page area with the
// operations the wizard asks while navigating. Defaults as a plain page
// needs them; pages override what they decide.

#include "VLWnd.h"

class VLWizardPopupWnd;

class VLWizardPageWnd : public VLWnd {
public:
    // May the page be shown now (false: the wizard moves on in the same
    // direction).
    virtual bool AcceptActivation() { return true; }
    // The page is being left or the wizard cancelled.
    virtual void OnDeactivate() {}
    virtual bool MayLeaveBackwards() { return true; }
    virtual bool MayLeaveForwards() { return true; }
    virtual void OnCancel() {}
    virtual VLString GetWindowTitle() { return VLString(); }
    virtual VLString GetHeaderTitle() { return VLString(); }
    virtual VLString GetHeaderDescription() { return VLString(); }
    // "< Back", translated by the wizard.
    virtual VLString GetBackButtonText();
    // "Next >", or "Finish" on the last page of the list.
    virtual VLString GetNextButtonText();
    // True when the page is not the first of the list.
    virtual bool IsBackEnabled();
    virtual bool IsNextEnabled() { return true; }
    virtual bool IsCancelEnabled() { return true; }
    // A page may take itself out of the list when it is left.
    virtual bool RemoveAfterLeaving() { return false; }

    // Creates the page window (hidden) in the wizard's page area. The page's
    // OnCreatePage runs from the creation handler.
    [[nodiscard]] bool CreatePage(HWND parent, const RECT& rect);

    VLWizardPopupWnd* GetWizard() const { return m_wizard; }
    void SetWizard(VLWizardPopupWnd* wizard) { m_wizard = wizard; }
    // Position in the wizard's list, -1 when not in it.
    int GetPageIndex() const;

protected:
    void OnCreate() override;
    // Builds the page's controls.
    virtual void OnCreatePage() {}

    VLWizardPopupWnd* m_wizard = nullptr;
};
