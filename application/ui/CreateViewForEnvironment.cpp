// The one place that turns a layout record's kind into a child view. The meter views
// (kinds 3, 5, 6, 7, with the kind as their mode) are added here when they exist; until
// then their lines make no view, as any unknown kind.
#include "application/ui/CBlockView.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CControlView.h"
#include "application/ui/ViewEnvironment.h"

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
    default:
        return nullptr;
    }
}
