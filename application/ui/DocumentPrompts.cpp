// The document's prompts on the UI layer.
#include "application/ui/DocumentPrompts.h"

#include "application/ui/CDlgSelectModel.h"
#include "platform/ui/core/MessageBox.h"

MessageAnswer DocumentPrompts::ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons)
{
    return platform::MessageBoxId(stringId, icon, buttons);
}

MessageAnswer DocumentPrompts::ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons)
{
    return platform::MessageBoxText(text, icon, buttons);
}

ModelType DocumentPrompts::ChooseModel(ModelType preset)
{
    return AskModelForNewDesign(preset);
}
