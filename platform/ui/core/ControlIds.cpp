#include "platform/ui/core/ControlIds.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QVariant>
#include <QWidget>

#include "platform/ui/core/Trackbar.h"
#include "platform/ui/core/UpDown.h"
#include "resources/templates/DialogTemplate.h"

namespace platform {
namespace {

const char* const kIdProperty = "quarryControlId";
const char* const kClassProperty = "quarryClassName";
const char* const kStyleProperty = "quarryStyle";
const char* const kExStyleProperty = "quarryExStyle";
const char* const kTextProperty = "quarryText";

bool ShowsMnemonics(const QWidget* widget)
{
    return (ControlStyle(widget) & StaticStyle::kNoPrefix) == 0;
}

}  // namespace

void SetControlIdentity(QWidget* widget, std::int32_t id, std::string_view className, std::uint32_t style,
                        std::uint32_t exStyle)
{
    SetControlId(widget, id);
    widget->setProperty(kClassProperty, QString::fromUtf8(className.data(), static_cast<qsizetype>(className.size())));
    widget->setProperty(kStyleProperty, style);
    widget->setProperty(kExStyleProperty, exStyle);
}

void SetControlId(QWidget* widget, std::int32_t id)
{
    widget->setProperty(kIdProperty, id);
}

bool HasStampedClassName(const QWidget* widget)
{
    return widget != nullptr && widget->property(kClassProperty).isValid();
}

std::int32_t ControlId(const QWidget* widget)
{
    if (widget == nullptr) {
        return 0;
    }
    const QVariant value = widget->property(kIdProperty);
    return value.isValid() ? value.toInt() : 0;
}

std::string WindowClassName(const QWidget* widget)
{
    if (widget == nullptr) {
        return {};
    }
    const QVariant value = widget->property(kClassProperty);
    if (value.isValid()) {
        return value.toString().toStdString();
    }
    std::string_view name;
    if (qobject_cast<const UpDown*>(widget) != nullptr) {
        name = ControlClass::kUpDown;
    } else if (qobject_cast<const Trackbar*>(widget) != nullptr) {
        name = ControlClass::kTrackbar;
    } else if (qobject_cast<const QProgressBar*>(widget) != nullptr) {
        name = ControlClass::kProgress;
    } else if (qobject_cast<const QAbstractButton*>(widget) != nullptr || qobject_cast<const QGroupBox*>(widget) != nullptr) {
        name = ControlClass::kButton;
    } else if (qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QPlainTextEdit*>(widget) != nullptr) {
        name = ControlClass::kEdit;
    } else if (qobject_cast<const QLabel*>(widget) != nullptr) {
        name = ControlClass::kStatic;
    } else if (qobject_cast<const QComboBox*>(widget) != nullptr) {
        name = ControlClass::kComboBox;
    } else if (qobject_cast<const QListWidget*>(widget) != nullptr) {
        name = ControlClass::kListBox;
    }
    return std::string(name);
}

std::uint32_t ControlStyle(const QWidget* widget)
{
    const QVariant value = widget != nullptr ? widget->property(kStyleProperty) : QVariant();
    return value.isValid() ? value.toUInt() : 0;
}

std::uint32_t ControlExStyle(const QWidget* widget)
{
    const QVariant value = widget != nullptr ? widget->property(kExStyleProperty) : QVariant();
    return value.isValid() ? value.toUInt() : 0;
}

std::string StripMnemonicMarks(std::string_view text)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                shown.push_back('&');
                ++i;
            }
            continue;
        }
        shown.push_back(text[i]);
    }
    return shown;
}

std::string WindowText(const QWidget* widget)
{
    if (widget == nullptr) {
        return {};
    }
    if (const QVariant raw = widget->property(kTextProperty); raw.isValid()) {
        return raw.toString().toStdString();
    }
    if (widget->isWindow()) {
        return widget->windowTitle().toStdString();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text().toStdString();
    }
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) {
        return edit->toPlainText().toStdString();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text().toStdString();
    }
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title().toStdString();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->currentText().toStdString();
    }
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text().toStdString();
    }
    return widget->windowTitle().toStdString();
}

void SetWindowText(QWidget* widget, std::string_view text)
{
    if (widget == nullptr) {
        return;
    }
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (widget->isWindow()) {
        widget->setWindowTitle(value);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        edit->setPlainText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && combo->isEditable()) {
        combo->setEditText(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        widget->setProperty(kTextProperty, value);
        label->setText(ShowsMnemonics(widget) ? QString::fromStdString(StripMnemonicMarks(text)) : value);
    } else {
        // Controls without a text of their own (placeholders, custom classes) keep it.
        widget->setProperty(kTextProperty, value);
        widget->update();
    }
}

}  // namespace platform
