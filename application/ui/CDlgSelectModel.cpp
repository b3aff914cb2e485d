// The model question.
#include "application/ui/CDlgSelectModel.h"

#include "resources/templates/SelectModelTemplate.h"

namespace {

constexpr std::int32_t kRadios[] = {SelectModelIds::kMV220, SelectModelIds::kMV440, SelectModelIds::kMV340A};

}  // namespace

CDlgSelectModel::CDlgSelectModel(ModelType model, QWidget* parent)
    : platform::Dialog(kSelectModelTemplate, Kind::Modal, parent), m_selected(IndexOfModel(model))
{
}

std::int32_t CDlgSelectModel::IndexOfModel(ModelType model)
{
    return model == ModelType::MV340A ? 2 : model == ModelType::MV440 ? 1 : 0;
}

ModelType CDlgSelectModel::ModelOfIndex(std::int32_t index)
{
    return index == 2 ? ModelType::MV340A : index == 1 ? ModelType::MV440 : ModelType::MV220;
}

ModelType CDlgSelectModel::GetSelectedModel() const
{
    return ModelOfIndex(m_selected);
}

bool CDlgSelectModel::OnInitDialog()
{
    CheckRadio(kRadios[0], kRadios[2], kRadios[m_selected]);
    return true;
}

void CDlgSelectModel::OnOK()
{
    for (std::int32_t i = 0; i < 3; ++i) {
        if (ItemCheckState(kRadios[i]) == 1) {
            m_selected = i;
        }
    }
    platform::Dialog::OnOK();
}

ModelType AskModelForNewDesign(ModelType preset)
{
    CDlgSelectModel dialog(preset);
    return dialog.DoModal() == DialogId::kOk ? dialog.GetSelectedModel() : ModelType::Unknown;
}
