// The one place that turns a layout record's kind into a child view: the block view, the
// control view, and the meter views (kinds 3, 5, 6, 7, with the kind as their mode). Any
// other kind makes no view.
#include "application/ui/CBlockView.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CControlView.h"
#include "application/ui/ViewEnvironment.h"
#include "application/ui/meters/CMeterView.h"

CEnvironmentView* CreateViewForEnvironment(std::unique_ptr<ViewEnvironment> environment, CCorvantEditorView& host)
{
    if (!environment) {
        return nullptr;
    }
    switch (environment->kind) {
    case ViewKind::kBlocks:
        return new CBlockView(host, std::move(environment));
    case ViewKind::kControls:
        return new CControlView(host, std::move(environment));
    case ViewKind::kMetersAll:
    case ViewKind::kMetersInputs:
    case ViewKind::kMetersOutputs:
    case ViewKind::kMetersProtection:
        return new CMeterView(host, std::move(environment));
    default:
        return nullptr;
    }
}
