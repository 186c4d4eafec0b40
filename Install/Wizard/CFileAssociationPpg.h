#pragma once
// The file association page (products with feature 176).
// Stands in the page sequence with its skip rule and button states; its
// content comes with the work it belongs to.

#include "CWizardPropertyPage.h"

class CFileAssociationPpg : public CWizardPropertyPage {
public:
    explicit CFileAssociationPpg(CInstallWizard& wizard);

    bool ShouldSkip() override;
    bool IsBackEnabled() override { return false; }
    bool IsCancelEnabled() override { return false; }
};
