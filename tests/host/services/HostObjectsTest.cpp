// The host objects that need no account set: resource texts and dialog captions in each
// language, message boxes (real and scripted), the attribute object, login, database kit and
// account editor, as the component and the host reach them.
#include "host/services/CodeEditor.h"
#include "host/services/MessageService.h"
#include "host/services/ResourceTable.h"
#include "host/services/ZwPub.h"
#include "runtime/RuntimeError.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace sarvo::host::test {

namespace {

using Language = ResourceTable::Language;

template <class F> int errorOf(F&& f) try {
    f();
    return 0;
} catch (const RuntimeError& e) {
    return e.number();
}

std::shared_ptr<ZwPub> zwPubIn(const QString& language) {
    auto login = std::make_shared<LogIn>();
    login->setLanguageID(language);
    auto zwPub = std::make_shared<ZwPub>();
    zwPub->SetLogin(login);
    return zwPub;
}

template <class W> W* child(QWidget* parent, const char* name, const char* text = "designed") {
    auto* w = new W(QString::fromUtf8(text), parent);
    w->setObjectName(QString::fromUtf8(name));
    return w;
}

} // namespace

TEST(ResourceTable, EveryKeyTheComponentUsesHasTextInEveryLanguage) {
    // Messages and titles, then the dialog's captions: prefix and control object name.
    QStringList keys = {"Host.SA.Kelvorn.frmbadboy.01132"};
    for (const QString& name :
         QStringLiteral("NoKmNoRef tishiInfo NetInfo VBRes.Common NoKmReSelect KmSelectError").split(u' '))
        keys << "Host.GL.Sarvo." + name;
    for (const QString& control :
         QStringLiteral(
             "frmSarvo Frame1 fraGLXZ chkTreeDisp ChkFfc cmdGL Label10 optFilter(0) optFilter(1) "
             "cmdButton(0) cmdButton(1) cmdButton(2) cmdButton(3) chkChoice(0) chkChoice(1) chkChoice(2) "
             "chkChoice(3) chkChoice(4) chkChoice(5) chkChoice(6) chkChoice(7) chkChoice(8) chkChoice(9)")
             .split(u' '))
        keys << "Host.CW.GL.SARvo." + control;
    // The dialog's tooltips and hints; those naming what they are about carry its place holder.
    const QStringList withText = {"NoMatch", "Refused", "FavoriteAdd", "FavoriteRemove"};
    for (const QString& name :
         QStringLiteral("optFilter(0) optFilter(1) ChkFfc FavoriteNone FavoriteCannot Name "
                        "EnglishName Path Closed Context")
                 .split(u' ') +
             withText)
        keys << "Host.GL.Sarvo.Ui." + name;
    for (const QString& name : withText)
        for (const Language language : {Language::ZhCn, Language::ZhTw, Language::EnUs})
            EXPECT_EQ(ResourceTable::text("Host.GL.Sarvo.Ui." + name, language).value_or("").count("%1"), 1)
                << name.toStdString() << " " << int(language);
    for (const QString& key : keys) {
        for (const Language language : {Language::ZhCn, Language::ZhTw, Language::EnUs})
            EXPECT_FALSE(ResourceTable::text(key, language).value_or("").trimmed().isEmpty())
                << key.toStdString() << " " << int(language);
        // English texts must not be left in Chinese.
        for (const QChar ch : ResourceTable::text(key, Language::EnUs).value_or(""))
            EXPECT_LT(ch.unicode(), 0x2E80) << key.toStdString();
    }
}

TEST(ResString, ChoosesTheLoginLanguageAndFallsBackToEnglish) {
    struct Case {
        const char *language, *key, *text;
    };
    for (const Case& c : {Case{"zh-cn", "Host.GL.Sarvo.VBRes.Common", "常用科目"},
                          Case{"ZH-TW", "host.gl.sarvo.NOKMRESELECT", "該科目已不存在，請重新選擇科目。"},
                          Case{"en-us", "Host.GL.Sarvo.VBRes.Common", "Favorite accounts"},
                          Case{"ja-jp", "Host.SA.Kelvorn.frmbadboy.01132", "Display as tree"}})
        EXPECT_EQ(zwPubIn(c.language)->ResString(c.key), QString::fromUtf8(c.text))
            << c.language << " " << c.key;
    EXPECT_EQ(ZwPub().ResString("Host.GL.Sarvo.tishiInfo"), "提示")
        << "the host's own language before a login";
    EXPECT_EQ(errorOf([] { zwPubIn("en-us")->ResString("Host.GL.Sarvo.NoSuchKey"); }), 5);
}

