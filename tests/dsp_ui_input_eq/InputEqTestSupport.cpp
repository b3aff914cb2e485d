#include "tests/dsp_ui_input_eq/InputEqTestSupport.h"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

#include "application/settings/AppSettings.h"
#include "dsp_blocks/ui/LInputEQ.h"
#include "dsp_blocks/ui/PanelFactory.h"
#include "dsp_blocks/ui/VParametricFreqGraphView.h"
#include "platform/messages/ProgramMessages.h"
#include "tests/support/PumpEvents.h"

namespace {

const DialogTemplate kRecorderTemplate{1, "", 0, 0, 300, 200, WindowStyle::kChild, 0, "MS Shell Dlg", 8, {}};

}  // namespace

std::uint32_t SettingsPanelSite::GetInputEqMode(std::size_t channel)
{
    return GetAppSettings().inputEqMode.at(channel);
}

void SettingsPanelSite::SetInputEqMode(std::size_t channel, std::uint32_t mode)
{
    GetAppSettings().inputEqMode.at(channel) = mode;
}

bool SettingsPanelSite::GetInputEqWidthIsQ()
{
    return GetAppSettings().inputEqWidthIsQ != 0;
}

void SettingsPanelSite::SetInputEqWidthIsQ(bool isQ)
{
    GetAppSettings().inputEqWidthIsQ = isQ ? 1 : 0;
}

IBlockPanel* SettingsPanelSite::CreatePanel(PanelKind kind, CController& controller)
{
    return CreateBlockPanel(kind, controller, *this);
}

InputEqBlock::InputEqBlock(std::int32_t channel) : controller(block)
{
    block.type = BlockType::InputEQ;
    block.channel = channel;
    controller.Load();
}

LInputEQ* InputEqBlock::Open(SettingsPanelSite& site)
{
    return dynamic_cast<LInputEQ*>(controller.OpenDialog(site));
}

std::vector<std::uint8_t> InputEqBlock::ParamBytes() const
{
    const std::uint8_t* data = nullptr;
    const std::uint32_t size = block.GetParamBlob(data);
    return std::vector<std::uint8_t>(data, data + size);
}

LInputEQController::Params InputEqBlock::StoredParams() const
{
    DiagramBlock copy;
    const std::vector<std::uint8_t> bytes = ParamBytes();
    copy.SetParamBlob(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    LInputEQController reader(copy);
    EXPECT_TRUE(reader.Load()) << "the block's parameter blob does not load";
    LInputEQController::Params params;
    params.eqMode = reader.GetEqMode();
    params.widthIsQ = reader.GetWidthIsQ();
    const EqBand* bands = nullptr;
    reader.GetBands(bands);
    std::copy(bands, bands + LInputEQController::kBandCount, params.bands.begin());
    return params;
}

NoticeRecorder::NoticeRecorder() : platform::Dialog(kRecorderTemplate, platform::Dialog::Kind::Child, nullptr)
{
    Create();
}

std::intptr_t NoticeRecorder::OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message == platform::MsgNotifyChanged()) {
        changes.push_back(Change{wParam, lParam});
    } else if (message == platform::MsgNotifyDragging()) {
        Notice notice{wParam, -1};
        if (auto* view = findChild<VParametricFreqGraphView*>(QString(), Qt::FindDirectChildrenOnly)) {
            float frequency = 0.0f;
            float gain = 0.0f;
            float q = 0.0f;
            notice.draggedBand = view->GetDragInfo(frequency, gain, q);
        }
        notices.push_back(notice);
    }
    return 0;
}

void DeliverMessages()
{
    test_support::DeliverAllPostedMessages();
}

void RunDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
