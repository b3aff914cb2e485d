// The strip at the top of the frame that the tool bar and the connection bar share: each
// bar records itself here when it is made, and the frame's layout reads the widths.
#pragma once

class QWidget;

struct BarStrip {
    QWidget* toolBar = nullptr;
    int toolBarWidth = 0;        // the tool bar's fixed layout width right after creation
    QWidget* connectionBar = nullptr;
    int connectionBarWidth = 0;  // the connection bar's width at creation
};
