// The form runtime pieces the dialog stands on: twips geometry of the controls (exact read-back,
// frame-relative placement), focus, the splitter's line and image, the screen helpers, the
// close timer and the image list.
#include "ControlsTestSupport.h"

#include "host/controls/FormImage.h"
#include "host/controls/FormLine.h"
#include "host/controls/FormTimer.h"
#include "host/controls/ImageList.h"
#include "host/controls/QzEdit.h"
#include "host/controls/QzFrame.h"
#include "host/controls/QzLabel.h"
#include "host/controls/QzTreeView.h"
#include "host/controls/Screen.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace sarvo;
using namespace sarvo::controls;
using sarvo::controls::testing::errorNumberOf;

namespace {

// ---- twips geometry --------------------------------------------------------------------------

struct GeometryCase {
    const char* name;
    int left, top, width, height; // twips
    QRect pixels;
};

void PrintTo(const GeometryCase& c, std::ostream* os) {
    *os << c.name;
}

class TwipsGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(TwipsGeometry, PlacesOnWholePixelsAndReadsBackExactly) {
    const GeometryCase& c = GetParam();
    QWidget form;
    QzLabel label(&form);
    label.Move(c.left, c.top, c.width, c.height);
    EXPECT_EQ(label.geometry(), c.pixels);
    EXPECT_EQ(label.Left(), c.left);
    EXPECT_EQ(label.Top(), c.top);
    EXPECT_EQ(label.Width(), c.width);
    EXPECT_EQ(label.Height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(
    FormRuntime, TwipsGeometry,
    ::testing::Values(GeometryCase{"tree", 90, 660, 5250, 3210, QRect(6, 44, 350, 214)},
                      GeometryCase{"grip", 5430, 630, 60, 3240, QRect(362, 42, 4, 216)},
                      GeometryCase{"minimum_tree", 90, 660, 1000, 3210, QRect(6, 44, 67, 214)},
                      GeometryCase{"below_half_a_pixel", 7, 7, 7, 7, QRect(0, 0, 0, 0)},
                      GeometryCase{"above_half_a_pixel", 8, 8, 8, 8, QRect(1, 1, 1, 1)},
                      GeometryCase{"left_of_the_container", -45, 0, 30, 15, QRect(-3, 0, 2, 1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormRuntime, SplitterStyleAdjustmentsAccumulateInTwips) {
    QWidget form;
    QzTreeView tree(&form);
    tree.Move(90, 660, 5250, 3210);
    tree.SetWidth(tree.Width() + (1000 - 5250)); // dragged to the minimum
    EXPECT_EQ(tree.Width(), 1000);
    tree.SetWidth(tree.Width() + 15);
    EXPECT_EQ(tree.Width(), 1015);
    EXPECT_EQ(tree.width(), 68);
    tree.SetLeft(tree.Left() + 600);
    EXPECT_EQ(tree.Left(), 690);
    EXPECT_EQ(tree.Width(), 1015);
    // Moved by other means, it reads in whole pixels.
    tree.setGeometry(10, 10, 100, 100);
    EXPECT_EQ(tree.Left(), 150);
    EXPECT_EQ(tree.Width(), 1500);
    EXPECT_EQ(errorNumberOf([&] { tree.SetWidth(-15); }), 380);
    EXPECT_EQ(tree.Width(), 1500);
}

TEST(FormRuntime, ControlsInAFrameArePlacedRelativeToIt) {
    QWidget form;
    QzFrame frame(&form);
    frame.Move(120, 3960, 6435, 1035);
    QzEdit edit(&frame);
    edit.Move(1980, 120, 1785, 330);
    EXPECT_EQ(edit.mapTo(&form, QPoint(0, 0)), QPoint(8 + 132, 264 + 8));
    EXPECT_EQ(edit.Left(), 1980);
}

TEST(FormRuntime, FocusGoesOnlyWhereItCanAndNamesTheActiveControl) {
    QWidget form;
    form.resize(300, 200);
    QzEdit edit(&form);
    edit.setObjectName("txtFilter");
    QzLabel label(&form);
    QzFrame frame(&form);
    frame.setObjectName("Frame1");
    QLineEdit inner(&frame); // an unnamed part of a composite control
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    EXPECT_TRUE(edit.CanFocus());
    EXPECT_FALSE(label.CanFocus());
    edit.SetFocus();
    EXPECT_EQ(Screen::ActiveControlName(), QStringLiteral("txtFilter"));
    inner.setFocus();
    EXPECT_EQ(Screen::ActiveControlName(), QStringLiteral("Frame1"));

    edit.SetVisible(false);
    EXPECT_FALSE(edit.Visible());
    EXPECT_FALSE(edit.CanFocus());
    EXPECT_EQ(errorNumberOf([&] { edit.SetFocus(); }), 5);
    edit.SetVisible(true);
    edit.setEnabled(false);
    EXPECT_FALSE(edit.CanFocus());
}

TEST(FormRuntime, VisibleIsTheControlsOwnFlagBeforeTheFormIsShown) {
    QWidget form;
    QzLabel label(&form);
    EXPECT_TRUE(label.Visible());
    label.SetVisible(false);
    EXPECT_FALSE(label.Visible());
}

// ---- line and image --------------------------------------------------------------------------

TEST(FormRuntime, LineIsDrawnBetweenItsEndPointsAndComesToTheFront) {
    QWidget form;
    form.resize(454, 366);
    form.setAutoFillBackground(true);
    FormLine line(&form);
    line.SetX1(5505);
    line.SetX2(5505);
    line.SetY1(630);
    line.SetY2(3900);
    QWidget coverAfter(&form); // created later, so in front of the line
    coverAfter.setGeometry(350, 100, 50, 50);
    coverAfter.setAutoFillBackground(true);
    EXPECT_EQ(line.geometry(), QRect(367, 42, 1, 219));

    line.ZOrder(0);
    EXPECT_EQ(form.children().last(), &line);
    const QImage shot = form.grab().toImage();
    const QColor ink = form.palette().color(QPalette::WindowText);
    EXPECT_EQ(shot.pixelColor(367, 42), ink);
    EXPECT_EQ(shot.pixelColor(367, 120), ink); // over the later sibling
    EXPECT_EQ(shot.pixelColor(367, 260), ink);
    EXPECT_NE(shot.pixelColor(368, 120), ink);
    EXPECT_NE(shot.pixelColor(367, 262), ink);

    line.ZOrder(1);
    EXPECT_EQ(form.children().first(), &line);
    EXPECT_EQ(errorNumberOf([&] { line.ZOrder(2); }), 380);
    line.SetVisible(false);
    EXPECT_FALSE(line.Visible());
    EXPECT_TRUE(line.testAttribute(Qt::WA_TransparentForMouseEvents));
}

struct MouseRecord {
    QString event;
    int button, shift;
    float x, y;
    bool operator==(const MouseRecord&) const = default;
};

void PrintTo(const MouseRecord& r, std::ostream* os) {
    *os << r.event.toStdString() << "(" << r.button << ", " << r.shift << ", " << r.x << ", " << r.y << ")";
}

class ImageMouse : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(454, 366);
        image = new FormImage(&form);
        image->Move(5430, 630, 60, 3240);
        const auto record = [this](const char* name) {
            return [this, name](int button, int shift, float x, float y) {
                records.push_back({QString::fromLatin1(name), button, shift, x, y});
            };
        };
        QObject::connect(image, &FormImage::MouseDown, image, record("down"));
        QObject::connect(image, &FormImage::MouseMove, image, record("move"));
        QObject::connect(image, &FormImage::MouseUp, image, record("up"));
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void moveWithoutButtons(QPoint pos) {
        QMouseEvent move(QEvent::MouseMove, pos, image->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(image, &move);
    }
    QWidget form;
    FormImage* image = nullptr;
    std::vector<MouseRecord> records;
};

TEST_F(ImageMouse, ADragReportsButtonsShiftAndTwipsRelativeToTheImage) {
    moveWithoutButtons(QPoint(1, 10));
    QTest::mousePress(image, Qt::LeftButton, Qt::ShiftModifier, QPoint(2, 100));
    QTest::mouseMove(image, QPoint(40, 110)); // outside the 4-pixel grip: the image keeps the mouse
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(40, 110));
    EXPECT_EQ(records, (std::vector<MouseRecord>{{"move", 0, 0, 15.0f, 150.0f},
                                                 {"down", 1, 1, 30.0f, 1500.0f},
                                                 {"move", 1, 0, 600.0f, 1650.0f},
                                                 {"up", 1, 0, 600.0f, 1650.0f}}));
}

TEST_F(ImageMouse, RightAndMiddleButtonsHaveTheirOwnCodes) {
    QTest::mouseClick(image, Qt::RightButton, Qt::ControlModifier, QPoint(1, 1));
    QTest::mouseClick(image, Qt::MiddleButton, Qt::AltModifier, QPoint(3, 2));
    EXPECT_EQ(records, (std::vector<MouseRecord>{{"down", 2, 2, 15.0f, 15.0f},
                                                 {"up", 2, 2, 15.0f, 15.0f},
                                                 {"down", 4, 4, 45.0f, 30.0f},
                                                 {"up", 4, 4, 45.0f, 30.0f}}));
}

TEST_F(ImageMouse, ShowsItsPictureStretchedOverTheGrip) {
    QPixmap grip(4, 10);
    grip.fill(QColor(10, 200, 30));
    image->SetPicture(grip);
    const QImage shot = image->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(4, 216));
    EXPECT_EQ(shot.pixelColor(1, 0), QColor(10, 200, 30));
    EXPECT_EQ(shot.pixelColor(2, 215), QColor(10, 200, 30));
    EXPECT_EQ(image->Picture().cacheKey(), grip.cacheKey());
}

// ---- screen ----------------------------------------------------------------------------------

TEST(FormRuntime, ScreenWidthIsInTwips) {
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    EXPECT_EQ(Screen::Width(), QGuiApplication::primaryScreen()->geometry().width() * 15);
    EXPECT_GT(Screen::Width(), 0);
}

struct PointerCase {
    int pointer;
    Qt::CursorShape shape;
};

class MousePointer : public ::testing::TestWithParam<PointerCase> {};

TEST_P(MousePointer, ShowsTheMatchingCursorOverTheForm) {
    QWidget form;
    Screen::SetMousePointer(&form, GetParam().pointer);
    EXPECT_EQ(Screen::MousePointer(&form), GetParam().pointer);
    EXPECT_TRUE(form.testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(form.cursor().shape(), GetParam().shape);
    Screen::SetMousePointer(&form, 0);
    EXPECT_EQ(Screen::MousePointer(&form), 0);
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

INSTANTIATE_TEST_SUITE_P(FormRuntime, MousePointer,
                         ::testing::Values(PointerCase{9, Qt::SizeHorCursor}, PointerCase{11, Qt::WaitCursor},
                                           PointerCase{1, Qt::ArrowCursor}, PointerCase{13, Qt::BusyCursor}));

TEST(FormRuntime, UnknownMousePointerIsRefused) {
    QWidget form;
    Screen::SetMousePointer(&form, 11);
    EXPECT_EQ(errorNumberOf([&] { Screen::SetMousePointer(&form, 99); }), 380);
    EXPECT_EQ(Screen::MousePointer(&form), 11);
    EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
}

// ---- timer -----------------------------------------------------------------------------------

TEST(FormRuntime, TimerTicksWhileEnabledAndAHandlerCanStopIt) {
    FormTimer timer;
    timer.SetInterval(10);
    EXPECT_FALSE(timer.Enabled());
    int ticks = 0;
    QObject::connect(&timer, &FormTimer::Timer, &timer, [&] {
        ++ticks;
        timer.SetEnabled(false); // as the close timer's handler does
    });
    QSignalSpy spy(&timer, &FormTimer::Timer);
    timer.SetEnabled(true);
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(60);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 10);
}

TEST(FormRuntime, TimerWithoutIntervalNeverTicks) {
    FormTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &FormTimer::Timer, &timer, [&] { ++ticks; });
    timer.SetEnabled(true);
    QTest::qWait(30);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(errorNumberOf([&] { timer.SetInterval(-1); }), 380);
}

// ---- image list ------------------------------------------------------------------------------

TEST(FormRuntime, ImageListKeepsPicturesByKeyInOrder) {
    ImageList list;
    QSignalSpy changed(&list, &ImageList::changed);
    QPixmap open(16, 16), closed(16, 16);
    open.fill(Qt::yellow);
    closed.fill(Qt::darkYellow);
    list.ListImages().Add("open", open);
    list.ListImages().Add("closed", closed);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(list.ListImages().Count(), 2);
    EXPECT_EQ(list.ListImages().Item("closed").cacheKey(), closed.cacheKey());
    EXPECT_EQ(list.ListImages().Item(1).cacheKey(), open.cacheKey());
    EXPECT_EQ(errorNumberOf([&] { list.ListImages().Add("open", closed); }), 35602);
    EXPECT_EQ(errorNumberOf([&] { (void)list.ListImages().Item("leaf"); }), 35601);
    EXPECT_EQ(errorNumberOf([&] { (void)list.ListImages().Item(3); }), 35601);
    EXPECT_EQ(list.ListImages().Count(), 2);
}

} // namespace
