// The base of the main view's child views (block diagram, control view, meters): it owns
// the view's layout record, draws the record's background gradient, hears the document's
// update hints and, when the user clicks into it, becomes the active view of the command
// chain. Subclasses draw in OnDraw on a back buffer (client coordinates) and reach the
// document, the frame and the control view through the accessors here.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include <QImage>
#include <QWidget>

#include "application/document/DocumentServices.h"
#include "application/ui/ViewEnvironment.h"
#include "platform/commands/CommandMap.h"
#include "platform/ui/drawing/Canvas.h"

class CCorvantEditorView;
class CMainFrame;

class CEnvironmentView : public QWidget, public IDocumentObserver {
    Q_OBJECT

public:
    // Makes the child window of `host` at once (visible, 100 x 100 at (0, 0)) with its window
    // text and control id.
    CEnvironmentView(CCorvantEditorView& host, std::unique_ptr<ViewEnvironment> environment, std::string_view title,
                     std::int32_t controlId);
    ~CEnvironmentView() override;

    // 0 here and for the meter view, 1 the block view, 2 the control view.
    virtual std::int32_t GetViewKind() const { return 0; }

    ViewEnvironment* Environment() const { return m_environment.get(); }
    CCorvantEditorView& Host() const { return m_host; }
    CCorvantEditorDoc* GetDocument() const;
    CMainFrame* GetMainFrame() const;
    // The host's control view (the first view of kind 2), or null.
    CControlView* GetControlView() const;

    // The record's two-colour gradient over `rect`, from colour B at the left (top) to colour
    // A at the right (bottom); nothing without a record.
    void DrawBackground(platform::Canvas& dc, const platform::Rect& rect) const;
    // That gradient over the whole client area, drawn again only when the size changed, so
    // paints and redrawn cells copy it rather than fill it anew. Kept at its last size while
    // the view has none; the address stays the same for the view's life.
    const QImage& BackgroundImage();

    // After a new design or an opened file, once the main view has its children. The default
    // repaints.
    virtual void OnInitialUpdate();
    // The document's hints; the default repaints.
    void OnUpdate(CCorvantEditorDoc& document, UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier* amplifier) override;

    // Handlers of this view while it is the active view of the command chain.
    platform::CommandMap& Commands() { return m_commands; }

    // The view as it draws itself now (the back buffer after OnDraw).
    QImage RenderClient();

protected:
    // Draws the whole client area; the default draws the background.
    virtual void OnDraw(platform::Canvas& dc);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CCorvantEditorView& m_host;
    std::unique_ptr<ViewEnvironment> m_environment;
    platform::CommandMap m_commands;
    QImage m_background;
    QImage m_backBuffer;
};
