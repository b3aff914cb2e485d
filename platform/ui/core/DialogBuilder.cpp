#include "platform/ui/core/DialogBuilder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/OwnerDrawButton.h"
#include "platform/ui/core/PlaceholderControl.h"
#include "platform/ui/core/Trackbar.h"
#include "platform/ui/core/UpDown.h"
#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/SystemColors.h"

namespace platform {
namespace {

void NotifyCommand(QWidget* control)
{
    if (IControlNotify* target = NotifyTargetOf(control)) {
        target->OnCommand(ControlId(control));
    }
}

void NotifyEditChanged(QWidget* control)
{
    if (IControlNotify* target = NotifyTargetOf(control)) {
        target->OnEditChanged(ControlId(control));
    }
}

// Check boxes and radio buttons without the auto style: a click is reported, the check
// state is left to the owner.
class ManualCheckBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

class ManualRadioButton final : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override {}
};

// A static with the notify style reports a click like a button.
class NotifyingLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            NotifyCommand(this);
        }
        QLabel::mouseReleaseEvent(event);
    }
};

// A list box reports selection changes the user makes, not those made by code.
class NotifyingList final : public QListWidget {
public:
    explicit NotifyingList(QWidget* parent) : QListWidget(parent)
    {
        connect(this, &QListWidget::currentRowChanged, this, [this] {
            if (m_userInput > 0 && (ControlStyle(this) & ListStyle::kNotify) != 0) {
                if (IControlNotify* target = NotifyTargetOf(this)) {
                    target->OnListSelChange(ControlId(this));
                }
            }
        });
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { AsUser([&] { QListWidget::mousePressEvent(event); }); }
    void mouseMoveEvent(QMouseEvent* event) override { AsUser([&] { QListWidget::mouseMoveEvent(event); }); }
    void keyPressEvent(QKeyEvent* event) override { AsUser([&] { QListWidget::keyPressEvent(event); }); }

private:
    template <typename Function>
    void AsUser(Function&& handle)
    {
        ++m_userInput;
        handle();
        --m_userInput;
    }

    int m_userInput = 0;
};

// Reports an edit's loss of focus (not the brief one a popping-up menu causes).
class FocusOutWatcher final : public QObject {
public:
    explicit FocusOutWatcher(QWidget* control) : QObject(control), m_control(control) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_control && event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            if (IControlNotify* target = NotifyTargetOf(m_control)) {
                target->OnEditKillFocus(ControlId(m_control));
            }
        }
        return false;
    }

private:
    QWidget* m_control;
};

