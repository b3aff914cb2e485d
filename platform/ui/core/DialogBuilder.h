// Turns a dialog template's controls into plain widgets at absolute positions: the class
// name picks the widget, the style bits its behaviour, the dialog units its rectangle.
//   Button   push (default push), check box, 3-state, radio (auto ones exclusive within their
//            group: from a control with the group style to the next), group box, owner-draw
//   Edit     one line (QLineEdit) or multi-line; read-only, number-only, centred or right
//   Static   text (left, centred, right; word-wrapped unless no-word-wrap), icon or bitmap
//            (a QLabel that code gives a picture), frames and rectangles, owner-draw
//   ComboBox drop-down list (fixed) or drop-down (editable), with the template's items
//   ListBox  single selection, with the template's items
//   msctls_updown32 / msctls_trackbar32 / msctls_progress32
// Any other class name gives a PlaceholderControl. Each widget carries the control's id,
// class name and styles (ControlIds.h) and tells its parent of clicks, text changes, focus
// loss and choices (ControlNotify.h). An up-down control with the auto-buddy style takes the
// control before it in template order as its buddy.
#pragma once

#include <vector>

#include "platform/ui/core/DialogUnits.h"
#include "resources/templates/DialogTemplate.h"

class QWidget;

namespace platform {

// Builds every control of `dialog` as a child of `parent`, in template order.
std::vector<QWidget*> BuildTemplateControls(const DialogTemplate& dialog, QWidget* parent,
                                            const DialogBaseUnits& units);

// Builds one control (no radio grouping, no auto-buddy).
QWidget* BuildTemplateControl(const DialogControl& control, QWidget* parent, const DialogBaseUnits& units);

// Connects a standard Qt widget's signals to the notices of its parent: button clicks, edit
// text changes and focus loss, combo choices. For widgets that code makes or puts in place.
void WireControlNotices(QWidget* widget);

}  // namespace platform
