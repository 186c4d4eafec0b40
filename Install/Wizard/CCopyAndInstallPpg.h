#pragma once
// The copy-and-install page: never skipped; Back is never offered.
// Stands in the page sequence with its skip rule and button states; its
// content comes with the work it belongs to.

#include "CWizardPropertyPage.h"

class CCopyAndInstallPpg : public CWizardPropertyPage {
public:
    explicit CCopyAndInstallPpg(CInstallWizard& wizard);

    bool ShouldSkip() override;
    bool IsBackEnabled() override { return false; }
    bool IsCancelEnabled() override { return false; }
};
