// The shortcuts of the main window: the file commands and the block clipboard keys, which
// keep working while a panel's edit field has the focus.
#include "resources/commands/MainAccelerators.h"

#include "resources/commands/CommandIds.h"

namespace {

constexpr AcceleratorEntry kEntries[] = {
    {"Ctrl+N", CommandId::kFileNew},
    {"Ctrl+O", CommandId::kFileOpen},
    {"Ctrl+S", CommandId::kFileSave},
    {"Ctrl+C", CommandId::kCopyBlock},
    {"Ctrl+Ins", CommandId::kCopyBlock},
    {"Ctrl+V", CommandId::kPasteBlock},
    {"Shift+Ins", CommandId::kPasteBlock},
};

}  // namespace

std::span<const AcceleratorEntry> MainAccelerators()
{
    return kEntries;
}
