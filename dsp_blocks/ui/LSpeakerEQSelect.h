// One row of the speaker-EQ panel: the list of every speaker preset of the speaker-EQ
// library, with the row's preset selected. Choosing another preset tells the panel with
// "__Ovt_NotifyChanged__" (row index, 0).
#pragma once

#include <cstdint>
#include <string>

#include "dsp_blocks/ui/DControl.h"

class QComboBox;

class LSpeakerEQSelect final : public DControl {
    Q_OBJECT

public:
    LSpeakerEQSelect(std::uint32_t index, std::u16string presetName);
    ~LSpeakerEQSelect() override;

    // Builds the row as a child of panel; false when that failed.
    bool Create(QWidget* panel);

    // Stores the name (null: empty) and selects it in the list.
    void SetSelection(const char16_t* name);

    std::uint32_t Index() const { return index_; }
    const std::u16string& PresetName() const { return name_; }
    // The list item selected, -1 for none.
    int SelectedItem() const;

    // The item for name: the first whose text equals it ignoring case, else the first whose
    // text begins with it ignoring case; -1 for none and for an empty name.
    static int FindPresetItem(const QComboBox& list, const std::u16string& name);

    void OnComboSelChange(std::int32_t id) override;

protected:
    bool OnInitDialog() override;

private:
    void SelectName();

    std::uint32_t index_;
    std::u16string name_;
};
