// Conversions of the host language that the component relies on: years given as text or
// numbers, COM booleans, emptiness of request properties, and the error numbers raised.
#include "runtime/Variant.h"
#include "runtime/DispatchObject.h"
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

using namespace sarvo;

namespace {

struct IntegerCase {
    const char* name;
    Variant input;
    int expected; // when error == 0
    int error;    // expected run-time error number, 0 for none
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
    *os << c.name;
}

class ToInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ToInteger, FollowsHostRules) {
    const IntegerCase& c = GetParam();
    if (c.error == 0) {
        EXPECT_EQ(c.input.toInteger(), c.expected);
    } else {
        try {
            (void)c.input.toInteger();
            FAIL() << "expected error " << c.error;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), c.error) << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variant, ToInteger,
                         ::testing::Values(IntegerCase{"text_year", Variant("2018"), 2018, 0},
                                           IntegerCase{"text_with_blanks", Variant(" 2024 "), 2024, 0},
                                           IntegerCase{"double_year", Variant(2018.0), 2018, 0},
                                           IntegerCase{"long", Variant(int32_t(-7)), -7, 0},
                                           IntegerCase{"half_down_to_even", Variant(2.5), 2, 0},
                                           IntegerCase{"half_up_to_even", Variant(3.5), 4, 0},
                                           IntegerCase{"negative_half", Variant(-2.5), -2, 0},
                                           IntegerCase{"text_half", Variant("0.5"), 0, 0},
                                           IntegerCase{"true_is_minus_one", Variant(true), -1, 0},
                                           IntegerCase{"empty_is_zero", Variant(), 0, 0},
                                           IntegerCase{"hex_text", Variant("&H10"), 16, 0},
                                           IntegerCase{"max", Variant(int32_t(32767)), 32767, 0},
                                           IntegerCase{"min", Variant(-32768.4), -32768, 0},
                                           IntegerCase{"letters", Variant("abc"), 0, 13},
                                           IntegerCase{"empty_text", Variant(""), 0, 13},
                                           IntegerCase{"overflow", Variant(int32_t(40000)), 0, 6},
                                           IntegerCase{"long_below_min", Variant(int32_t(-32769)), 0, 6},
                                           IntegerCase{"byte", Variant(uint8_t(255)), 255, 0},
                                           IntegerCase{"overflow_text", Variant("40000"), 0, 6},
                                           IntegerCase{"overflow_negative", Variant(-32768.6), 0, 6},
                                           IntegerCase{"null", Variant::null(), 0, 94},
                                           IntegerCase{"object", Variant::nothing(), 0, 13}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Variant, ToStringFollowsHostRules) {
    const std::vector<std::pair<Variant, QString>> cases = {
        {Variant(), ""},
        {Variant(int16_t(2018)), "2018"},
        {Variant(2018.0), "2018"},
        {Variant(0.25), "0.25"},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant(QStringLiteral("资产")), QStringLiteral("资产")},
        {Variant(QDateTime(QDate(2024, 3, 1), QTime(0, 0))), "2024-03-01"},
    };
    for (const auto& [v, expected] : cases)
        EXPECT_EQ(v.toString(), expected) << v.typeName().toStdString();
    EXPECT_THROW((void)Variant::null().toString(), RuntimeError);
    EXPECT_EQ(Variant::null().toDisplayText(), "");
}

TEST(Variant, BooleansCrossTheBoundaryAsComBooleans) {
    EXPECT_EQ(Variant(true).toLong(), -1);
    EXPECT_EQ(Variant(false).toLong(), 0);
    EXPECT_EQ(toComBool(true), -1);
    EXPECT_TRUE(Variant("True").toBool());
    EXPECT_TRUE(Variant(int16_t(-1)).toBool());
    EXPECT_FALSE(Variant("0").toBool());
    EXPECT_THROW((void)Variant("maybe").toBool(), RuntimeError);
}

TEST(Variant, BlankMeansNothingNullOrEmptyText) {
    EXPECT_TRUE(Variant().isBlank());
    EXPECT_TRUE(Variant::null().isBlank());
    EXPECT_TRUE(Variant("").isBlank());
    EXPECT_FALSE(Variant(" ").isBlank());
    EXPECT_FALSE(Variant(int16_t(0)).isBlank());
    EXPECT_FALSE(Variant::nothing().isBlank());
}

TEST(Variant, ObjectsAndTextComparison) {
    auto bag = std::make_shared<PropertyBag>("Request", QStringList{"A"});
    const Variant v(bag);
    EXPECT_TRUE(v.isObject());
    EXPECT_EQ(v.toObject(), bag);
    EXPECT_EQ(v.typeName(), "Request");
    EXPECT_EQ(Variant::nothing().toObject(), nullptr);
    EXPECT_THROW((void)Variant(int16_t(3)).toObject(), RuntimeError);
    EXPECT_TRUE(Variant("noedit").equalsText("noedit"));
    EXPECT_FALSE(Variant("NoEdit").equalsText("noedit"));
    EXPECT_FALSE(Variant::null().equalsText(""));
}

TEST(Variant, DatesConvertThroughSerialNumbers) {
    const QDateTime d(QDate(2024, 1, 2), QTime(12, 0));
    EXPECT_DOUBLE_EQ(Variant(d).toDouble(), 45293.5);
    EXPECT_EQ(Variant(45293.5).toDate(), d);
    EXPECT_EQ(Variant("2024-01-02").toDate().date(), QDate(2024, 1, 2));
}

TEST(RuntimeError, NumbersAndDescriptionsTheLayersRelyOn) {
    const std::vector<std::pair<ErrorCode, int>> codes = {
        {ErrorCode::Overflow, 6},
        {ErrorCode::TypeMismatch, 13},
        {ErrorCode::ObjectVariableNotSet, 91},
        {ErrorCode::ObjectDoesNotSupport, 438},
        {ErrorCode::NoCurrentRecord, 3021},
        {ErrorCode::ItemNotFound, 3265},
        {ErrorCode::ObjectClosed, 3704},
        {ErrorCode::ElementNotFound, 35601},
        {ErrorCode::KeyNotUnique, 35602},
    };
    for (const auto& [code, number] : codes) {
        const RuntimeError e(code);
        EXPECT_EQ(e.number(), number);
        EXPECT_FALSE(e.description().isEmpty());
        EXPECT_NE(std::string(e.what()).find(std::to_string(number)), std::string::npos);
    }
    const RuntimeError detailed(ErrorCode::TypeMismatch, "CInt(\"abc\")");
    EXPECT_TRUE(detailed.description().startsWith("Type mismatch"));
    EXPECT_TRUE(detailed.description().contains("abc"));
}

} // namespace
