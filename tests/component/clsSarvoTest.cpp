// The public class driven as a host drives it, on a real account set: the calling order, the
// year argument, a year without accounts, bad requests, repeated requests, the in-process entry.
#include "component/clsSarvo.h"
#include "component/basSarvo.h"
#include "host/services/MessageService.h"
#include "runtime/RuntimeError.h"
#include "tests/support/HostFixture.h"

#include <QDate>
#include <gtest/gtest.h>
#include <thread>

using namespace sarvo;
using sarvo::testing::HostFixture;
using sarvo::testing::ModalDriver;

namespace {

class ClsSarvoTest : public ::testing::Test {
public:
    HostFixture host;
    clsSarvo component;

    // The host's calling order up to DRSetAttrib.
    bool prepare(int16_t year = 2024) {
        component.NewZwPub = host.zwPub;
        component.NewLogIn = host.login;
        component.RefDirect();
        Variant kit(host.kit);
        QString dataName = QStringLiteral("demo"), number = QStringLiteral("001"),
                user = QStringLiteral("demo");
        QDateTime today = QDateTime(QDate(2024, 6, 30), QTime(0, 0));
        if (!component.DRSource(kit, dataName, number, year, user, today)) return false;
        Variant request(host.request);
        return component.DRSetAttrib(request);
    }

    ObjectRef attributeObject() {
        Variant out;
        EXPECT_TRUE(component.DRGetAttrib(out));
        return out.isObject() ? out.toObject() : nullptr;
    }
};

TEST_F(ClsSarvoTest, WholeCallingOrderShowsTheDialogAndHandsTheAttributeObjectBack) {
    host.request->put("Viewpara1", Variant("1002"));
    host.request->put("Viewreturn4", Variant("noedit"));
    ASSERT_TRUE(prepare());
    ModalDriver closer;
    EXPECT_TRUE(component.DRReference());
    EXPECT_EQ(closer.dialogsSeen(), 1);
    EXPECT_EQ(basSarvo::iYear(), 2024); // from the login's year

    const ObjectRef attrib = attributeObject();
    ASSERT_TRUE(attrib);
    EXPECT_EQ(attrib, host.zwPub->RefAttrib()); // the host services object's, not the caller's
    EXPECT_EQ(attrib->get("Viewpara1").toString(), "1002");
    EXPECT_EQ(attrib->get("Viewreturn4").toString(), "") << "cleared when the dialog has closed";
    EXPECT_FALSE(attrib->get("ViewOK").toBool()) << "closing the window confirms nothing";
    EXPECT_TRUE(host::MessageService::shown().isEmpty());
    // The request ends by releasing the host objects.
    EXPECT_FALSE(basSarvo::holdsZwPub());
    EXPECT_FALSE(basSarvo::holdsLogin());
    EXPECT_EQ(component.NewZwPub, nullptr);
    EXPECT_EQ(component.NewLogIn, nullptr);
}

TEST_F(ClsSarvoTest, YearArgumentAsTextChoosesTheYear) {
    ASSERT_TRUE(prepare());
    ModalDriver closer;
    Variant year("2023");
    EXPECT_TRUE(component.DRReference(year));
    EXPECT_EQ(basSarvo::iYear(), 2023);
    EXPECT_EQ(closer.dialogsSeen(), 1);
}

TEST_F(ClsSarvoTest, YearWithoutAccountsShowsOneMessageAndReturnsNothing) {
    ASSERT_TRUE(prepare());
    ModalDriver closer;
    QStringList lookups;
    basSarvo::observeResourceLookups([&lookups](const QString& key) { lookups << key; });
    Variant year("2018");
    EXPECT_FALSE(component.DRReference(year));
    basSarvo::observeResourceLookups({});
    EXPECT_EQ(lookups, (QStringList{"Host.GL.Sarvo.NoKmNoRef", "Host.GL.Sarvo.tishiInfo"}))
        << "the prompt is asked for before the title";
    EXPECT_EQ(closer.dialogsSeen(), 0);
    const auto messages = host::MessageService::shown();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].buttons, 64);
    EXPECT_EQ(messages[0].prompt, host.zwPub->ResString("Host.GL.Sarvo.NoKmNoRef"));
    EXPECT_EQ(messages[0].title, host.zwPub->ResString("Host.GL.Sarvo.tishiInfo"));
    Variant out(Variant("unchanged"));
    EXPECT_TRUE(component.DRGetAttrib(out));
    EXPECT_TRUE(out.isObject());
    EXPECT_EQ(out.toObject(), nullptr);
    EXPECT_FALSE(basSarvo::holdsZwPub());
    EXPECT_FALSE(basSarvo::holdsLogin());
}

TEST_F(ClsSarvoTest, BadRequestsFailQuietly) {
    struct Case {
        const char* name;
        std::function<bool(ClsSarvoTest&)> run;
    };
    const std::vector<Case> cases = {
        {"year that does not convert",
         [](ClsSarvoTest& t) {
             Variant year("abc");
             return t.component.DRReference(year);
         }},
        {"year that overflows",
         [](ClsSarvoTest& t) {
             Variant year(int32_t(40000));
             return t.component.DRReference(year);
         }},
    };
    for (const Case& c : cases) {
        host::MessageService::clear();
        host.newRequestObjects();
        ASSERT_TRUE(prepare()) << c.name;
        ModalDriver closer;
        EXPECT_FALSE(c.run(*this)) << c.name;
        EXPECT_EQ(closer.dialogsSeen(), 0) << c.name;
        EXPECT_TRUE(host::MessageService::shown().isEmpty()) << c.name;
        // An error after the first step leaves the host objects in place.
        EXPECT_TRUE(basSarvo::holdsZwPub()) << c.name;
    }
}

