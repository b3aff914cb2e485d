#include "dsp_blocks/ui/LSpeakerEQSelect.h"

#include <QComboBox>
#include <QString>

#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "platform/messages/ProgramMessages.h"
#include "resources/templates/SpeakerEqRowTemplate.h"

LSpeakerEQSelect::LSpeakerEQSelect(std::uint32_t index, std::u16string presetName)
    : DControl(kSpeakerEqRowTemplate, nullptr), index_(index), name_(std::move(presetName))
{
}

LSpeakerEQSelect::~LSpeakerEQSelect() = default;

bool LSpeakerEQSelect::Create(QWidget* panel)
{
    setParent(panel, Qt::Widget);
    hide();
    return platform::Dialog::Create();
}

bool LSpeakerEQSelect::OnInitDialog()
{
    DControl::OnInitDialog();
    if (auto* list = ItemAs<QComboBox>(SpeakerEqRowIds::kPresets)) {
        for (const speaker_eq::SpeakerEqPreset& preset : SpeakerEqPresets()) {
            list->addItem(QString::fromStdU16String(preset.name));
        }
    }
    SelectName();
    if (QWidget* bypass = Item(SpeakerEqRowIds::kBypass)) {
        bypass->hide();
        resize(bypass->x(), height());
    }
    return true;
}

int LSpeakerEQSelect::FindPresetItem(const QComboBox& list, const std::u16string& name)
{
    if (name.empty()) {
        return -1;
    }
    const QString wanted = QString::fromStdU16String(name);
    for (int i = 0; i < list.count(); ++i) {
        if (list.itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    for (int i = 0; i < list.count(); ++i) {
        if (list.itemText(i).startsWith(wanted, Qt::CaseInsensitive)) {
            return i;
        }
    }
    return -1;
}

void LSpeakerEQSelect::SelectName()
{
    if (auto* list = ItemAs<QComboBox>(SpeakerEqRowIds::kPresets)) {
        list->setCurrentIndex(FindPresetItem(*list, name_));
    }
}

void LSpeakerEQSelect::SetSelection(const char16_t* name)
{
    name_ = name != nullptr ? std::u16string(name) : std::u16string();
    SelectName();
}

int LSpeakerEQSelect::SelectedItem() const
{
    const auto* list = ItemAs<QComboBox>(SpeakerEqRowIds::kPresets);
    return list != nullptr ? list->currentIndex() : -1;
}

void LSpeakerEQSelect::OnComboSelChange(std::int32_t id)
{
    const auto* list = ItemAs<QComboBox>(SpeakerEqRowIds::kPresets);
    if (id != SpeakerEqRowIds::kPresets || list == nullptr || list->currentIndex() < 0 || IsClosing()) {
        return;
    }
    const std::u16string old = name_;
    name_ = list->currentText().toStdU16String();
    if (name_ == old) {
        return;
    }
    if (auto* panel = qobject_cast<platform::Dialog*>(parentWidget())) {
        panel->Messages().Post(platform::MsgNotifyChanged(), index_, 0);
    }
}
