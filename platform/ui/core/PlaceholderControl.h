// Stands in for a control of a class the builder does not know (a custom class of the
// template): an empty widget at the control's place that keeps its id, class name and text
// until the window puts the real control there (Dialog::ReplaceItem).
#pragma once

#include <QWidget>

namespace platform {

class PlaceholderControl : public QWidget {
    Q_OBJECT

public:
    explicit PlaceholderControl(QWidget* parent = nullptr);
};

}  // namespace platform
