// The module procedures through which the component reaches the host: connection, resource
// texts with their failure message, and the language-dependent font.
#include "component/basSarvo.h"
#include "host/services/MessageService.h"
#include "runtime/RuntimeError.h"
#include "tests/support/HostFixture.h"

#include <gtest/gtest.h>

using namespace sarvo;
using sarvo::testing::HostFixture;

namespace {

// A font object like the control set's, recording assignments; it refuses an empty name.
class RecordingFont : public DispatchObject {
public:
    RecordingFont() : DispatchObject("Font") {
        for (const char* member : {"Name", "FontName"})
            defineProperty(
                member, [] { return Variant(); },
                [this, member](const Variant& v) {
                    if (v.toString().isEmpty()) raise(ErrorCode::InvalidProcedureCall, "empty font name");
                    assigned << QString("%1=%2").arg(member, v.toString());
                });
        for (const char* member : {"Size", "Charset", "FontSize", "FontCharset"})
            defineProperty(
                member, [] { return Variant(); },
                [this, member](const Variant& v) { assigned << QString("%1=%2").arg(member, v.toString()); });
    }
    QStringList assigned;
};

TEST(SetFontByLanguage, ChoosesTheFontByLanguageAndSystem) {
    struct Case {
        const char* language;
        int systemLangId;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"EN-US",
         2052,
         {"Name=Tahoma", "Size=8", "Charset=0", "FontName=Tahoma", "FontSize=8", "FontCharset=0"}},
        {"zh-cn",
         2052,
         {"Name=宋体", "Size=9", "Charset=134", "FontName=宋体", "FontSize=9", "FontCharset=134"}},
        {"zh-tw",
         1028,
         {"Name=SimSun", "Size=9", "Charset=134", "FontName=SimSun", "FontSize=9", "FontCharset=134"}},
        {"zh-cn",
         1033,
         {"Name=SimSun", "Size=9", "Charset=134", "FontName=SimSun", "FontSize=9", "FontCharset=134"}},
        // An empty name is refused by the font; the other assignments still happen.
        {"zh-cn", 1041, {"Size=9", "Charset=134", "FontSize=9", "FontCharset=134"}},
    };
    for (const Case& c : cases) {
        basSarvo::overrideSystemDefaultLangID(c.systemLangId);
        auto font = std::make_shared<RecordingFont>();
        QString language = c.language;
        basSarvo::SetFontByLanguage(font, language);
        EXPECT_EQ(font->assigned, c.expected) << c.language << " " << c.systemLangId;
        EXPECT_EQ(language, QString(c.language).toLower()) << "lower-cased in place";
    }
    basSarvo::overrideSystemDefaultLangID(std::nullopt);
    QString language = "en-us";
    EXPECT_NO_THROW(basSarvo::SetFontByLanguage(nullptr, language)) << "never fails";
}

TEST(SetFontByLanguage, SystemLanguageIdComesFromTheLocale) {
    const std::vector<std::pair<QLocale, int>> cases = {
        {QLocale(QLocale::Chinese, QLocale::China), 2052},
        {QLocale(QLocale::Chinese, QLocale::Taiwan), 1028},
        {QLocale(QLocale::English, QLocale::UnitedStates), 1033},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), 2057},
        {QLocale(QLocale::Japanese, QLocale::Japan), 1041},
        {QLocale(QLocale::German, QLocale::Austria), 1031},
    };
    for (const auto& [locale, id] : cases)
        EXPECT_EQ(basSarvo::languageIdOfLocale(locale), id) << locale.name().toStdString();
}

class ModuleProcedures : public ::testing::Test {
protected:
    void SetUp() override {
        basSarvo::setZwPub(host.zwPub);
        basSarvo::setLogin(host.login);
        host.zwPub->SetLogin(host.login);
        host.zwPub->InitContext(Variant(host.kit), "demo", "001", 2024, "demo", QDateTime::currentDateTime());
    }
    void TearDown() override {
        basSarvo::setZwPub(nullptr);
        basSarvo::setLogin(nullptr);
    }
    HostFixture host;
};

TEST_F(ModuleProcedures, GetConnectionReturnsTheHostsConnectionAndReopensIt) {
    const auto first = basSarvo::GetConnection();
    EXPECT_EQ(first, host.kit->Connection());
    EXPECT_EQ(first->state(), db::Connection::Open);
    first->close();
    const auto second = basSarvo::GetConnection();
    EXPECT_EQ(second, first);
    EXPECT_EQ(second->state(), db::Connection::Open);
    EXPECT_FALSE(second->execute("select * from code where iYear=2024")->eof());
}

TEST_F(ModuleProcedures, GetResStringShowsTheHostsErrorOnceAndGivesEmptyText) {
    EXPECT_FALSE(basSarvo::GetResString("Host.GL.Sarvo.tishiInfo").isEmpty());
    EXPECT_TRUE(host::MessageService::shown().isEmpty());
    EXPECT_EQ(basSarvo::GetResString("Host.GL.Sarvo.NoSuchKey"), "");
    const auto shown = host::MessageService::shown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].buttons, 0);
    EXPECT_EQ(shown[0].title, "");
    EXPECT_FALSE(shown[0].prompt.isEmpty());
}

TEST_F(ModuleProcedures, ApplyCaptionsReportsOnlyThroughTheErrorText) {
    QWidget form;
    form.setObjectName("frmSarvo");
    QString error = "stale";
    basSarvo::ApplyCaptions(&form, "Host.CW.GL.SARvo.", "", error);
    EXPECT_EQ(error, "");
    EXPECT_FALSE(form.windowTitle().isEmpty());
    error = "stale";
    basSarvo::ApplyCaptions(nullptr, "Host.CW.GL.SARvo.", "", error);
    EXPECT_FALSE(error.isEmpty()) << "a form that is not there is reported in the error text";
}

} // namespace
