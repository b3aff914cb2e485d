// The device manager's count of present amplifiers, with a reference to the first of them
// held for the caller's scope. Flows and dialogs act on an amplifier only when exactly one
// is present.
#pragma once

#include <cstdint>

#include "application/document/AmplifierRef.h"
#include "application/document/DocumentServices.h"

struct PresentAmplifiers {
    std::uint32_t count = 0;
    AmplifierRef first;  // empty when count is 0

    // The one present amplifier; empty when there is none or there are several.
    AmplifierRef Single() const { return count == 1 ? first : AmplifierRef(); }
    // True when exactly one amplifier is present and it is `amplifier`.
    bool IsOnly(const CobaltDeviceManager::ICobaltAmplifier* amplifier) const
    {
        return count == 1 && first.Get() == amplifier;
    }
};

inline PresentAmplifiers CountPresentAmplifiers(IAmplifierDirectory& amplifiers)
{
    CobaltDeviceManager::ICobaltAmplifier* first = nullptr;
    PresentAmplifiers present;
    present.count = amplifiers.ForFirstActiveAmplifier(&first);
    present.first = AmplifierRef::Adopt(present.count > 0 ? first : nullptr);
    return present;
}
