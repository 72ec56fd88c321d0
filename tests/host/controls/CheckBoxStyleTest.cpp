// Check boxes as the attribute filter and the attribute display use them: Value and Click, the
// style service drawing a caption in the highlight colour and back (found by window handle,
// one service and one handle registry per thread), fore colour, and the late-bound Font object.
#include "ControlsTestSupport.h"

#include "host/controls/ControlFont.h"
#include "host/controls/QzCheckBox.h"
#include "host/controls/StyleService.h"
#include "host/controls/WindowHandles.h"

#include <QTest>
#include <QWidget>
#include <thread>

using namespace sarvo;
using namespace sarvo::controls;
using sarvo::controls::testing::errorNumberOf;

namespace {

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(300, 100);
        box = new QzCheckBox(&form);
        box->setObjectName("chkChoice2");
        box->SetCaption(QStringLiteral("Supplier WWWWW"));
        box->Move(120, 300, 2400, 375);
        QObject::connect(box, &QzCheckBox::Click, box, [this] { clicks << box->Value(); });
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QWidget form;
    QzCheckBox* box = nullptr;
    QList<int> clicks; // the value each Click saw
};

TEST_F(CheckBoxTest, UserTogglesRaiseClickAfterTheValueChanged) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_EQ(clicks, (QList<int>{1, 0, 1}));
    EXPECT_EQ(box->Value(), 1);
}

TEST_F(CheckBoxTest, ValueAssignedInCodeRaisesNoClick) {
    box->SetValue(1);
    EXPECT_TRUE(box->isChecked());
    box->SetValue(0);
    EXPECT_EQ(box->Value(), 0);
    EXPECT_TRUE(clicks.isEmpty());
    EXPECT_EQ(errorNumberOf([&] { box->SetValue(2); }), 380);
    EXPECT_EQ(box->Value(), 0);
}

TEST_F(CheckBoxTest, DisabledBoxIgnoresTheUser) {
    box->SetEnabled(false);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_FALSE(box->Enabled());
    EXPECT_EQ(box->Value(), 0);
    EXPECT_TRUE(clicks.isEmpty());
}

// ---- style service ---------------------------------------------------------------------------

// Pixels of the rendered box whose colour is close to `color` (anti-aliased text included).
int pixelsNear(QWidget* w, const QColor& color) {
    const QImage shot = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) < 40 && std::abs(c.green() - color.green()) < 40 &&
                std::abs(c.blue() - color.blue()) < 40)
                ++n;
        }
    return n;
}

struct StyleCase {
    const char* name;
    const char* styleText;
    bool highlighted;
    QColor caption; // when highlighted
};

void PrintTo(const StyleCase& c, std::ostream* os) {
    *os << c.name;
}

class StyleServiceTest : public CheckBoxTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(StyleServiceTest, DrawsTheCaptionInTheStylesColourUntilReset) {
    const StyleCase& c = GetParam();
    box->SetForeColorRgb(0); // black, as the filter reset leaves it
    StyleService::Instance().SetStyle(box->hWnd(), QString::fromLatin1(c.styleText));
    EXPECT_EQ(box->property("highlighted").toBool(), c.highlighted);
    const QColor expected = c.highlighted ? c.caption : QColor(Qt::black);
    EXPECT_EQ(box->palette().color(QPalette::WindowText), expected);
    if (c.highlighted) {
        EXPECT_GT(pixelsNear(box, c.caption), 0);
    }
    EXPECT_EQ(box->Value(), 0); // styles never touch the value

