// The base of every block panel and of the rows that panels embed: a child dialog from a
// template with the panels' look (a vertical gradient with transparent static texts and
// check boxes) and keyboard (Enter and Escape never close it; the main window's shortcuts
// keep working while it has the focus). Its title goes into control 1031, not into the
// dialog's caption. DestroyWindow ends it safely from anywhere, its own handlers included.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dsp_blocks/ui/PanelBackground.h"
#include "platform/ui/core/Dialog.h"

class DControl : public platform::Dialog {
    Q_OBJECT

public:
    // Each template's title static.
    static constexpr std::int32_t kTitleId = 1031;
    static constexpr platform::ColorRef kTopColour = kPanelTopColour;
    static constexpr platform::ColorRef kBottomColour = kPanelBottomColour;

    DControl(const DialogTemplate& dialogTemplate, QWidget* parent);
    ~DControl() override;

    // The text of control 1031; the dialog's caption is left alone.
    void SetTitleText(std::string_view text);
    std::string TitleText() const;

    // The edit typed into last and not committed yet (0 for none).
    std::int32_t DirtyEdit() const { return dirtyEdit_; }
    void SetDirtyEdit(std::int32_t id) { dirtyEdit_ = id; }

    // Hides the window at once and deletes it (with this object) when control returns to
    // the event loop, so a handler of this panel that closed it may still finish. From here
    // on no posted message, timer or focus loss reaches the panel's handlers.
    void DestroyWindow();
    // True once DestroyWindow ran on this dialog or on a panel it sits in.
    bool IsClosing() const;
    // True when window sits in a panel that is closing (views that are no DControl ask it).
    static bool IsInClosingPanel(const QWidget* window);

    // Enter and Escape keep the panel open.
    void OnOK() override;
    void OnCancel() override;
    // Typing into an edit makes it the dirty edit; texts set by code do not.
    void OnEditChanged(std::int32_t id) override;
    // While the panel closes, an edit that loses the focus must not commit any more.
    void OnEditKillFocus(std::int32_t id) final;
    void OnTimer(std::uint32_t timerId) final;

protected:
    // A top-level (modal or modeless) dialog with the panels' look and keyboard, for the
    // windows that must keep the main window's accelerator rules while they have the focus.
    DControl(const DialogTemplate& dialogTemplate, platform::Dialog::Kind kind, QWidget* parent);

    // The panels' look and keyboard; subclasses call it first.
    bool OnInitDialog() override;
    // An edit lost the focus (not while the panel closes).
    virtual void OnEditFocusLost(std::int32_t id);
    // A timer of this dialog fired (not while the panel closes).
    virtual void OnPanelTimer(std::uint32_t timerId);
    // Enter in an edit: posts "VeskQuarry_ReflectReturn" (0, focused control) to the dialog
    // that holds the focused control, so the row or view that owns the edit commits it.
    void ReflectReturnToFocus();

    void paintEvent(QPaintEvent* event) override;

private:
    std::int32_t dirtyEdit_ = 0;
    GradientBackground background_;
    bool closing_ = false;
};
