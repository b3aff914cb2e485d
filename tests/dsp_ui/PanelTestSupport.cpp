#include "tests/dsp_ui/PanelTestSupport.h"

#include <QCoreApplication>
#include <QEvent>

#include "dsp_blocks/ui/PanelFactory.h"

TestPanelSite::TestPanelSite()
{
    host_.resize(900, 400);
}

TestPanelSite::~TestPanelSite() = default;

IBlockPanel* TestPanelSite::CreatePanel(PanelKind kind, CController& controller)
{
    return CreateBlockPanel(kind, controller, *this);
}

void RunDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

ChannelConfig ModeChange(std::uint32_t mode)
{
    ChannelConfig config;
    config.kind = 2;
    config.channelCount = 4;
    for (ChannelConfigEntry& entry : config.channels) {
        entry.mode = mode;
    }
    config.changedMask = 0xF;
    return config;
}
