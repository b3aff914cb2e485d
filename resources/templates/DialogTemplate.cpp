// Look-ups in a dialog template.
#include "resources/templates/DialogTemplate.h"

const DialogControl* FindTemplateControl(const DialogTemplate& dialog, std::int32_t id)
{
    const int index = TemplateControlIndex(dialog, id);
    return index < 0 ? nullptr : &dialog.controls[static_cast<std::size_t>(index)];
}

int TemplateControlIndex(const DialogTemplate& dialog, std::int32_t id)
{
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        if (dialog.controls[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
