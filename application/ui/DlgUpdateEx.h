// The notice that the connected amplifier needs firmware of at least the editor's minimum
// version (template 349). OK asks for the update; every 250 ms it looks whether an
// amplifier is still present and ends with Cancel when none is, so unplugging the amplifier
// is the way to decline.
#pragma once

#include <cstdint>

#include "application/ui/DlgEndsWhenUnplugged.h"

class DlgUpdateEx : public DlgEndsWhenUnplugged {
    Q_OBJECT

public:
    static constexpr std::uint32_t kPresenceMs = 250;

    explicit DlgUpdateEx(IAmplifierDirectory& amplifiers, QWidget* parent = nullptr);

protected:
    bool OnInitDialog() override;
};
