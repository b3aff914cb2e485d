// The model question of a new design (template 177): one radio per model family.
#pragma once

#include <cstdint>

#include "dsp_blocks/blocks/BlockTypes.h"
#include "platform/ui/core/Dialog.h"

class CDlgSelectModel : public platform::Dialog {
    Q_OBJECT

public:
    // Preset from the current design's model: MV340A the third radio, MV440 the second,
    // anything else the first.
    explicit CDlgSelectModel(ModelType model, QWidget* parent = nullptr);

    // After OK: the third radio MV340A, the second MV440, anything else MV220.
    ModelType GetSelectedModel() const;
    std::int32_t SelectedIndex() const { return m_selected; }

    static std::int32_t IndexOfModel(ModelType model);
    static ModelType ModelOfIndex(std::int32_t index);

    void OnOK() override;

protected:
    bool OnInitDialog() override;

private:
    std::int32_t m_selected = 0;
};

// Runs the question preset to `preset`; Unknown when it was cancelled.
ModelType AskModelForNewDesign(ModelType preset);
