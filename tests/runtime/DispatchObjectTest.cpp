// Late binding: the component reads a caller's object by member name and the host's attribute
// object by position; missing members must raise 438 rather than return something.
#include "runtime/DispatchObject.h"
#include "runtime/RuntimeError.h"

#include <functional>
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

// Members declared once for a class behave as members declared per object: by name in any case,
// by position (the class's first), read-only and missing ones raising 438, and an object may add
// its own beside them.
class Gauge : public DispatchObject {
public:
    static const ClassMembers& members() {
        static const ClassMembers m = [] {
            ClassMembers c;
            c.property(
                "Level", [](DispatchObject& o) { return Variant(static_cast<Gauge&>(o).level); },
                [](DispatchObject& o, const Variant& v) { static_cast<Gauge&>(o).level = v.toLong(); });
            c.property("Unit", [](DispatchObject&) { return Variant("bar"); });
            c.method("Raise", [](DispatchObject& o, VariantList& args) {
                auto& g = static_cast<Gauge&>(o);
                g.level += args.value(0).toLong();
                args[0] = Variant(g.level);
                return Variant(g.level);
            });
            c.method("Reading", [](DispatchObject& o, VariantList&) {
                return Variant(static_cast<Gauge&>(o).level * 10);
            });
            return c;
        }();
        return m;
    }
    Gauge() : DispatchObject("Gauge", &members()) {
        defineProperty("Serial", [] { return Variant("G-1"); });
    }
    int32_t level = 0;
};

TEST(DispatchObject, ClassMembersActAsObjectMembers) {
    struct Case {
        const char* name;
        std::function<Variant(Gauge&)> run;
        QString expected; // display text, or "error N"
    };
    auto error = [](const std::function<void()>& f) { return QStringLiteral("error %1").arg(errorOf(f)); };
    const std::vector<Case> cases = {
        {"property by name in any case",
         [](Gauge& g) {
             g.put("lEVEL", Variant(int32_t(4)));
             return g.get("Level");
         },
         "4"},
        {"read-only property", [](Gauge& g) { return g.get("unit"); }, "bar"},
        {"method, argument written back",
         [](Gauge& g) {
             VariantList args{Variant(int32_t(3))};
             g.call("raise", args);
             return args[0];
         },
         "3"},
        {"method without arguments read as a property",
         [](Gauge& g) {
             g.level = 2;
             return g.get("Reading");
         },
         "20"},
        {"the object's own member beside them", [](Gauge& g) { return g.get("serial"); }, "G-1"},
        {"class properties come first by position", [](Gauge& g) { return Variant(g.propertyName(3)); },
         "Serial"},
        {"count of both", [](Gauge& g) { return Variant(int32_t(g.propertyCount())); }, "3"},
        {"position of a class property",
         [](Gauge& g) {
             g.level = 7;
             return g.getAt(1);
         },
         "7"},
        {"members known by name",
         [](Gauge& g) {
             return Variant(g.hasMember("RAISE") && g.hasMember("unit") && !g.hasMember("nope"));
         },
         "True"},
    };
    for (const Case& c : cases) {
        Gauge g;
        EXPECT_EQ(c.run(g).toDisplayText(), c.expected) << c.name;
    }
    Gauge g;
    EXPECT_EQ(error([&] { g.put("Unit", Variant("psi")); }), "error 438");
    EXPECT_EQ(error([&] { (void)g.get("Nope"); }), "error 438");
    EXPECT_EQ(error([&] { g.call("Nope", {Variant(1)}); }), "error 438");
    EXPECT_EQ(error([&] { (void)g.getAt(4); }), "error 9");
}

} // namespace