TEST_F(ClsSarvoTest, ReferenceBeforeAnyRequestFailsWithoutMessage) {
    component.NewZwPub = host.zwPub;
    component.NewLogIn = host.login;
    component.RefDirect();
    ModalDriver closer;
    EXPECT_FALSE(component.DRReference());
    EXPECT_EQ(closer.dialogsSeen(), 0);
    EXPECT_TRUE(host::MessageService::shown().isEmpty());
    Variant out;
    EXPECT_FALSE(component.DRGetAttrib(out)) << "nothing was ever set";
}

TEST_F(ClsSarvoTest, SetAttribKeepsOnlyObjects) {
    ASSERT_TRUE(prepare());
    Variant number(int16_t(5));
    EXPECT_FALSE(component.DRSetAttrib(number));
    EXPECT_EQ(attributeObject(), host.request) << "the earlier request object stays";
    Variant text("request");
    EXPECT_FALSE(component.DRSetAttrib(text));
}

TEST_F(ClsSarvoTest, SourceRejectedByTheHostReturnsFalse) {
    component.NewZwPub = host.zwPub;
    component.NewLogIn = host.login;
    component.RefDirect();
    QString dataName, number, user;
    QDateTime today = QDateTime::currentDateTime();
    int16_t year = 2024;
    Variant notAKit("not a kit");
    EXPECT_FALSE(component.DRSource(notAKit, dataName, number, year, user, today));
    Variant kit(host.kit);
    int16_t closedYear = 1999;
    EXPECT_FALSE(component.DRSource(kit, dataName, number, closedYear, user, today));
    EXPECT_TRUE(host::MessageService::shown().isEmpty());
}

TEST_F(ClsSarvoTest, TwoRequestsInARowEachNeedTheWholeOrder) {
    for (int round = 0; round < 2; ++round) {
        host.newRequestObjects();
        host.request->put("Viewpara1", Variant(QString::number(1001 + round)));
        ASSERT_TRUE(prepare()) << round;
        ModalDriver closer;
        EXPECT_TRUE(component.DRReference()) << round;
        EXPECT_EQ(attributeObject()->get("Viewpara1").toString(), QString::number(1001 + round));
    }
    // Without a new order the request works on fresh, uninitialised host objects and fails.
    ModalDriver closer;
    EXPECT_FALSE(component.DRReference());
    EXPECT_EQ(closer.dialogsSeen(), 0);
}

TEST_F(ClsSarvoTest, RefDirectChecksTheKindOfObject) {
    component.NewZwPub = host.login; // a login where the services object belongs
    try {
        component.RefDirect();
        FAIL() << "expected a type mismatch";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 13);
    }
    component.NewZwPub = nullptr;
    component.NewLogIn = nullptr;
    EXPECT_NO_THROW(component.RefDirect());
    EXPECT_FALSE(basSarvo::holdsZwPub());
    EXPECT_NE(basSarvo::oZwPub(), nullptr) << "created on first read";
    EXPECT_TRUE(basSarvo::holdsZwPub());
}

TEST_F(ClsSarvoTest, InProcessEntryCreatesTheClassByProgIdAndLateBinding) {
    ObjectRef object;
    EXPECT_EQ(SarvoCreateObject("Sarvo.NoSuchClass", &object), 429);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(SarvoCreateObject("Sarvo.clsSarvo", &object), 0);
    ASSERT_NE(object, nullptr);

    object->put("NewZwPub", Variant(host.zwPub));
    object->put("NewLogIn", Variant(host.login));
    object->call("RefDirect");
    VariantList source{Variant(host.kit),      Variant("demo"), Variant("001"),
                       Variant(int16_t(2024)), Variant("demo"), Variant(QDateTime::currentDateTime())};
    const Variant sourced = object->call("DRSource", source);
    EXPECT_EQ(sourced.toInteger(), -1) << "COM True";
    VariantList attrib{Variant(host.request)};
    EXPECT_EQ(object->call("DRSetAttrib", attrib).toInteger(), -1);
    ModalDriver closer;
    VariantList year{Variant("2024")};
    EXPECT_EQ(object->call("DRReference", year).toInteger(), -1);
    VariantList out{Variant()};
    EXPECT_EQ(object->call("DRGetAttrib", out).toInteger(), -1);
    EXPECT_EQ(out[0].toObject(), host.zwPub->RefAttrib());
    VariantList bad{Variant(int16_t(1))};
    EXPECT_EQ(object->call("DRSetAttrib", bad).toInteger(), 0) << "COM False";
}

TEST(SharedState, EachThreadHasItsOwn) {
    basSarvo::iYear() = 2024;
    basSarvo::sCloseFilter() = " bclose=0 and ";
    auto zwPub = basSarvo::oZwPub();
    int16_t otherYear = -1;
    QString otherFilter = "x";
    bool otherHeldZwPub = true;
    std::shared_ptr<host::ZwPub> otherZwPub;
    std::thread([&] {
        otherYear = basSarvo::iYear();
        otherFilter = basSarvo::sCloseFilter();
        otherHeldZwPub = basSarvo::holdsZwPub();
        basSarvo::iYear() = 1999;
        otherZwPub = basSarvo::oZwPub();
        basSarvo::setZwPub(nullptr);
    }).join();
    EXPECT_EQ(otherYear, 0);
    EXPECT_EQ(otherFilter, "");
    EXPECT_FALSE(otherHeldZwPub);
    EXPECT_NE(otherZwPub, zwPub);
    EXPECT_EQ(basSarvo::iYear(), 2024);
    EXPECT_EQ(basSarvo::oZwPub(), zwPub);
}

} // namespace
