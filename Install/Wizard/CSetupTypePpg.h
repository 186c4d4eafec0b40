#pragma once
// Express or Custom, and the "Run Auto Install" preference for next time.

#include "CWizardPropertyPage.h"
#include "VLButton.h"
#include "VLStaticText.h"

class CSetupTypePpg : public CWizardPropertyPage {
public:
    explicit CSetupTypePpg(CInstallWizard& wizard);

    // Skipped after an auto install; an upgrade also makes the run express.
    bool ShouldSkip() override;
    void Initialise() override;
    // Stores the answers: Express, Portable back to false, the preference.
    bool MayLeaveForwards() override;

    VLRadioButton& GetExpressButton() { return m_express; }
    VLRadioButton& GetCustomButton() { return m_custom; }
    VLCheckBox& GetAutoInstallCheckBox() { return m_autoInstall; }

private:
    VLStaticText m_prompt;
    VLRadioButton m_express;
    VLStaticText m_expressText;
    VLRadioButton m_custom;
    VLStaticText m_customText;
    VLCheckBox m_autoInstall;
};
