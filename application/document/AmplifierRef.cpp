// The process-wide current amplifier.
#include "application/document/AmplifierRef.h"

namespace {

AmplifierRef& Slot()
{
    static AmplifierRef current;
    return current;
}

}  // namespace

AmplifierRef CurrentAmplifier::Get()
{
    return Slot();
}

void CurrentAmplifier::Set(CobaltDeviceManager::ICobaltAmplifier* amplifier)
{
    // Take the new reference before dropping the old one, so setting the same object twice
    // never lets its count reach zero in between.
    AmplifierRef replacement(amplifier);
    Slot() = std::move(replacement);
}
