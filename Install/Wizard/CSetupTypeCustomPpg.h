#pragma once
// Normal or portable install; offered only for products with feature 173.

#include "CWizardPropertyPage.h"
#include "VLButton.h"
#include "VLStaticText.h"

class CSetupTypeCustomPpg : public CWizardPropertyPage {
public:
    explicit CSetupTypeCustomPpg(CInstallWizard& wizard);

    bool ShouldSkip() override;
    void Initialise() override;
    bool MayLeaveForwards() override;

    VLRadioButton& GetNormalButton() { return m_normal; }
    VLRadioButton& GetPortableButton() { return m_portable; }

private:
    VLStaticText m_prompt;
    VLRadioButton m_normal;
    VLStaticText m_normalText;
    VLRadioButton m_portable;
    VLStaticText m_portableText;
};
