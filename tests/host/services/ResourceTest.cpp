// Resource texts, dialog captions and message boxes: what the user reads in each language.
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
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace sarvo::host::test {

namespace {

using Language = ResourceTable::Language;
constexpr Language kLanguages[] = {Language::ZhCn, Language::ZhTw, Language::EnUs};

std::shared_ptr<ZwPub> zwPubIn(const QString& language) {
    auto login = std::make_shared<LogIn>();
    login->setLanguageID(language);
    auto zwPub = std::make_shared<ZwPub>();
    zwPub->SetLogin(login);
    return zwPub;
}

// Every key the component looks up, by resource key or by caption prefix and object name.
const QStringList kComponentKeys = {
    "Host.GL.Sarvo.NoKmNoRef",       "Host.GL.Sarvo.tishiInfo",       "Host.SA.Kelvorn.frmbadboy.01132",
    "Host.GL.Sarvo.VBRes.Common",    "Host.GL.Sarvo.NoKmReSelect",    "Host.GL.Sarvo.KmSelectError",
    "Host.GL.Sarvo.NetInfo",         "Host.CW.GL.SARvo.frmSarvo",     "Host.CW.GL.SARvo.Frame1",
    "Host.CW.GL.SARvo.fraGLXZ",      "Host.CW.GL.SARvo.chkTreeDisp",  "Host.CW.GL.SARvo.ChkFfc",
    "Host.CW.GL.SARvo.cmdGL",        "Host.CW.GL.SARvo.optFilter(0)", "Host.CW.GL.SARvo.optFilter(1)",
    "Host.CW.GL.SARvo.chkChoice(0)", "Host.CW.GL.SARvo.chkChoice(1)", "Host.CW.GL.SARvo.chkChoice(2)",
    "Host.CW.GL.SARvo.chkChoice(3)", "Host.CW.GL.SARvo.chkChoice(4)", "Host.CW.GL.SARvo.chkChoice(5)",
    "Host.CW.GL.SARvo.chkChoice(6)", "Host.CW.GL.SARvo.chkChoice(7)", "Host.CW.GL.SARvo.chkChoice(8)",
    "Host.CW.GL.SARvo.chkChoice(9)", "Host.CW.GL.SARvo.cmdButton(0)", "Host.CW.GL.SARvo.cmdButton(1)",
    "Host.CW.GL.SARvo.cmdButton(2)", "Host.CW.GL.SARvo.cmdButton(3)", "Host.CW.GL.SARvo.Label10",
};

} // namespace

TEST(ResourceTable, EveryKeyTheComponentUsesHasTextInEveryLanguage) {
    for (const QString& key : kComponentKeys)
        EXPECT_TRUE(ResourceTable::keys().contains(key)) << key.toStdString();
    for (const QString& key : ResourceTable::keys()) {
        for (const Language language : kLanguages) {
            const auto text = ResourceTable::text(key, language);
            ASSERT_TRUE(text.has_value()) << key.toStdString();
            EXPECT_FALSE(text->trimmed().isEmpty()) << key.toStdString() << " language " << int(language);
        }
        // English texts must not be left in Chinese.
        const QString english = *ResourceTable::text(key, Language::EnUs);
        for (const QChar ch : english)
            EXPECT_LT(ch.unicode(), 0x2E80) << key.toStdString();
    }
}

TEST(ResourceTable, CaptionsRepeatTheDesignedChineseCaptions) {
    struct Case {
        const char* control;
        const char* zhCn;
        const char* zhTw;
    };
    const Case cases[] = {
        {"Frame1", "模糊匹配定位：", "模糊匹配定位："},
        {"fraGLXZ", "过滤条件", "過濾條件"},
        {"chkTreeDisp", "按树型显示", "按樹型顯示"},
        {"ChkFfc", "非封存", "非封存"},
        {"cmdGL", "过滤", "過濾"},
        {"optFilter(0)", "左", "左"},
        {"optFilter(1)", "包含", "包含"},
        {"chkChoice(0)", "个人往来", "個人往來"},
        {"chkChoice(1)", "客户往来", "客戶往來"},
        {"chkChoice(2)", "供应商往来", "供應商往來"},
        {"chkChoice(3)", "部门核算", "部門核算"},
        {"chkChoice(4)", "项目核算", "項目核算"},
        {"chkChoice(5)", "外币核算", "外幣核算"},
        {"chkChoice(6)", "数量核算", "數量核算"},
        {"chkChoice(7)", "末级科目", "末級科目"},
        {"chkChoice(8)", "日记账", "日記賬"},
        {"chkChoice(9)", "银行账", "銀行賬"},
        {"cmdButton(0)", "确定", "確定"},
        {"cmdButton(1)", "常用", "常用"},
        {"cmdButton(2)", "编辑", "編輯"},
        {"cmdButton(3)", "取消", "取消"},
        {"Label10", "正在进入科目编辑，请稍候...", "正在進入科目編輯，請稍候..."},
    };
    for (const Case& c : cases) {
        const QString key = QStringLiteral("Host.CW.GL.SARvo.") + QLatin1String(c.control);
        EXPECT_EQ(ResourceTable::text(key, Language::ZhCn), QString::fromUtf8(c.zhCn)) << c.control;
        EXPECT_EQ(ResourceTable::text(key, Language::ZhTw), QString::fromUtf8(c.zhTw)) << c.control;
    }
}

TEST(ResString, ChoosesTheLoginLanguageAndFallsBackToEnglish) {
    struct Case {
        const char* language;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"zh-cn", "Host.GL.Sarvo.VBRes.Common", "常用科目"},
        {"ZH-TW", "Host.GL.Sarvo.VBRes.Common", "常用科目"},
        {"en-us", "Host.GL.Sarvo.VBRes.Common", "Recently used accounts"},
        {"ja-jp", "Host.GL.Sarvo.VBRes.Common", "Recently used accounts"},
        {"", "Host.SA.Kelvorn.frmbadboy.01132", "Display as tree"},
        {"zh-cn", "host.sa.kelvorn.FRMBADBOY.01132", "按树型显示"},
        {"zh-tw", "Host.GL.Sarvo.NoKmReSelect", "該科目已不存在，請重新選擇科目。"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zwPubIn(c.language)->ResString(c.key), QString::fromUtf8(c.expected))
            << c.language << " " << c.key;

    ZwPub withoutLogin; // the host's own language until a login is set
    EXPECT_EQ(withoutLogin.ResString("Host.GL.Sarvo.tishiInfo"), "提示");
}

TEST(ResString, AnUnknownKeyIsAnErrorThatNamesTheKey) {
    try {
        zwPubIn("en-us")->ResString("Host.GL.Sarvo.NoSuchKey");
        FAIL() << "no error raised";
    } catch (const RuntimeError& e) {
        EXPECT_NE(e.number(), 0);
        EXPECT_TRUE(e.description().contains("Host.GL.Sarvo.NoSuchKey")) << e.description().toStdString();
    }
}

TEST(SetFormCaptions, CaptionsEveryNamedControlThatHasAKey) {
    struct Case {
        const char* language;
        const char* form;
        const char* group;
        const char* check;
        const char* radio;
        const char* button;
        const char* label;
    };
    const Case cases[] = {
        {"zh-cn", "Sarvo", "过滤条件", "部门核算", "包含", "确定", "正在进入科目编辑，请稍候..."},
        {"zh-tw", "Sarvo", "過濾條件", "部門核算", "包含", "確定", "正在進入科目編輯，請稍候..."},
        {"en-us", "Sarvo", "Filter conditions", "Dept.", "Any", "OK",
         "Opening account editing, please wait..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        QWidget form;
        form.setObjectName("frmSarvo");
        auto* group = new QGroupBox("designed", &form);
        group->setObjectName("fraGLXZ");
        auto* check = new QCheckBox("designed", group); // a grandchild
        check->setObjectName("chkChoice(3)");
        auto* radio = new QRadioButton("designed", &form);
        radio->setObjectName("optFilter(1)");
        auto* button = new QPushButton("designed", &form);
        button->setObjectName("cmdButton(0)");
        auto* label = new QLabel("designed", &form);
        label->setObjectName("Label10");
        auto* edit = new QLineEdit("typed", &form); // a kind without a caption
        edit->setObjectName("Frame1");
        auto* unkeyed = new QPushButton("designed", &form);
        unkeyed->setObjectName("cmdOther");
        auto* unnamed = new QPushButton("designed", &form);

        QString error = "stale";
        error.clear();
        EXPECT_TRUE(zwPubIn(c.language)->SetFormCaptions(&form, "Host.CW.GL.SARvo.", "", error));
        EXPECT_TRUE(error.isEmpty());
        EXPECT_EQ(form.windowTitle(), QString::fromUtf8(c.form));
        EXPECT_EQ(group->title(), QString::fromUtf8(c.group));
        EXPECT_EQ(check->text(), QString::fromUtf8(c.check));
        EXPECT_EQ(radio->text(), QString::fromUtf8(c.radio));
        EXPECT_EQ(button->text(), QString::fromUtf8(c.button));
        EXPECT_EQ(label->text(), QString::fromUtf8(c.label));
        EXPECT_EQ(edit->text(), "typed");
        EXPECT_EQ(unkeyed->text(), "designed");
        EXPECT_EQ(unnamed->text(), "designed");
    }
}

TEST(SetFormCaptions, AnotherPrefixOrNoFormChangesNothing) {
    QWidget form;
    form.setObjectName("frmSarvo");
    form.setWindowTitle("designed");
    QString error;
    EXPECT_TRUE(zwPubIn("en-us")->SetFormCaptions(&form, "Host.CW.GL.Other.", "", error));
    EXPECT_EQ(form.windowTitle(), "designed");
    EXPECT_FALSE(zwPubIn("en-us")->SetFormCaptions(nullptr, "Host.CW.GL.SARvo.", "", error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(MessageService, ScriptedRunsRecordTheMessageAndAnswerOk) {
    MessageService::setScripted(true);
    MessageService::clear();
    for (const int buttons : {0, 4 + 32, 3 + 48})
        EXPECT_EQ(MessageService::show(QString("prompt %1").arg(buttons), buttons, "title"), 1);
    const auto shown = MessageService::shown();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[1].prompt, "prompt 36");
    EXPECT_EQ(shown[1].buttons, 36);
    EXPECT_EQ(shown[2].title, "title");
    MessageService::clear();
    EXPECT_TRUE(MessageService::shown().isEmpty());
}

// Outside scripted runs a real box comes up; the test plays the user and presses a button.
TEST(MessageService, ARealBoxShowsTheStylesIconAndButtonsAndReportsThePressedOne) {
    struct Case {
        int style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;
        int answer;
    };
    const Case cases[] = {
        {64, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, 1},
        {1 + 48, QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, 2},
        {3 + 16, QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         QMessageBox::Yes, 6},
        {4 + 32, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, 7},
    };
    MessageService::setScripted(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons seenButtons;
        QString seenText, seenTitle;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            poll.stop();
            seenIcon = box->icon();
            seenButtons = box->standardButtons();
            seenText = box->text();
            seenTitle = box->windowTitle();
            box->button(c.press)->click();
        });
        poll.start();
        EXPECT_EQ(MessageService::show("the prompt", c.style, "the title"), c.answer);
        EXPECT_EQ(seenIcon, c.icon);
        EXPECT_EQ(seenButtons, c.buttons);
        EXPECT_EQ(seenText, "the prompt");
        EXPECT_EQ(seenTitle, "the title");
    }
    MessageService::setScripted(true);
    MessageService::clear();
}

} // namespace sarvo::host::test
