// The JSON object the demo prints: keys, types, order and the rendering of traces.
#include "apps/demo/DemoReport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using sarvo::PropertyBag;
using sarvo::Variant;
using sarvo::demo::DemoReport;

namespace {

std::string text(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

// The printed report read back; keys sorted, so equal objects print alike.
std::string printed(const DemoReport& report) {
    return text(QJsonDocument::fromJson(report.toText()).object());
}

TEST(DemoReport, ConfirmedAccountWithAMessage) {
    auto attributes = std::make_shared<PropertyBag>("RefAttribute", DemoReport::attributeNames());
    const QStringList values = {"10", "", "1002", "银行存款", "Bank deposits", ""};
    for (int i = 0; i < values.size(); ++i)
        attributes->value(i + 1) = Variant(values[i]);
    attributes->value(7) = Variant(sarvo::kComTrue); // a COM boolean as the host stores it
    DemoReport report;
    report.setResult(true);
    report.setAttributes(attributes);
    report.setMessages({{"无科目", "提示", 64}});
    EXPECT_EQ(printed(report),
              text({{"result", true},
                    {"Viewpara1", "10"},
                    {"Viewpara2", ""},
                    {"Viewreturn1", "1002"},
                    {"Viewreturn2", "银行存款"},
                    {"Viewreturn3", "Bank deposits"},
                    {"Viewreturn4", ""},
                    {"ViewOK", true},
                    {"messages",
                     QJsonArray{QJsonObject{{"prompt", "无科目"}, {"title", "提示"}, {"buttons", 64}}}}}));
}

TEST(DemoReport, EveryPropertyIsNullWithoutAnObjectAndViewOkIsABooleanWithOne) {
    DemoReport report;
    EXPECT_EQ(printed(report), text({{"result", false},
                                     {"Viewpara1", {}},
                                     {"Viewpara2", {}},
                                     {"Viewreturn1", {}},
                                     {"Viewreturn2", {}},
                                     {"Viewreturn3", {}},
                                     {"Viewreturn4", {}},
                                     {"ViewOK", {}},
                                     {"messages", QJsonArray()}}));
    report.setAttributes(std::make_shared<PropertyBag>("RefAttribute", DemoReport::attributeNames()));
    EXPECT_EQ(report.toJson().value("ViewOK"), QJsonValue(false)); // before anything sets it
    EXPECT_TRUE(report.toJson().value("Viewpara1").isNull());
}

TEST(DemoReport, KeysComeOutInReadingOrderAndTheTreeDumpOneNodeALine) {
    DemoReport report;
    report.setTrace(
        {QJsonArray{"a1\t资产 [+]", "  b1001\t1001 库存现金 [*]"}, QJsonObject{{"filter", "10"}}});
    report.setError({{"line", 3}});
    const QString out = QString::fromUtf8(report.toText());
    QStringList order =
        QStringList{"result"} + DemoReport::attributeNames() + QStringList{"messages", "trace", "error"};
    for (qsizetype i = 1; i < order.size(); ++i)
        EXPECT_LT(out.indexOf(u'"' + order[i - 1] + u'"'), out.indexOf(u'"' + order[i] + u'"'))
            << order[i].toStdString();
    EXPECT_TRUE(out.contains("\n      \"a1\\t资产 [+]\",\n")) << out.toStdString();
    EXPECT_TRUE(out.contains("\n    {\"filter\":\"10\"}\n")) << out.toStdString();
}

TEST(DemoReport, VariantsBecomeJsonValues) {
    const std::pair<Variant, QJsonValue> cases[] = {{Variant(), QJsonValue::Null},
                                                    {Variant::null(), QJsonValue::Null},
                                                    {Variant::nothing(), QJsonValue::Null},
                                                    {Variant(int16_t(2018)), 2018},
                                                    {Variant(int32_t(-7)), -7},
                                                    {Variant(true), true},
                                                    {Variant(1.5), 1.5},
                                                    {Variant(QString("noedit")), "noedit"}};
    for (const auto& [value, json] : cases)
        EXPECT_EQ(DemoReport::toJsonValue(value), json) << value.typeName().toStdString();
}

} // namespace