Qt::Alignment HorizontalAlignment(std::uint32_t style)
{
    switch (style & 0x3) {
    case 1:
        return Qt::AlignHCenter;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

bool HasBorder(const DialogControl& control)
{
    return (control.style & WindowStyle::kBorder) != 0 || (control.exStyle & ExStyle::kClientEdge) != 0;
}

// The frame a bordered control draws, as wide as the system's borders: client edge 2
// (sunken), static edge 1 (sunken), border 1 (plain).
void ApplyFrame(QFrame* frame, const DialogControl& control)
{
    if ((control.exStyle & ExStyle::kClientEdge) != 0) {
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(2);
    } else if ((control.exStyle & ExStyle::kStaticEdge) != 0 ||
               (control.className == ControlClass::kStatic && (control.style & StaticStyle::kSunken) != 0)) {
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        frame->setLineWidth(1);
    } else if ((control.style & WindowStyle::kBorder) != 0) {
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        frame->setLineWidth(1);
    } else {
        frame->setFrameStyle(QFrame::NoFrame);
    }
}

QWidget* MakeButton(const DialogControl& control, QWidget* parent)
{
    switch (control.style & ButtonStyle::kTypeMask) {
    case ButtonStyle::kCheckBox:
    case ButtonStyle::kAutoCheckBox:
    case ButtonStyle::k3State:
    case ButtonStyle::kAuto3State: {
        const std::uint32_t type = control.style & ButtonStyle::kTypeMask;
        const bool automatic = type == ButtonStyle::kAutoCheckBox || type == ButtonStyle::kAuto3State;
        QCheckBox* box = automatic ? new QCheckBox(parent) : new ManualCheckBox(parent);
        box->setTristate(type == ButtonStyle::k3State || type == ButtonStyle::kAuto3State);
        if ((control.style & ButtonStyle::kLeftText) != 0) {
            box->setLayoutDirection(Qt::RightToLeft);
        }
        return box;
    }
    case ButtonStyle::kRadioButton:
    case ButtonStyle::kAutoRadioButton: {
        QRadioButton* radio = (control.style & ButtonStyle::kTypeMask) == ButtonStyle::kAutoRadioButton
                                  ? new QRadioButton(parent)
                                  : new ManualRadioButton(parent);
        // Groups are made from the template's group marks, not from sharing a parent.
        radio->setAutoExclusive(false);
        if ((control.style & ButtonStyle::kLeftText) != 0) {
            radio->setLayoutDirection(Qt::RightToLeft);
        }
        return radio;
    }
    case ButtonStyle::kGroupBox: {
        auto* group = new QGroupBox(parent);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        group->setFocusPolicy(Qt::NoFocus);
        return group;
    }
    case ButtonStyle::kOwnerDraw:
        return new OwnerDrawButton(parent);
    default: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        button->setDefault((control.style & ButtonStyle::kTypeMask) == ButtonStyle::kDefPushButton);
        return button;
    }
    }
}

QWidget* MakeEdit(const DialogControl& control, QWidget* parent)
{
    const bool readOnly = (control.style & EditStyle::kReadOnly) != 0;
    if ((control.style & EditStyle::kMultiLine) != 0) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setReadOnly(readOnly);
        ApplyFrame(edit, control);
        edit->setVerticalScrollBarPolicy((control.style & WindowStyle::kVScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                                      : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    edit->setAlignment(HorizontalAlignment(control.style) | Qt::AlignVCenter);
    edit->setReadOnly(readOnly);
    edit->setFrame(HasBorder(control));
    if (readOnly) {
        // Read-only edits show the dialog's face colour, as the system drew them.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, ToQColor(SysColor::kButtonFace));
        edit->setPalette(palette);
    }
    if ((control.style & EditStyle::kNumber) != 0) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QWidget* MakeStatic(const DialogControl& control, QWidget* parent)
{
    const std::uint32_t type = control.style & StaticStyle::kTypeMask;
    switch (type) {
    case StaticStyle::kOwnerDraw:
        return new OwnerDrawStatic(parent);
    case StaticStyle::kBlackFrame:
    case StaticStyle::kGrayFrame:
    case StaticStyle::kWhiteFrame:
    case StaticStyle::kEtchedFrame: {
        auto* frame = new QFrame(parent);
        if (type == StaticStyle::kEtchedFrame) {
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        } else {
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            QPalette palette = frame->palette();
            const ColorRef colour = type == StaticStyle::kBlackFrame ? SysColor::k3dDarkShadow
                                    : type == StaticStyle::kGrayFrame ? SysColor::kButtonShadow
                                                                       : SysColor::kButtonHighlight;
            palette.setColor(QPalette::WindowText, ToQColor(colour));
            frame->setPalette(palette);
        }
        frame->setLineWidth(1);
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        return frame;
    }
    case StaticStyle::kBlackRect:
    case StaticStyle::kGrayRect:
    case StaticStyle::kWhiteRect: {
        auto* frame = new QFrame(parent);
        frame->setAutoFillBackground(true);
        QPalette palette = frame->palette();
        const ColorRef colour = type == StaticStyle::kBlackRect ? SysColor::k3dDarkShadow
                                : type == StaticStyle::kGrayRect ? SysColor::kButtonShadow
                                                                  : SysColor::kButtonHighlight;
        palette.setColor(QPalette::Window, ToQColor(colour));
        frame->setPalette(palette);
        return frame;
    }
    default:
        break;
    }
    QLabel* label = (control.style & StaticStyle::kNotify) != 0 ? new NotifyingLabel(parent) : new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    ApplyFrame(label, control);
    const bool picture = type == StaticStyle::kIcon || type == StaticStyle::kBitmap;
    Qt::Alignment vertical = (control.style & StaticStyle::kCenterImage) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    label->setAlignment((picture ? Qt::AlignLeft : HorizontalAlignment(control.style)) | vertical);
    label->setWordWrap(!picture && type != StaticStyle::kLeftNoWordWrap);
    return label;
}

QWidget* MakeCombo(const DialogControl& control, QWidget* parent, int listHeight)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable((control.style & ComboStyle::kTypeMask) != ComboStyle::kDropDownList);
    for (std::string_view item : control.items) {
        combo->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    }
    if ((control.style & ComboStyle::kSort) != 0) {
        combo->model()->sort(0);
    }
    combo->setCurrentIndex(-1);
    const int itemHeight = std::max(1, QFontMetrics(parent->font()).height());
    combo->setMaxVisibleItems(std::max(1, listHeight / itemHeight));
    return combo;
}

QWidget* MakeList(const DialogControl& control, QWidget* parent)
{
    auto* list = new NotifyingList(parent);
    for (std::string_view item : control.items) {
        list->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
    }
    list->setSortingEnabled((control.style & ListStyle::kSort) != 0);
    ApplyFrame(list, control);
    list->setVerticalScrollBarPolicy((control.style & WindowStyle::kVScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                                  : Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy((control.style & WindowStyle::kHScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                                    : Qt::ScrollBarAlwaysOff);
    return list;
}

QWidget* MakeWidget(const DialogControl& control, QWidget* parent, const QRect& area)
{
    if (control.className == ControlClass::kButton) {
        return MakeButton(control, parent);
    }
    if (control.className == ControlClass::kEdit) {
        return MakeEdit(control, parent);
    }
    if (control.className == ControlClass::kStatic) {
        return MakeStatic(control, parent);
    }
    if (control.className == ControlClass::kComboBox) {
        return MakeCombo(control, parent, area.height());
    }
    if (control.className == ControlClass::kListBox) {
        return MakeList(control, parent);
    }
    if (control.className == ControlClass::kUpDown) {
        return new UpDown(parent, control.style);
    }
    if (control.className == ControlClass::kTrackbar) {
        return new Trackbar(parent, control.style);
    }
    if (control.className == ControlClass::kProgress) {
        auto* progress = new QProgressBar(parent);
        progress->setRange(0, 100);
        progress->setValue(0);
        progress->setTextVisible(false);
        return progress;
    }
    return new PlaceholderControl(parent);
}

bool TakesText(const QWidget* widget)
{
    return qobject_cast<const QAbstractButton*>(widget) != nullptr || qobject_cast<const QGroupBox*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QLabel*>(widget) != nullptr || qobject_cast<const PlaceholderControl*>(widget) != nullptr;
}

}  // namespace

QWidget* BuildTemplateControl(const DialogControl& control, QWidget* parent, const DialogBaseUnits& units)
{
    QRect area = DluRectToPixels(control.x, control.y, control.cx, control.cy, units);
    QWidget* widget = MakeWidget(control, parent, area);
    SetControlIdentity(widget, control.id, control.className, control.style, control.exStyle);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // The template's height is that of the dropped-down list; the box is as high as its font needs.
        area.setHeight(combo->sizeHint().height());
    }
    widget->setGeometry(area);
    if (TakesText(widget) && !control.text.empty()) {
        SetWindowText(widget, control.text);
    }
    const bool focusable = qobject_cast<QAbstractButton*>(widget) != nullptr || qobject_cast<QLineEdit*>(widget) != nullptr ||
                           qobject_cast<QPlainTextEdit*>(widget) != nullptr || qobject_cast<QComboBox*>(widget) != nullptr ||
                           qobject_cast<QListWidget*>(widget) != nullptr || qobject_cast<Trackbar*>(widget) != nullptr;
    if (focusable) {
        widget->setFocusPolicy((control.style & WindowStyle::kTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
    } else {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    if ((control.style & WindowStyle::kVisible) == 0) {
        widget->hide();
    }
    widget->setEnabled((control.style & WindowStyle::kDisabled) == 0);
    WireControlNotices(widget);
    return widget;
}

std::vector<QWidget*> BuildTemplateControls(const DialogTemplate& dialog, QWidget* parent, const DialogBaseUnits& units)
{
    std::vector<QWidget*> built;
    built.reserve(dialog.controls.size());
    QButtonGroup* radios = nullptr;
    for (const DialogControl& control : dialog.controls) {
        QWidget* widget = BuildTemplateControl(control, parent, units);
        if ((control.style & WindowStyle::kGroup) != 0) {
            radios = nullptr;
        }
        const bool autoRadio = control.className == ControlClass::kButton &&
                               (control.style & ButtonStyle::kTypeMask) == ButtonStyle::kAutoRadioButton;
        if (autoRadio) {
            if (radios == nullptr) {
                radios = new QButtonGroup(parent);
                radios->setExclusive(true);
            }
            radios->addButton(static_cast<QAbstractButton*>(widget));
        }
        if (auto* spin = qobject_cast<UpDown*>(widget);
            spin != nullptr && (control.style & UpDownStyle::kAutoBuddy) != 0 && !built.empty()) {
            spin->SetBuddy(built.back());
        }
        built.push_back(widget);
    }
    return built;
}

void WireControlNotices(QWidget* widget)
{
    const char* const wired = "quarryNoticesWired";
    if (qobject_cast<OwnerDrawButton*>(widget) != nullptr || widget->property(wired).isValid()) {
        return;  // reports its own clicks, or is wired already
    }
    widget->setProperty(wired, true);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QObject::connect(button, &QAbstractButton::clicked, button, [button] { NotifyCommand(button); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] { NotifyEditChanged(edit); });
        edit->installEventFilter(new FocusOutWatcher(edit));
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
        QObject::connect(text, &QPlainTextEdit::textChanged, text, [text] { NotifyEditChanged(text); });
        text->installEventFilter(new FocusOutWatcher(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(combo, &QComboBox::activated, combo, [combo] {
            if (IControlNotify* target = NotifyTargetOf(combo)) {
                target->OnComboSelChange(ControlId(combo));
            }
        });
    }
}

}  // namespace platform