TEST(SetFormCaptions, CaptionsEveryNamedControlThatHasAKey) {
    struct Case {
        const char *language, *prefix;
        const char* captions; // form, group, check box in the group, label
    };
    for (const Case& c :
         {Case{"zh-cn", "Host.CW.GL.SARvo.", "科目参照|过滤条件|部门核算|正在进入科目编辑，请稍候..."},
          Case{"zh-tw", "Host.CW.GL.SARvo.", "科目參照|過濾條件|部門核算|正在進入科目編輯，請稍候..."},
          Case{"en-us", "Host.CW.GL.SARvo.",
               "Account reference|Filter conditions|Dept.|Opening account editing, please wait..."},
          Case{"en-us", "Host.CW.GL.Other.", "designed|designed|designed|designed"}}) {
        SCOPED_TRACE(c.prefix + std::string(c.language));
        QWidget form;
        form.setObjectName("frmSarvo");
        form.setWindowTitle("designed");
        auto* group = child<QGroupBox>(&form, "fraGLXZ");
        auto* check = child<QCheckBox>(group, "chkChoice(3)");
        auto* label = child<QLabel>(&form, "Label10");
        auto* edit = child<QLineEdit>(&form, "Frame1", "typed"); // a kind without a caption
        auto* unkeyed = child<QPushButton>(&form, "cmdOther");
        auto* unnamed = child<QPushButton>(&form, "");
        QString error;
        EXPECT_TRUE(zwPubIn(c.language)->SetFormCaptions(&form, c.prefix, "", error));
        EXPECT_EQ(QStringList({form.windowTitle(), group->title(), check->text(), label->text()}).join(u'|'),
                  QString::fromUtf8(c.captions));
        EXPECT_EQ(edit->text() + unkeyed->text() + unnamed->text() + error, "typeddesigneddesigned");
    }
    QString error;
    EXPECT_FALSE(zwPubIn("en-us")->SetFormCaptions(nullptr, "Host.CW.GL.SARvo.", "", error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(MessageService, ScriptedRunsRecordEveryMessageAndAnswerOk) {
    MessageService::setScripted(true);
    MessageService::clear();
    auto zwPub = zwPubIn("zh-cn");
    Variant prompt("没有科目"), buttons(int32_t(64)), title("提示"), help(""), context(int32_t(0));
    EXPECT_EQ(zwPub->ShowMsg(prompt, buttons, title, help, context), 1);
    EXPECT_EQ(zwPub->call("ShowMsg", {"late-bound", int32_t(4 + 32)}), Variant(int32_t(1))); // no title
    EXPECT_EQ(MessageService::show("direct", 3 + 48, "title"), 1);
    QStringList shown;
    for (const ShownMessage& m : MessageService::shown())
        shown << QStringLiteral("%1|%2|%3").arg(m.prompt, m.title).arg(m.buttons);
    EXPECT_EQ(shown, QStringList({"没有科目|提示|64", "late-bound||36", "direct|title|51"}));
    MessageService::clear();
    EXPECT_TRUE(MessageService::shown().isEmpty());
}

// Outside scripted runs a real box comes up; the test plays the user and presses a button.
TEST(MessageService, ARealBoxShowsTheStylesIconAndButtonsAndReportsThePressedOne) {
    using B = QMessageBox;
    MessageService::setScripted(false);
    for (const auto& [style, icon, buttons, press, answer] :
         std::initializer_list<std::tuple<int, B::Icon, B::StandardButtons, B::StandardButton, int>>{
             {64, B::Information, B::Ok, B::Ok, 1},
             {1 + 48, B::Warning, B::Ok | B::Cancel, B::Cancel, 2},
             {3 + 16, B::Critical, B::Yes | B::No | B::Cancel, B::Yes, 6},
             {4 + 32, B::Question, B::Yes | B::No, B::No, 7}}) {
        QString seen;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<B*>(QApplication::activeModalWidget());
            if (!box) return;
            poll.stop();
            seen = QStringLiteral("%1: %2 %3 %4")
                       .arg(box->windowTitle(), box->text())
                       .arg(int(box->icon()))
                       .arg(box->standardButtons().toInt());
            box->button(press)->click();
        });
        poll.start(10);
        EXPECT_EQ(MessageService::show("the prompt", style, "the title"), answer) << style;
        EXPECT_EQ(seen, QStringLiteral("the title: the prompt %1 %2").arg(int(icon)).arg(buttons.toInt()))
            << style;
    }
    MessageService::setScripted(true);
    MessageService::clear();
}

TEST(RefAttribute, HasTheSevenPropertiesInInterfaceOrderAndABooleanViewOK) {
    RefAttribute a;
    QStringList names;
    for (int i = 1; i <= a.propertyCount(); ++i)
        names << a.propertyName(i);
    EXPECT_EQ(names.join(u','), "Viewpara1,Viewpara2,Viewreturn1,Viewreturn2,Viewreturn3,Viewreturn4,ViewOK");
    // Positions and names reach the same storage; values other than ViewOK are kept as given.
    a.putAt(1, "1001");
    a.put("viewpara2", int32_t(5));
    EXPECT_EQ(a.get("Viewpara1"), Variant("1001"));
    EXPECT_EQ(a.getAt(2), Variant(int32_t(5)));
    EXPECT_TRUE(a.getAt(3).isEmpty());

    EXPECT_EQ(a.getAt(7), Variant(false)) << "a Boolean starts False";
    for (const auto& [put, stored] : std::initializer_list<std::pair<Variant, bool>>{{true, true},
                                                                                     {int16_t(-1), true},
                                                                                     {int16_t(0), false},
                                                                                     {int32_t(2), true},
                                                                                     {"True", true},
                                                                                     {"False", false},
                                                                                     {"-1", true},
                                                                                     {0.0, false},
                                                                                     {Variant(), false}}) {
        a.putAt(7, !stored); // from the other value
        a.putAt(7, put);
        EXPECT_EQ(a.get("viewok"), Variant(stored)) << put.toDisplayText().toStdString();
        EXPECT_EQ(a.viewOK(), stored);
    }
    a.put("ViewOK", true);
    for (const auto& [put, error] : {std::pair{Variant("yes please"), 13}, {Variant::null(), 94}}) {
        EXPECT_EQ(errorOf([&] { a.put("ViewOK", put); }), error);
        EXPECT_TRUE(a.viewOK()) << "a refused value leaves the flag as it was";
    }
}

TEST(LogIn, PropertiesReadBackAndEveryLoginHasItsOwnStamp) {
    LogIn login;
    EXPECT_EQ(login.LanguageID(), "zh-cn");
    login.put("LoginYear", int16_t(2024));
    login.put("languageid", "en-us");
    login.put("LoginId", "demo");
    EXPECT_EQ(login.LoginYear() + login.LanguageID() + login.LoginId(), "2024en-usdemo");
    EXPECT_EQ(errorOf([&] { login.put("LoginStamp", "x"); }), 438) << "the stamp is the host's";
    const QString stamp = login.get("LoginStamp").toString();
    EXPECT_NE(stamp, LogIn().LoginStamp().toString());
    // Part of a table name after the user id: the process, no blanks or brackets.
    EXPECT_TRUE(stamp.contains(QString::number(QCoreApplication::applicationPid())));
    EXPECT_FALSE(stamp.contains(u' ') || stamp.contains(u']')) << stamp.toStdString();
}

TEST(DbKitAndCodeEditor, HoldTheObjectsTheyWereGiven) {
    DbKit kit("sqlite:/tmp/sarvo-services-kit-test.db");
    EXPECT_EQ(kit.Connection()->state(), db::Connection::Closed);
    EXPECT_EQ(kit.Connection()->connectionString(), "sqlite:/tmp/sarvo-services-kit-test.db");
    EXPECT_EQ(kit.get("connection").toObject(), kit.Connection());

    auto editor = std::make_shared<CodeEditor>();
    auto zwPub = std::make_shared<ZwPub>();
    auto login = std::make_shared<LogIn>();
    editor->put("ZwPub", zwPub);
    editor->put("Login", login);
    EXPECT_EQ(editor->get("zwpub").toObject(), zwPub);
    EXPECT_EQ(editor->get("login").toObject(), login);
    EXPECT_EQ(errorOf([&] { editor->put("ZwPub", login); }), 13);
    EXPECT_EQ(errorOf([&] { editor->put("Login", zwPub); }), 13);
    const int before = CodeEditor::runCount();
    editor->call("Run");
    EXPECT_EQ(CodeEditor::runCount(), before + 1);
}

} // namespace sarvo::host::test
