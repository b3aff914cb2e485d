// A download applied to the design.
#include "application/document/DownloadedDesign.h"

#include "application/document/CCorvantEditorDoc.h"
#include "application/transfer/ReadParamStore.h"

bool ApplyReadParamStore(CCorvantEditorDoc& document, const ReadParamStore& store)
{
    for (const auto& block : document.Blocks()) {
        const ReadParamEntry* entry = FindReadParamBlock(store, static_cast<std::uint32_t>(block->type),
                                                         static_cast<std::uint32_t>(block->channel));
        if (entry != nullptr && !entry->data.empty()) {
            block->SetParamBlob(entry->data.data(), static_cast<std::uint32_t>(entry->data.size()));
        } else {
            block->SetParamBlob(nullptr, 0);
        }
    }
    bool loaded = true;
    for (const auto& controller : document.Controllers()) {
        loaded = controller->Load() && loaded;
    }
    document.SetMutePolarityNormallyOpen(store.NormallyOpen());
    return loaded;
}
