// The JSON object the demo prints: keys, types, order and the rendering of traces.
#include "apps/demo/DemoReport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using sarvo::PropertyBag;
using sarvo::Variant;
using sarvo::demo::DemoReport;

namespace {

// The printed report read back and written compactly (keys sorted); invalid JSON gives "".
std::string printed(const DemoReport& report) {
    return QJsonDocument::fromJson(report.toText()).toJson(QJsonDocument::Compact).toStdString();
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
              R"({"ViewOK":true,"Viewpara1":"10","Viewpara2":"","Viewreturn1":"1002",)"
              R"("Viewreturn2":"银行存款","Viewreturn3":"Bank deposits","Viewreturn4":"",)"
              R"("messages":[{"buttons":64,"prompt":"无科目","title":"提示"}],"result":true})");
}

TEST(DemoReport, EveryPropertyIsNullWithoutAnObjectAndViewOkIsABooleanWithOne) {
    DemoReport report;
    EXPECT_EQ(printed(report), R"({"ViewOK":null,"Viewpara1":null,"Viewpara2":null,"Viewreturn1":null,)"
                               R"("Viewreturn2":null,"Viewreturn3":null,"Viewreturn4":null,"messages":[],)"
                               R"("result":false})");
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

} // namespace
