// A modal notice that the user ends by unplugging the amplifier: timer 1 counts the present
// amplifiers every periodMs and, once none is left, ends the dialog with codeWhenGone. Only for
// notices that wait for the unplug: a dialog that reports an outcome would lose its report
// the moment the amplifier goes, when the user most needs to read it.
#pragma once

#include <cstdint>

#include "application/document/DocumentServices.h"
#include "platform/ui/core/Dialog.h"

struct DialogTemplate;

class DlgEndsWhenUnplugged : public platform::Dialog {
    Q_OBJECT

public:
    static constexpr std::uint32_t kPresenceTimer = 1;

    void OnTimer(std::uint32_t timerId) override;

protected:
    DlgEndsWhenUnplugged(const DialogTemplate& dialogTemplate, IAmplifierDirectory& amplifiers,
                         std::uint32_t periodMs, int codeWhenGone, QWidget* parent);

    // Starts the presence timer; subclasses that fill in texts call it after doing so.
    bool OnInitDialog() override;

private:
    IAmplifierDirectory& amplifiers_;
    std::uint32_t periodMs_;
    int codeWhenGone_;
};
