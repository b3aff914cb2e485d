// The controls panels rely on: up-down steps and end notices from keys and the mouse, the
// key-state query during a notice, the trackbar's scroll codes and drawing hooks, and the
// owner-drawn button.
#include <string>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/KeyState.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/OwnerDrawButton.h"
#include "platform/ui/core/Trackbar.h"
#include "platform/ui/core/UpDown.h"
#include "resources/templates/DialogTemplate.h"

using namespace platform;

namespace {

struct Notice {
    std::string kind;
    int code = 0;
    int position = 0;
    bool upHeld = false;
    friend bool operator==(const Notice&, const Notice&) = default;
};

// A parent window that records the notices of its controls.
class Parent : public QWidget, public IControlNotify {
public:
    std::vector<Notice> notices;
    std::vector<std::int32_t> commands;

    void OnSpinScroll(std::int32_t, int code, int position) override
    {
        notices.push_back({"spin", code, position, IsKeyDown(Qt::Key_Up)});
    }
    void OnTrackbarScroll(std::int32_t, int code, int position) override { notices.push_back({"track", code, position}); }
    void OnTrackbarReleasedCapture(std::int32_t) override { notices.push_back({"released"}); }
    void OnCommand(std::int32_t id) override { commands.push_back(id); }
};

void SendKey(QWidget* target, QEvent::Type type, int key, bool autoRepeat)
{
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(target, &event);
}

constexpr int kPos = ScrollCode::kThumbPosition;
constexpr int kEnd = ScrollCode::kEndScroll;

}  // namespace

TEST(UpDownControl, HeldArrowKeyStepsOncePerRepeatAndEndsAtRelease)
{
    Parent parent;
    auto* edit = new QLineEdit(&parent);
    auto* spin = new UpDown(&parent, UpDownStyle::kArrowKeys);
    spin->SetBuddy(edit);
    spin->SetRange32(0, 3);
    spin->SetPos32(1);
    SendKey(edit, QEvent::KeyPress, Qt::Key_Up, false);
    SendKey(edit, QEvent::KeyRelease, Qt::Key_Up, true);
    SendKey(edit, QEvent::KeyPress, Qt::Key_Up, true);
    SendKey(edit, QEvent::KeyRelease, Qt::Key_Up, true);
    SendKey(edit, QEvent::KeyPress, Qt::Key_Up, true);  // at the limit: a notice all the same
    SendKey(edit, QEvent::KeyRelease, Qt::Key_Up, false);
    const std::vector<Notice> expected = {
        {"spin", kPos, 2, true}, {"spin", kPos, 3, true}, {"spin", kPos, 3, true}, {"spin", kEnd, 3, false}};
    EXPECT_EQ(parent.notices, expected);
    EXPECT_FALSE(IsKeyDown(Qt::Key_Up));
    EXPECT_EQ(edit->text(), "");  // no set-buddy-int style
    // The down arrow, and no keys at all without the arrow-keys style.
    SendKey(edit, QEvent::KeyPress, Qt::Key_Down, false);
    EXPECT_EQ(spin->GetPos32(), 2);
    auto* plain = new UpDown(&parent, 0);
    plain->SetBuddy(edit);
    spin->SetBuddy(nullptr);
    parent.notices.clear();
    SendKey(edit, QEvent::KeyPress, Qt::Key_Down, false);
    EXPECT_TRUE(parent.notices.empty());
    ResetKeyState();
}

TEST(UpDownControl, AHeldMouseButtonRepeatsOnTheTimerService)
{
    ManualTimerService timers(0);
    ScopedTimerService install(timers);
    Parent parent;
    auto* spin = new UpDown(&parent, 0);
    spin->setGeometry(0, 0, 16, 24);
    spin->SetRange32(10, -10);  // inverted: the up arrow goes toward -10
    spin->SetPos32(0);
    QTest::mousePress(spin, Qt::LeftButton, {}, spin->UpRect().center());
    EXPECT_EQ(spin->PressedArrow(), 1);
    timers.Advance(UpDown::kFirstRepeatDelayMs - 1);
    EXPECT_EQ(parent.notices.size(), 1u);
    timers.Advance(1 + UpDown::kRepeatPeriodMs);
    QTest::mouseRelease(spin, Qt::LeftButton, {}, spin->UpRect().center());
    timers.Advance(1000);
    const std::vector<Notice> expected = {{"spin", kPos, -1}, {"spin", kPos, -2}, {"spin", kPos, -3}, {"spin", kEnd, -3}};
    EXPECT_EQ(parent.notices, expected);
    EXPECT_EQ(timers.ActiveCount(), 0u);
}

