// Per-thread shared state and the host-facing module procedures.
#include "component/basSarvo.h"

#include "runtime/RuntimeError.h"

namespace sarvo::basSarvo {

namespace {

struct SharedState {
    std::shared_ptr<host::ZwPub> zwPub;
    std::shared_ptr<host::LogIn> login;
    int16_t year = 0;
    QString closeFilter;
    std::shared_ptr<db::Connection> connection;
    std::shared_ptr<db::Recordset> codeRecords;
    std::optional<int> langIdOverride;
    std::function<void(const QString&)> lookupObserver;
};

SharedState& shared() {
    thread_local SharedState state;
    return state;
}

} // namespace

const std::shared_ptr<host::ZwPub>& oZwPub() {
    auto& s = shared();
    if (!s.zwPub) s.zwPub = std::make_shared<host::ZwPub>();
    return s.zwPub;
}

std::shared_ptr<host::LogIn> oLogin() {
    auto& s = shared();
    if (!s.login) s.login = std::make_shared<host::LogIn>();
    return s.login;
}

void setZwPub(std::shared_ptr<host::ZwPub> zwPub) {
    shared().zwPub = std::move(zwPub);
}
void setLogin(std::shared_ptr<host::LogIn> login) {
    shared().login = std::move(login);
}
bool holdsZwPub() {
    return shared().zwPub != nullptr;
}
bool holdsLogin() {
    return shared().login != nullptr;
}

int16_t& iYear() {
    return shared().year;
}
QString& sCloseFilter() {
    return shared().closeFilter;
}
std::shared_ptr<db::Recordset>& rsCode() {
    return shared().codeRecords;
}

const std::shared_ptr<db::Connection>& GetConnection() {
    auto& s = shared();
    // Asked for once per tree node: the same connection again is not let go of and taken anew.
    try {
        const std::shared_ptr<db::Connection>& current = oZwPub()->dbKit()->Connection();
        if (s.connection != current) s.connection = current;
    } catch (...) {
        s.connection.reset();
        throw;
    }
    if (!s.connection) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the host has no connection"));
    if (s.connection->state() == db::Connection::Closed)
        s.connection->open(QString(), QString(), QString(), -1);
    return s.connection;
}

QString GetResString(const QString& key) {
    if (const auto& observer = shared().lookupObserver) observer(key);
    try {
        return oZwPub()->ResString(key);
    } catch (const RuntimeError& e) {
        ShowMessage(e.description(), int32_t(0), QString(), QString(), int32_t(0));
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()), int32_t(0), QString(), QString(), int32_t(0));
    }
    return {};
}

void observeResourceLookups(std::function<void(const QString& key)> observer) {
    shared().lookupObserver = std::move(observer);
}

int32_t ShowMessage(Variant prompt, Variant buttons, Variant title, Variant helpFile, Variant context) {
    return oZwPub()->ShowMsg(prompt, buttons, title, helpFile, context);
}

void ApplyCaptions(QWidget* form, const QString& keyPrefix, const QString& extraText, QString& errorText) {
    errorText.clear();
    try {
        (void)oZwPub()->SetFormCaptions(form, keyPrefix, extraText, errorText);
    } catch (const RuntimeError& e) {
        errorText = e.description();
    } catch (const std::exception& e) {
        errorText = QString::fromUtf8(e.what());
    }
}

void SetFontByLanguage(const ObjectRef& font, QString& languageId) {
    languageId = languageId.toLower();
    QString name;
    double size = 9;
    int16_t charset = 134;
    if (languageId == QLatin1String("en-us")) {
        name = QStringLiteral("Tahoma");
        size = 8;
        charset = 0;
    } else {
        try {
            const int id = GetSystemDefaultLangID();
            if (id == 2052)
                name = QStringLiteral("宋体");
            else if (id == 1028 || id == 1033)
                name = QStringLiteral("SimSun");
        } catch (...) {
        }
    }
    // Each assignment stands alone: a font object that lacks a member or refuses a value only
    // loses that one assignment.
    const auto assign = [&font](const char* member, const Variant& value) {
        try {
            if (!font) raise(ErrorCode::ObjectVariableNotSet);
            font->put(QString::fromLatin1(member), value);
        } catch (...) {
        }
    };
    assign("Name", name);
    assign("Size", size);
    assign("Charset", charset);
    assign("FontName", name);
    assign("FontSize", size);
    assign("FontCharset", charset);
}

int languageIdOfLocale(const QLocale& locale) {
    struct Entry {
        QLocale::Language language;
        QLocale::Territory territory; // AnyTerritory: the language's primary id
        int id;
    };
    static const Entry table[] = {
        {QLocale::Chinese, QLocale::China, 2052},        {QLocale::Chinese, QLocale::Taiwan, 1028},
        {QLocale::Chinese, QLocale::HongKong, 3076},     {QLocale::Chinese, QLocale::Singapore, 4100},
        {QLocale::Chinese, QLocale::Macao, 5124},        {QLocale::Chinese, QLocale::AnyTerritory, 2052},
        {QLocale::English, QLocale::UnitedStates, 1033}, {QLocale::English, QLocale::UnitedKingdom, 2057},
        {QLocale::English, QLocale::Australia, 3081},    {QLocale::English, QLocale::Canada, 4105},
        {QLocale::English, QLocale::AnyTerritory, 1033}, {QLocale::Japanese, QLocale::AnyTerritory, 1041},
        {QLocale::Korean, QLocale::AnyTerritory, 1042},  {QLocale::German, QLocale::AnyTerritory, 1031},
        {QLocale::French, QLocale::AnyTerritory, 1036},  {QLocale::Spanish, QLocale::AnyTerritory, 3082},
        {QLocale::Italian, QLocale::AnyTerritory, 1040}, {QLocale::Russian, QLocale::AnyTerritory, 1049},
        {QLocale::Portuguese, QLocale::Brazil, 1046},    {QLocale::Portuguese, QLocale::AnyTerritory, 2070},
        {QLocale::C, QLocale::AnyTerritory, 1033},
    };
    const Entry* languageOnly = nullptr;
    for (const Entry& e : table) {
        if (e.language != locale.language()) continue;
        if (e.territory == locale.territory()) return e.id;
        if (e.territory == QLocale::AnyTerritory && !languageOnly) languageOnly = &e;
    }
    return languageOnly ? languageOnly->id : 1024; // LOCALE_CUSTOM_DEFAULT
}

int GetSystemDefaultLangID() {
    const auto& s = shared();
    if (s.langIdOverride) return *s.langIdOverride;
    return languageIdOfLocale(QLocale::system());
}

void overrideSystemDefaultLangID(std::optional<int> langId) {
    shared().langIdOverride = langId;
}

} // namespace sarvo::basSarvo
