#include "tests/dsp_ui_panels2/PanelHost.h"

#include <QCoreApplication>
#include <QEvent>

#include "dsp_blocks/ui/PanelFactory.h"
#include "tests/support/PumpEvents.h"

PanelHost::PanelHost()
{
    window_.resize(1000, 500);
}

PanelHost::~PanelHost() = default;

IBlockPanel* PanelHost::CreatePanel(PanelKind kind, CController& controller)
{
    return CreateBlockPanel(kind, controller, *this);
}

void DeliverMessages()
{
    test_support::DeliverAllPostedMessages();
    QCoreApplication::sendPostedEvents();
}

void RunDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