TEST(TrackbarControl, KeysSendTheScrollCodesWithTheMinimumAtTheTop)
{
    Parent parent;
    auto* track = new Trackbar(&parent, TrackbarStyle::kBoth);
    track->setGeometry(0, 0, 40, 120);
    track->SetRange(-24, 24);
    track->SetPageSize(6);
    track->SetPos(0);
    EXPECT_LT(track->PositionToPixel(-24), track->PositionToPixel(24));
    EXPECT_TRUE(track->ChannelRect().contains(track->ThumbRect().center()));
    for (int key : {Qt::Key_PageUp, Qt::Key_Down, Qt::Key_Home, Qt::Key_Home, Qt::Key_End}) {
        SendKey(track, QEvent::KeyPress, key, false);
    }
    SendKey(track, QEvent::KeyRelease, Qt::Key_End, false);
    const std::vector<Notice> expected = {{"track", ScrollCode::kPageUp, -6},  {"track", ScrollCode::kLineDown, -5},
                                          {"track", ScrollCode::kTop, -24},    {"track", ScrollCode::kBottom, 24},
                                          {"track", ScrollCode::kEndScroll, 24}};
    EXPECT_EQ(parent.notices, expected);  // Home at the top already sends nothing
}

TEST(TrackbarControl, DraggingTheThumbTracksThenReportsTheEnd)
{
    Parent parent;
    auto* track = new Trackbar(&parent, 0);
    track->setGeometry(0, 0, 40, 120);
    track->SetRange(0, 10);
    track->SetPos(0);
    const QPoint grab = track->ThumbRect().center();
    QTest::mousePress(track, Qt::LeftButton, {}, grab);
    EXPECT_TRUE(track->IsDragging());
    QMouseEvent move(QEvent::MouseMove, QPointF(grab.x(), track->PositionToPixel(4)), QPointF(), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(track, &move);
    QTest::mouseRelease(track, Qt::LeftButton, {}, QPoint(grab.x(), track->PositionToPixel(4)));
    const std::vector<Notice> expected = {{"track", ScrollCode::kThumbTrack, 4},
                                          {"track", ScrollCode::kThumbPosition, 4},
                                          {"track", ScrollCode::kEndScroll, 4},
                                          {"released"}};
    EXPECT_EQ(parent.notices, expected);
    EXPECT_EQ(track->PixelToPosition(track->PositionToPixel(7)), 7);
}

TEST(TrackbarControl, HooksDrawChannelTicksAndThumbInThatOrder)
{
    Trackbar track(nullptr, TrackbarStyle::kAutoTicks);
    track.resize(40, 120);
    track.SetRange(-24, 24);
    track.SetTicFreq(12);
    EXPECT_EQ(track.TickPositions(), (std::vector<int>{-24, -12, 0, 12, 24}));
    std::vector<std::string> order;
    QRect channelSeen;
    track.SetChannelHook([&](QPainter& painter, const TrackbarDrawInfo& info) {
        order.push_back("channel");
        channelSeen = info.channel;
        painter.fillRect(info.client, QColor(0xE6, 0xE6, 0xFA));
        return true;
    });
    track.SetTicksHook([&](QPainter&, const TrackbarDrawInfo&) {
        order.push_back("ticks");
        return true;
    });
    track.SetThumbHook([&](QPainter&, const TrackbarDrawInfo&) {
        order.push_back("thumb");
        return false;  // the default thumb still draws
    });
    QImage image(track.size(), QImage::Format_ARGB32);
    track.render(&image);
    EXPECT_EQ(order, (std::vector<std::string>{"channel", "ticks", "thumb"}));
    EXPECT_EQ(channelSeen, track.ChannelRect());
    EXPECT_EQ(image.pixel(1, 1), QColor(0xE6, 0xE6, 0xFA).rgb());
    EXPECT_NE(image.pixel(track.ThumbRect().center()), QColor(0xE6, 0xE6, 0xFA).rgb());
}

TEST(OwnerDrawButtonControl, DrawsThroughItsHookAndLetsTheOwnerDecideOnKeys)
{
    Parent parent;
    auto* button = new OwnerDrawButton(&parent);
    SetControlId(button, 1118);
    button->setGeometry(0, 0, 30, 20);
    std::vector<DrawItemState> drawn;
    button->SetDrawHook([&](QPainter& painter, const DrawItemState& state) {
        drawn.push_back(state);
        painter.fillRect(state.rect, Qt::red);
    });
    button->setDown(true);
    QImage image(button->size(), QImage::Format_ARGB32);
    button->render(&image);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].controlId, 1118);
    EXPECT_TRUE(drawn[0].selected);
    EXPECT_EQ(drawn[0].rect, QRect(0, 0, 30, 20));
    EXPECT_EQ(image.pixel(15, 10), QColor(Qt::red).rgb());
    button->setDown(false);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(parent.commands, std::vector<std::int32_t>{1118});
    button->SetKeyHook([](QKeyEvent& event) { return event.key() == Qt::Key_Space; });
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(parent.commands.size(), 1u);
}
