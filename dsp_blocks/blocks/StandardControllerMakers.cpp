// Makers of the controllers whose kinds the factory leaves to others.
#include "dsp_blocks/blocks/StandardControllerMakers.h"

#include <memory>
#include <utility>
#include <vector>

#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"

namespace {

std::unique_ptr<CController> MakeStdMixer(DiagramBlock& block)
{
    return std::make_unique<CStdMixerController>(block);
}

std::unique_ptr<CController> MakeLimiter(DiagramBlock& block, LLimiterController*& limiter)
{
    auto controller = std::make_unique<LLimiterController>(block);
    limiter = controller.get();
    return controller;
}

std::unique_ptr<CController> MakeSpeakerEq(std::vector<SpeakerEqChannel> channels)
{
    return std::make_unique<LSpeakerEQDialogController>(std::move(channels));
}

}  // namespace

ControllerMakers StandardControllerMakers()
{
    return ControllerMakers{MakeStdMixer, MakeLimiter, MakeSpeakerEq};
}

void RegisterStandardControllerMakers()
{
    RegisteredControllerMakers() = StandardControllerMakers();
}
