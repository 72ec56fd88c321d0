// The JSON object the demo prints: keys, types, order and the rendering of traces.
#include "apps/demo/DemoReport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using sarvo::PropertyBag;
using sarvo::Variant;
using sarvo::demo::DemoReport;

namespace {

std::shared_ptr<PropertyBag> attributeObject() {
    return std::make_shared<PropertyBag>(QStringLiteral("RefAttribute"), DemoReport::attributeNames());
}

QJsonObject parse(const QByteArray& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << text.toStdString();
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

TEST(DemoReport, ConfirmedAccountWithMessages) {
    auto attrib = attributeObject();
    attrib->value(1) = Variant(QStringLiteral("10"));
    attrib->value(2) = Variant(QString());
    attrib->value(3) = Variant(QStringLiteral("1002"));
    attrib->value(4) = Variant(QString::fromUtf8("银行存款"));
    attrib->value(5) = Variant(QStringLiteral("Bank deposits"));
    attrib->value(6) = Variant(QString());
    attrib->value(7) = Variant(sarvo::kComTrue); // a COM boolean as the host stores it
    DemoReport report;
    report.setResult(true);
    report.setAttributes(attrib);
    report.setMessages({{QStringLiteral("无科目"), QStringLiteral("提示"), 64}});

    const QJsonObject o = parse(report.toText());
    QStringList expected = {QStringLiteral("result"), QStringLiteral("messages")};
    expected += DemoReport::attributeNames();
    QStringList keys = o.keys();
    keys.sort();
    expected.sort();
    EXPECT_EQ(keys, expected); // no trace or error unless a script asked
    EXPECT_EQ(o.value("result"), QJsonValue(true));
    EXPECT_EQ(o.value("Viewpara1"), QJsonValue("10"));
    EXPECT_EQ(o.value("Viewreturn1"), QJsonValue("1002"));
    EXPECT_EQ(o.value("Viewreturn2").toString(), QString::fromUtf8("银行存款"));
    EXPECT_EQ(o.value("Viewreturn3"), QJsonValue("Bank deposits"));
    EXPECT_EQ(o.value("Viewreturn4"), QJsonValue(""));
    EXPECT_EQ(o.value("ViewOK"), QJsonValue(true));
    ASSERT_EQ(o.value("messages").toArray().size(), 1);
    const QJsonObject m = o.value("messages").toArray()[0].toObject();
    EXPECT_EQ(m.value("prompt").toString(), QString::fromUtf8("无科目"));
    EXPECT_EQ(m.value("title").toString(), QString::fromUtf8("提示"));
    EXPECT_EQ(m.value("buttons"), QJsonValue(64));
}

TEST(DemoReport, NoObjectGivesNullForEveryProperty) {
    DemoReport report;
    report.setResult(false);
    report.setAttributes({});
    const QJsonObject o = parse(report.toText());
    EXPECT_EQ(o.value("result"), QJsonValue(false));
    for (const QString& name : DemoReport::attributeNames()) {
        ASSERT_TRUE(o.contains(name)) << name.toStdString();
        EXPECT_TRUE(o.value(name).isNull()) << name.toStdString();
    }
    EXPECT_EQ(o.value("messages"), QJsonValue(QJsonArray()));
}

TEST(DemoReport, ViewOkIsABooleanEvenBeforeAnythingSetsIt) {
    auto attrib = attributeObject();
    DemoReport report;
    report.setAttributes(attrib);
    EXPECT_EQ(report.toJson().value("ViewOK"), QJsonValue(false));
    EXPECT_TRUE(report.toJson().value("Viewpara1").isNull()); // Empty stays null
    attrib->value(7) = Variant(sarvo::kComFalse);
    report.setAttributes(attrib);
    EXPECT_EQ(report.toJson().value("ViewOK"), QJsonValue(false));
}

TEST(DemoReport, KeysComeOutInReadingOrder) {
    DemoReport report;
    report.setTrace({QJsonArray{QStringLiteral("z\t常用")}});
    report.setError({{QStringLiteral("line"), 3}});
    const QString text = QString::fromUtf8(report.toText());
    QStringList order = {QStringLiteral("result")};
    order += DemoReport::attributeNames();
    order += {QStringLiteral("messages"), QStringLiteral("trace"), QStringLiteral("error")};
    qsizetype last = -1;
    for (const QString& key : order) {
        const qsizetype at = text.indexOf(u'"' + key + u'"');
        ASSERT_GT(at, last) << key.toStdString() << " out of order in\n" << text.toStdString();
        last = at;
    }
}

TEST(DemoReport, TreeDumpReadsOneNodeALine) {
    DemoReport report;
    const QJsonArray dump = {QStringLiteral("a1\t资产 [+]"), QStringLiteral("  b1001\t1001 库存现金 [*]")};
    report.setTrace({dump, QJsonObject{{QStringLiteral("filter"), QStringLiteral("10")}}});
    const QByteArray text = report.toText();
    const QJsonObject o = parse(text);
    EXPECT_EQ(o.value("trace").toArray()[0].toArray(), dump);
    EXPECT_TRUE(text.contains(QStringLiteral("\n      \"a1\\t资产 [+]\",\n").toUtf8())) << text.toStdString();
    EXPECT_TRUE(text.contains("\n    {\"filter\":\"10\"}\n")) << text.toStdString();
}

struct ValueCase {
    Variant value;
    QJsonValue json;
};

void PrintTo(const ValueCase& p, std::ostream* os) {
    *os << p.value.typeName().toStdString();
}

class DemoReportValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DemoReportValues, VariantBecomesJson) {
    EXPECT_EQ(DemoReport::toJsonValue(GetParam().value), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(Variants, DemoReportValues,
                         ::testing::Values(ValueCase{Variant(), QJsonValue::Null},
                                           ValueCase{Variant::null(), QJsonValue::Null},
                                           ValueCase{Variant(int16_t(2018)), QJsonValue(2018)},
                                           ValueCase{Variant(int32_t(-7)), QJsonValue(-7)},
                                           ValueCase{Variant(true), QJsonValue(true)},
                                           ValueCase{Variant(1.5), QJsonValue(1.5)},
                                           ValueCase{Variant(QStringLiteral("noedit")), QJsonValue("noedit")},
                                           ValueCase{Variant::nothing(), QJsonValue::Null}));

} // namespace
