// Late binding: the component reads a caller's object by member name and the host's attribute
// object by position; missing members must raise 438 rather than return something.
#include "runtime/DispatchObject.h"
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

using namespace sarvo;

namespace {

class Counter : public DispatchObject {
public:
    Counter() : DispatchObject("Counter") {
        defineProperty(
            "Value", [this] { return Variant(value); }, [this](const Variant& v) { value = v.toLong(); });
        defineProperty("ReadOnly", [] { return Variant("fixed"); });
        defineMethod("Add", [this](VariantList& args) {
            value += args.value(0).toLong();
            args[0] = Variant(value); // by reference: the caller sees the new total
            return Variant(value);
        });
    }
    int32_t value = 0;
};

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(DispatchObject, MembersByNameIgnoreCase) {
    Counter c;
    c.put("vALUE", Variant(int16_t(5)));
    EXPECT_EQ(c.get("value").toLong(), 5);
    VariantList args{Variant(int32_t(3))};
    EXPECT_EQ(c.call("add", args).toLong(), 8);
    EXPECT_EQ(args[0].toLong(), 8);
    EXPECT_TRUE(c.hasMember("ADD"));
}

TEST(DispatchObject, MissingOrReadOnlyMembersRaise438) {
    Counter c;
    EXPECT_EQ(errorOf([&] { (void)c.get("Nope"); }), 438);
    EXPECT_EQ(errorOf([&] { c.put("ReadOnly", Variant("x")); }), 438);
    EXPECT_EQ(errorOf([&] { c.call("Nope", {Variant(1)}); }), 438);
}

TEST(DispatchObject, PropertiesByPositionInDeclarationOrder) {
    PropertyBag bag("Attrib", {"Viewpara1", "Viewpara2", "ViewOK"});
    bag.putAt(1, Variant("1001"));
    bag.put("ViewOK", Variant(true));
    EXPECT_EQ(bag.get("viewpara1").toString(), "1001");
    EXPECT_EQ(bag.propertyName(3), "ViewOK");
    EXPECT_TRUE(bag.getAt(3).toBool());
    EXPECT_TRUE(bag.getAt(2).isEmpty());
    EXPECT_EQ(errorOf([&] { (void)bag.getAt(4); }), 9);
    EXPECT_EQ(errorOf([&] { (void)bag.getAt(0); }), 9);
}

} // namespace
