// Check boxes as the attribute filter uses them: Value and Click, the style service drawing a
// caption in the highlight colour and back (found by window handle), fore colour, and the
// late-bound Font object.
#include "ControlsTestSupport.h"

#include "host/controls/ControlFont.h"
#include "host/controls/QzCheckBox.h"
#include "host/controls/StyleService.h"
#include "host/controls/WindowHandles.h"

#include <QTest>

using namespace sarvo;
using namespace sarvo::controls;
using sarvo::controls::testing::errorNumberOf;

namespace {

class CheckBox : public ::testing::Test {
protected:
    void SetUp() override {
        box->SetCaption("Supplier WWWWW");
        box->Move(120, 300, 2400, 375);
        QObject::connect(box, &QzCheckBox::Click, box, [this] { clicks << box->Value(); });
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void clickBox() { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); }
    void style(const char* text) { StyleService::Instance().SetStyle(box->hWnd(), text); }
    QColor caption() const { return box->palette().color(QPalette::WindowText); }
    bool shows(const QColor& color) const { // anti-aliased caption pixels count
        const QImage shot = box->grab().toImage();
        for (int i = 0; i < shot.width() * shot.height(); ++i) {
            const QColor c = shot.pixelColor(i % shot.width(), i / shot.width());
            if (qAbs(c.red() - color.red()) + qAbs(c.green() - color.green()) +
                    qAbs(c.blue() - color.blue()) <
                60)
                return true;
        }
        return false;
    }
    QWidget form;
    QzCheckBox* box = new QzCheckBox(&form);
    QList<int> clicks; // the value each Click saw
};

TEST_F(CheckBox, OnlyTheUserTogglingRaisesClickAfterTheValueChanged) {
    clickBox();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    clickBox();
    box->SetValue(0);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(errorNumberOf([&] { box->SetValue(2); }), 380);
    box->SetEnabled(false);
    clickBox();
    EXPECT_EQ(box->Value(), 0);
    EXPECT_EQ(clicks, (QList<int>{1, 0, 1}));
}

TEST_F(CheckBox, StylesDrawTheCaptionInTheirColourUntilReset) {
    box->SetForeColorRgb(0x800000); // dark blue in the host's colour number (0xBBGGRR)
    for (const auto& [text, highlight] :
         {std::pair{"checkbutton.RGB-0-100-255", std::optional(QColor(0, 100, 255))},
          {"checkbutton.RGB-200-0-0", QColor(200, 0, 0)},
          {" CheckButton.rgb-0-100-255 ", QColor(0, 100, 255)},
          {"", std::nullopt},
          {"checkbutton.RGB-0-100-256", std::nullopt},
          {"checkbutton.RGB-0-100", std::nullopt},
          {"button.RGB-0-100-255", std::nullopt},
          {"checkbutton.RGB-0-x-255", std::nullopt}}) {
        style(text);
        EXPECT_EQ(box->property("highlighted").toBool(), highlight.has_value()) << text;
        EXPECT_EQ(caption(), highlight.value_or(Qt::darkBlue)) << text;
        EXPECT_TRUE(!highlight || shows(*highlight)) << text;
        StyleService::Instance().ResetStyle(box->hWnd());
        EXPECT_EQ(caption(), QColor(Qt::darkBlue)) << text;
        EXPECT_TRUE(!highlight || !shows(*highlight)) << text;
    }
    EXPECT_EQ(box->Value(), 0); // styles never touch the value
    style("checkbutton.RGB-0-100-255");
    box->SetForeColor(Qt::black); // the highlight wins until a plain style replaces it
    EXPECT_EQ(caption(), QColor(0, 100, 255));
    style("");
    EXPECT_EQ(caption(), QColor(Qt::black));
    EXPECT_EQ(errorNumberOf([&] { box->SetForeColorRgb(0x1000000); }), 380);
}

TEST_F(CheckBox, HandlesAreUniqueAndGoneWithTheirControl) {
    auto* other = new QzCheckBox(&form);
    const int32_t handle = other->hWnd();
    EXPECT_NE(handle, box->hWnd());
    EXPECT_EQ(WindowHandles::find(handle), other);
    delete other;
    EXPECT_EQ(WindowHandles::find(handle), nullptr);
    StyleService::Instance().SetStyle(handle, "checkbutton.RGB-0-100-255"); // a stale handle is ignored
}

TEST_F(CheckBox, FontPropertiesByEitherNameChangeTheWidgetsFont) {
    const ObjectRef font = box->Font();
    font->put("Name", Variant("Tahoma"));
    font->put("fontsize", Variant(9.0));
    EXPECT_EQ(box->font().family(), "Tahoma");
    EXPECT_EQ(box->font().pointSizeF(), 9.0);
    font->put("FontName", Variant(QStringLiteral("宋体")));
    font->put("Charset", Variant(int16_t(134)));
    EXPECT_EQ(font->get("Name").toString(), QStringLiteral("宋体"));
    EXPECT_EQ(font->get("FontCharset").toInteger(), 134);
    EXPECT_EQ(box->Font(), font); // one font object per control
    EXPECT_EQ(errorNumberOf([&] { font->put("Name", Variant("")); }), 380);
    EXPECT_EQ(errorNumberOf([&] { font->put("Size", Variant(0.0)); }), 380);
    EXPECT_EQ(errorNumberOf([&] { font->put("Weight", Variant(int16_t(700))); }), 438);
    delete box;
    EXPECT_EQ(errorNumberOf([&] { font->put("Size", Variant(9.0)); }), 91); // outlived its control
}

} // namespace
