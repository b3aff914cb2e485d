// The lock notice (template 351): a modeless window the user cannot close, shown while the
// amplifier cannot take edits (its CONFIG switch, a store of the configuration). The frame
// shows it after a delay (timer 1) or at once, and hides it.
#pragma once

#include <cstdint>

#include "platform/ui/core/Dialog.h"

class DlgLockApp : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr std::uint32_t kDelayTimer = 1;

    explicit DlgLockApp(QWidget* owner);

    // The string-table text into the message static.
    void SetMessage(std::uint32_t stringId);
    // Shows the notice without taking the focus.
    void ShowWithoutActivating();
    // Centres the notice over its owner (over the screen without one).
    void CentreOverOwner();

    void OnOK() override;
    void OnCancel() override;
    void OnTimer(std::uint32_t timerId) override;

protected:
    bool OnInitDialog() override;
    void closeEvent(QCloseEvent* event) override;
};
