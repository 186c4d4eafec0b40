#pragma once
// A wizard: header band, page area and the Back / Next / Cancel row, with
// the navigation rules in one place (GoToPage). Pages come from the page
// list in order; each decides through its operations whether it is shown,
// whether it may be left and what the buttons say.

#include <memory>
#include <vector>

#include "VLButton.h"
#include "VLDialogHeaderCtrl.h"
#include "VLHighResTimer.h"
#include "VLPopupBottomButtonsWnd.h"
#include "VLPopupWnd.h"
#include "VLStaticText.h"
#include "VLWizardPageWnd.h"

struct VLWizardPageInfo {
    VLWizardPageWnd* page = nullptr;
    bool ownsPage = false;
};

class VLWizardPopupWnd : public VLPopupWnd {
public:
    // WM_COMMAND codes (LOWORD of wParam) that move the wizard from outside;
    // the end command takes its result in lParam.
    static constexpr WORD kCommandEnd = 34970;
    static constexpr WORD kCommandBack = 34973;
    static constexpr WORD kCommandNext = 34974;

    // Back and Next clicks closer than this to the last page change are
    // ignored, so a double click moves one page only.
    static constexpr double kClickGuardMilliseconds = 300.0;

    // Control ids; none is IDOK or IDCANCEL, so Escape and Enter reach the
    // frame's own handling.
    enum : UINT { kIdHeader = 1100, kIdButtonRow, kIdBack, kIdNext, kIdCancel };

    VLWizardPopupWnd() = default;
    ~VLWizardPopupWnd() override;

    // Creates the frame (hidden; RunModal shows it) and shows page 0.
    [[nodiscard]] bool CreateWizard(HWND owner);

    void AppendPage(VLWizardPageWnd* page, bool ownsPage = false);
    // Navigation: see the implementation for the rules. Returns whether a
    // page was shown or the wizard finished.
    bool GoToPage(int target, bool focus);
    void Back();
    void Next();
    virtual void Finish();
    virtual void Cancel();
    virtual void BackClicked();
    virtual void NextClicked();
    virtual void CancelClicked();
    virtual SIZE GetPreferredSize();
    // Page area in layout units.
    virtual SIZE GetDefaultPageAreaSize() { return SIZE{500, 300}; }

    // Re-reads the current page's texts and states into the frame.
    void UpdateChrome();

    VLWizardPageWnd* GetCurrentPage() const;
    VLWizardPageWnd* GetPageAt(int index) const;
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    int GetCurrentIndex() const { return m_currentIndex; }
    int IndexOfPage(const VLWizardPageWnd* page) const;

    // Texts the frame and its default page operations show; the default
    // returns them unchanged.
    virtual VLString Translate(const VLString& text) { return text; }

    // The page area in client pixels.
    RECT GetPageAreaRect() const;

    VLButton& GetBackButton() { return m_back; }
    VLButton& GetNextButton() { return m_next; }
    VLButton& GetCancelButton() { return m_cancel; }
    VLDialogHeaderCtrl& GetHeader() { return m_header; }
    // Milliseconds since a page was last asked or shown.
    double GetMillisecondsSincePageChange() const { return m_pageTimer.GetElapsedMilliseconds(); }

protected:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnCreate() override;
    UINT GetDefaultButtonId() const override { return kIdNext; }

    std::vector<VLWizardPageInfo> m_pages;
    int m_currentIndex = -1;
    VLDialogHeaderCtrl m_header;
    VLButton m_back;
    VLButton m_next;
    VLButton m_cancel;
    VLPopupBottomButtonsWnd m_buttonRow;
    VLString m_windowTitle;
    VLString m_headerTitle;
    VLString m_headerDescription;
    VLHighResTimer m_pageTimer;

private:
    static constexpr int kHeaderHeightUnits = 60;
    static constexpr int kMarginUnits = 8;
};
