#pragma once
// The shortcuts page.
// Stands in the page sequence with its skip rule and button states; its
// content comes with the work it belongs to.

#include "CWizardPropertyPage.h"

class CShortcutsPpg : public CWizardPropertyPage {
public:
    explicit CShortcutsPpg(CInstallWizard& wizard);

    bool ShouldSkip() override;
    bool IsBackEnabled() override { return true; }
    bool IsCancelEnabled() override { return false; }
};
