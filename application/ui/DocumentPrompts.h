// The document's messages and questions as the editor's windows show them: message boxes
// titled with the program's name, and the model question of a new design.
#pragma once

#include "application/document/DocumentServices.h"

class DocumentPrompts final : public IDocumentPrompts {
public:
    MessageAnswer ShowMessage(std::uint32_t stringId, MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    ModelType ChooseModel(ModelType preset) override;
};
