#pragma once
// Button controls: push buttons, check boxes and radio buttons. A click
// (mouse, Space, Enter through the default-button rule, or BM_CLICK from
// another program) reaches the click callback.

#include <functional>

#include "VLControl.h"

class VLButton : public VLControl {
public:
    using ClickCallback = std::function<void()>;

    // A push button; `isDefault` draws it as the button Enter presses.
    [[nodiscard]] bool Create(const CreateArgs& args, bool isDefault = false);

    void SetOnClick(ClickCallback callback) { m_onClick = std::move(callback); }
    // Runs the click callback as a user click would.
    void Click();

    void OnCommand(WORD notifyCode) override;

protected:
    ClickCallback m_onClick;
};

class VLCheckBox : public VLButton {
public:
    [[nodiscard]] bool Create(const CreateArgs& args);
    bool IsChecked() const;
    void SetChecked(bool checked);
};

class VLRadioButton : public VLButton {
public:
    // `firstOfGroup` starts a new group; the buttons that follow (until the
    // next group start) exclude each other.
    [[nodiscard]] bool Create(const CreateArgs& args, bool firstOfGroup);
    bool IsChecked() const;
    void SetChecked(bool checked);
};
