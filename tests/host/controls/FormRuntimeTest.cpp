// The form runtime pieces the dialog stands on: twips geometry (exact read-back, frame-relative
// placement), focus and the active control's name, the splitter's line and image, the mouse
// pointer, and the close timer.
#include "ControlsTestSupport.h"

#include "host/controls/FormImage.h"
#include "host/controls/FormLine.h"
#include "host/controls/FormTimer.h"
#include "host/controls/QzEdit.h"
#include "host/controls/QzFrame.h"
#include "host/controls/QzLabel.h"
#include "host/controls/QzTreeView.h"
#include "host/controls/Screen.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace sarvo::controls;
using sarvo::controls::testing::errorNumberOf;

namespace {

TEST(FormRuntime, TwipsPlaceOnWholePixelsAndReadBackExactly) {
    QWidget form;
    QzLabel label(&form);
    for (const auto& [twips, pixels] : {std::pair{QRect(90, 660, 5250, 3210), QRect(6, 44, 350, 214)},
                                        {QRect(5430, 630, 60, 3240), QRect(362, 42, 4, 216)},
                                        {QRect(7, 7, 7, 7), QRect(0, 0, 0, 0)}, // below half a pixel
                                        {QRect(8, 8, 8, 8), QRect(1, 1, 1, 1)},
                                        {QRect(-45, 0, 30, 15), QRect(-3, 0, 2, 1)}}) {
        label.Move(twips.x(), twips.y(), twips.width(), twips.height());
        EXPECT_EQ(label.geometry(), pixels);
        EXPECT_EQ(QRect(label.Left(), label.Top(), label.Width(), label.Height()), twips);
    }
}

TEST(FormRuntime, SplitterAdjustmentsAccumulateInTwipsAndFramesPlaceTheirControls) {
    QWidget form;
    QzTreeView tree(&form);
    tree.Move(90, 660, 5250, 3210);
    tree.SetWidth(tree.Width() + (1000 - 5250)); // dragged to the minimum
    tree.SetWidth(tree.Width() + 15);
    tree.SetLeft(tree.Left() + 600);
    EXPECT_EQ(QRect(tree.Left(), tree.Top(), tree.Width(), tree.Height()), QRect(690, 660, 1015, 3210));
    EXPECT_EQ(tree.width(), 68);
    tree.setGeometry(10, 10, 100, 100); // moved by other means, it reads in whole pixels
    EXPECT_EQ(errorNumberOf([&] { tree.SetWidth(-15); }), 380);
    EXPECT_EQ(tree.Width(), 1500);
    QzFrame frame(&form);
    frame.Move(120, 3960, 6435, 1035);
    QzEdit edit(&frame);
    edit.Move(1980, 120, 1785, 330);
    EXPECT_EQ(edit.mapTo(&form, QPoint(0, 0)), QPoint(8 + 132, 264 + 8));
}

TEST(FormRuntime, FocusGoesOnlyWhereItCanAndNamesTheActiveControl) {
    QWidget form;
    QzEdit edit(&form);
    edit.setObjectName("txtFilter");
    QzLabel label(&form);
    QzFrame frame(&form);
    frame.setObjectName("Frame1");
    QLineEdit inner(&frame); // an unnamed part of a composite control
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_FALSE(label.CanFocus());
    edit.SetFocus();
    EXPECT_EQ(Screen::ActiveControlName(), "txtFilter");
    inner.setFocus();
    EXPECT_EQ(Screen::ActiveControlName(), "Frame1");
    edit.setEnabled(false);
    EXPECT_FALSE(edit.CanFocus());
    EXPECT_EQ(errorNumberOf([&] { edit.SetFocus(); }), 5);
}

TEST(FormRuntime, LineIsDrawnBetweenItsEndPointsInFrontOfLaterSiblings) {
    QWidget form;
    form.resize(454, 366);
    form.setAutoFillBackground(true);
    FormLine line(&form);
    line.SetX1(5505);
    line.SetX2(5505);
    line.SetY1(630);
    line.SetY2(3900);
    QWidget cover(&form); // created later, so in front of the line
    cover.setGeometry(350, 100, 50, 50);
    cover.setAutoFillBackground(true);
    line.ZOrder(0);
    const QImage shot = form.grab().toImage();
    const QColor ink = form.palette().color(QPalette::WindowText);
    for (const QPoint& p : {QPoint(367, 42), QPoint(367, 120), QPoint(367, 260)})
        EXPECT_EQ(shot.pixelColor(p), ink) << p.y();
    EXPECT_NE(shot.pixelColor(368, 120), ink);
    EXPECT_NE(shot.pixelColor(367, 262), ink);
    EXPECT_EQ(errorNumberOf([&] { line.ZOrder(2); }), 380);
    EXPECT_TRUE(line.testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(FormRuntime, ImageReportsMouseInTwipsAndStretchesItsPicture) {
    QWidget form;
    form.resize(454, 366);
    FormImage image(&form);
    image.Move(5430, 630, 60, 3240);
    QStringList seen; // event(button, shift, x, y)
    for (const auto& [signal, name] : {std::pair{&FormImage::MouseDown, "down"},
                                       {&FormImage::MouseMove, "move"},
                                       {&FormImage::MouseUp, "up"}})
        QObject::connect(&image, signal, &image, [&seen, name](int button, int shift, float x, float y) {
            seen << QStringLiteral("%1(%2, %3, %4, %5)").arg(name).arg(button).arg(shift).arg(x).arg(y);
        });
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QMouseEvent hover(QEvent::MouseMove, QPointF(1, 10), image.mapToGlobal(QPointF(1, 10)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&image, &hover);
    QTest::mousePress(&image, Qt::LeftButton, Qt::ShiftModifier, QPoint(2, 100));
    QTest::mouseMove(&image, QPoint(40, 110)); // outside the 4-pixel grip: the image keeps the mouse
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(40, 110));
    QTest::mouseClick(&image, Qt::RightButton, Qt::ControlModifier, QPoint(1, 1));
    QTest::mouseClick(&image, Qt::MiddleButton, Qt::AltModifier, QPoint(3, 2));
    EXPECT_EQ(seen, (QStringList{"move(0, 0, 15, 150)", "down(1, 1, 30, 1500)", "move(1, 0, 600, 1650)",
                                 "up(1, 0, 600, 1650)", "down(2, 2, 15, 15)", "up(2, 2, 15, 15)",
                                 "down(4, 4, 45, 30)", "up(4, 4, 45, 30)"}));
    QPixmap grip(4, 10);
    grip.fill(QColor(10, 200, 30));
    image.SetPicture(grip);
    EXPECT_EQ(image.grab().toImage().pixelColor(2, 215), QColor(10, 200, 30)); // stretched to the bottom
}

TEST(FormRuntime, MousePointerShowsTheMatchingCursor) {
    QWidget form;
    Screen::SetMousePointer(&form, 9); // over the splitter
    EXPECT_EQ(form.cursor().shape(), Qt::SizeHorCursor);
    Screen::SetMousePointer(&form, 11); // while the tree is rebuilt
    EXPECT_EQ(errorNumberOf([&] { Screen::SetMousePointer(&form, 99); }), 380);
    EXPECT_EQ(std::pair(Screen::MousePointer(&form), form.cursor().shape()), std::pair(11, Qt::WaitCursor));
    Screen::SetMousePointer(&form, 0);
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

TEST(FormRuntime, TimerTicksWhileEnabledWithAnIntervalAndAHandlerCanStopIt) {
    FormTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &FormTimer::Timer, &timer, [&] {
        ++ticks;
        timer.SetEnabled(false); // as the close timer's handler does
    });
    timer.SetEnabled(true); // no interval yet: nothing
    QTest::qWait(30);
    EXPECT_EQ(ticks, 0);
    QSignalSpy spy(&timer, &FormTimer::Timer);
    timer.SetInterval(10);
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(60);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(errorNumberOf([&] { timer.SetInterval(-1); }), 380);
}

} // namespace