    StyleService::Instance().ResetStyle(box->hWnd());
    EXPECT_FALSE(box->property("highlighted").toBool());
    EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(Qt::black));
    if (c.highlighted) {
        EXPECT_EQ(pixelsNear(box, c.caption), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CheckBox, StyleServiceTest,
    ::testing::Values(StyleCase{"highlight", "checkbutton.RGB-0-100-255", true, QColor(0, 100, 255)},
                      StyleCase{"other_colour", "checkbutton.RGB-200-0-0", true, QColor(200, 0, 0)},
                      StyleCase{"case_and_blanks", " CheckButton.rgb-0-100-255 ", true, QColor(0, 100, 255)},
                      StyleCase{"plain", "", false, {}},
                      StyleCase{"component_out_of_range", "checkbutton.RGB-0-100-256", false, {}},
                      StyleCase{"missing_component", "checkbutton.RGB-0-100", false, {}},
                      StyleCase{"other_control_class", "button.RGB-0-100-255", false, {}},
                      StyleCase{"not_a_number", "checkbutton.RGB-0-x-255", false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CheckBoxTest, PlainStyleReplacesAHighlightAndForeColourShowsAgain) {
    box->SetForeColorRgb(0x0000FF); // red in the host's colour number
    EXPECT_EQ(box->ForeColor(), QColor(255, 0, 0));
    StyleService::Instance().SetStyle(box->hWnd(), "checkbutton.RGB-0-100-255");
    box->SetForeColor(Qt::black); // the highlight still wins while applied
    EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(0, 100, 255));
    StyleService::Instance().SetStyle(box->hWnd(), "");
    EXPECT_FALSE(box->property("highlighted").toBool());
    EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(errorNumberOf([&] { box->SetForeColorRgb(0x1000000); }), 380);
}

TEST_F(CheckBoxTest, HandlesAreUniqueAndGoneWithTheirControl) {
    auto* other = new QzCheckBox(&form);
    EXPECT_NE(other->hWnd(), box->hWnd());
    EXPECT_EQ(WindowHandles::find(other->hWnd()), other);
    const int32_t handle = other->hWnd();
    delete other;
    EXPECT_EQ(WindowHandles::find(handle), nullptr);
    // Unknown handles are left alone.
    StyleService::Instance().SetStyle(handle, "checkbutton.RGB-0-100-255");
    StyleService::Instance().ResetStyle(12345);
    EXPECT_FALSE(box->property("highlighted").toBool());
}

TEST_F(CheckBoxTest, ServiceAndHandlesArePerThread) {
    const StyleService* here = &StyleService::Instance();
    const StyleService* there = nullptr;
    QWidget* foundThere = box;
    int32_t registeredThere = 0;
    std::thread worker([&] {
        there = &StyleService::Instance();
        foundThere = WindowHandles::find(box->hWnd());
        registeredThere = WindowHandles::add(box);
    });
    worker.join();
    EXPECT_NE(here, there);
    EXPECT_EQ(foundThere, nullptr);
    EXPECT_EQ(WindowHandles::find(registeredThere), nullptr);
    EXPECT_EQ(here, &StyleService::Instance());
}

// ---- Font object -----------------------------------------------------------------------------

TEST_F(CheckBoxTest, FontPropertiesByNameChangeTheWidgetsFont) {
    const ObjectRef font = box->Font();
    // In the order the language font procedure assigns them.
    font->put("Name", Variant("Tahoma"));
    font->put("Size", Variant(int16_t(8)));
    font->put("Charset", Variant(int16_t(0)));
    EXPECT_EQ(box->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(box->font().pointSizeF(), 8.0);
    font->put("FontName", Variant(QStringLiteral("宋体")));
    font->put("fontsize", Variant(9.0));
    font->put("FontCharset", Variant(int16_t(134)));
    EXPECT_EQ(box->font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(box->font().pointSizeF(), 9.0);
    EXPECT_EQ(font->get("Charset").toInteger(), 134);
    EXPECT_EQ(font->get("Name").toString(), QStringLiteral("宋体"));
    EXPECT_EQ(box->Font(), font); // one font object per control

    EXPECT_EQ(errorNumberOf([&] { font->put("Name", Variant("")); }), 380);
    EXPECT_EQ(box->font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(errorNumberOf([&] { font->put("Size", Variant(0.0)); }), 380);
    EXPECT_EQ(errorNumberOf([&] { font->put("Weight", Variant(int16_t(700))); }), 438);
}

TEST(CheckBoxFont, OutlivingItsControlRaisesInsteadOfCrashing) {
    ObjectRef font;
    {
        QzCheckBox box;
        font = box.Font();
    }
    EXPECT_EQ(errorNumberOf([&] { font->put("Size", Variant(9.0)); }), 91);
}

} // namespace
