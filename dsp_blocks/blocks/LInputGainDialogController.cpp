// Input-gain group: placeholder blobs only.
#include "dsp_blocks/blocks/LInputGainDialogController.h"

#include <array>

#include "dsp_blocks/blocks/DiagramBlock.h"

LInputGainDialogController::LInputGainDialogController(const std::vector<DiagramBlock*>& blocks)
    : blocks_(blocks)
{
}

bool LInputGainDialogController::Load()
{
    return Commit();
}

bool LInputGainDialogController::Commit()
{
    static constexpr std::array<std::uint8_t, 1> kPlaceholder = {0};
    for (DiagramBlock* block : blocks_) {
        if (block != nullptr) {
            block->SetBlockBlobs(kPlaceholder, kPlaceholder);
        }
    }
    return true;
}

bool LInputGainDialogController::ApplyBlob(std::int32_t /*channel*/, const std::uint8_t* /*data*/,
                                           std::uint32_t /*size*/)
{
    return true;
}

IBlockPanel* LInputGainDialogController::OpenDialog(IPanelHost& parent)
{
    return OpenPanel(parent, PanelKind::InputBlank);
}

bool LInputGainDialogController::SetModel(ModelType /*model*/)
{
    return false;
}

bool LInputGainDialogController::ApplyChannelConfig(ChannelConfig /*config*/)
{
    return false;
}
