#pragma once
// The finish page. Its Express rule depends on the completion mode, which the
// completion work decides; until then only Silent skips it.
// Stands in the page sequence with its skip rule and button states; its
// content comes with the work it belongs to.

#include "CWizardPropertyPage.h"

class CFinishPpg : public CWizardPropertyPage {
public:
    explicit CFinishPpg(CInstallWizard& wizard);

    bool ShouldSkip() override;
    bool IsBackEnabled() override { return false; }
    bool IsCancelEnabled() override { return false; }
};
