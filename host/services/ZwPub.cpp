// The host's public-services object. Account data (code) and options (AccInformation) are read
// per call, since the account set may change under a running request (the account editor);
// the account set's description (classes, code scheme, settings) is read once per InitContext.
// The host's own queries go through the account set's connection like the component's, as T-SQL
// with ? placeholders for their values: nothing typed by a user is spliced into them, and they
// stay out of the component's statement log.
#include "host/services/ZwPub.h"

#include <QFontDatabase>

#include "host/db/Recordset.h"
#include "host/services/MessageService.h"
#include "host/services/ResourceTable.h"
#include "runtime/RuntimeError.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>
#include <cstring>

namespace sarvo::host {

namespace {

const QString kCodeClassEnum = QStringLiteral("Enum.GL.CodeClass");
const QString kClassKindSplitSetting = QStringLiteral("ClassKindSplit");
constexpr int16_t kCheckTakesPostings = 29;

using Rows = std::shared_ptr<db::Recordset>;

db::SqlValue text(const QString& v) {
    return db::SqlValue::ofText(v);
}
db::SqlValue number(qint64 v) {
    return db::SqlValue::ofInteger(v);
}

// The connection of the kit, opened when it is closed: the host reads its own tables whether
// or not the component has touched the connection yet.
db::Connection& openConnection(const DbKit& kit) {
    const std::shared_ptr<db::Connection> conn = kit.Connection();
    if (!conn) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the database kit has no connection"));
    if (conn->state() == db::Connection::Closed) conn->open();
    return *conn;
}

QString textAt(const Rows& rows, int column) {
    return rows->fieldAt(column).toDisplayText();
}

int intAt(const Rows& rows, int column) {
    const Variant v = rows->fieldAt(column);
    return v.isNull() ? 0 : v.toLong();
}

bool isTrueSetting(const QString& value) {
    const QString v = value.trimmed().toLower();
    return v == QLatin1String("1") || v == QLatin1String("-1") || v == QLatin1String("true") ||
           v == QLatin1String("yes");
}

const QString& classText(const CodeClasses::Entry& e, ResourceTable::Language language) {
    switch (language) {
    case ResourceTable::Language::ZhCn:
        return e.textZhCn;
    case ResourceTable::Language::ZhTw:
        return e.textZhTw;
    case ResourceTable::Language::EnUs:
        break;
    }
    return e.textEnUs;
}

// Equal texts, without the general comparison's call: copies of one text share their characters.
bool sameText(QStringView a, QStringView b) {
    return a.size() == b.size() &&
           (a.data() == b.data() ||
            std::memcmp(a.data(), b.data(), static_cast<size_t>(a.size()) * sizeof(QChar)) == 0);
}

// Late-bound argument i, Empty when the caller left it out.
const Variant& arg(const VariantList& args, int i) {
    static const Variant missing;
    return i < args.size() ? args[i] : missing;
}

const Variant& required(const VariantList& args, int i, const char* method) {
    if (i >= args.size())
        throw RuntimeError(449, QStringLiteral("Argument not optional: %1 needs argument %2")
                                    .arg(QLatin1String(method))
                                    .arg(i + 1));
    return args[i];
}

bool columnTrue(const Rows& rows, const char* column) {
    const Variant v = rows->field(QLatin1String(column));
    return !v.isNull() && v.toLong() == 1;
}

bool columnPresent(const Rows& rows, const char* column) {
    return !rows->field(QLatin1String(column)).isNull();
}

} // namespace

struct ZwPub::Context {
    std::shared_ptr<DbKit> kit;
    QString dataName;
    QString accountSetNumber;
    int16_t year = 0;
    QString operatorName;
    QDateTime operateDate;

    std::shared_ptr<CodeClasses> classes;
    // (display text, stored class name) per language, in class order, the first of equal texts
    // only. EnumText runs per record and class tried: a scan of a handful of short texts that
    // mostly differ in length beats hashing the text each time.
    std::vector<std::pair<QString, QString>> classByText[3];
    std::vector<uint8_t> gradeLengths; // index 0: grade 1
    bool classKindSplit = false;

    db::Connection& database() const { return openConnection(*kit); }
};

ZwPub::ZwPub() : DispatchObject(QStringLiteral("ZwPub")), m_refAttrib(std::make_shared<RefAttribute>()) {
    defineMembers();
}

ZwPub::~ZwPub() = default;

const ZwPub::Context& ZwPub::context() const {
    if (!m_context)
        raise(ErrorCode::ObjectVariableNotSet,
              QStringLiteral("the public-services object has no context yet"));
    return *m_context;
}

QString ZwPub::languageId() const {
    return m_login ? m_login->LanguageID().trimmed().toLower() : QStringLiteral("zh-cn");
}

ResourceTable::Language ZwPub::language() const {
    static const QString withoutLogin = QStringLiteral("zh-cn");
    const QString& id = m_login ? m_login->LanguageID() : withoutLogin;
    // An id that has not changed is the very text seen last time: compared without a copy.
    if (!m_languageKnown || !sameText(id, m_languageSeen)) {
        m_language = ResourceTable::languageOf(id);
        m_languageSeen = id;
        m_languageKnown = true;
    }
    return m_language;
}

void ZwPub::InitContext(const Variant& dbKit, const QString& dataName, const QString& accountSetNumber,
                        int16_t year, const QString& operatorName, const QDateTime& operateDate,
                        const Variant& reserved1, const Variant& reserved2) {
    Q_UNUSED(reserved1);
    Q_UNUSED(reserved2);
    if (!dbKit.isObject())
        raise(ErrorCode::TypeMismatch,
              QStringLiteral("a database kit is required, not %1").arg(dbKit.typeName()));
    auto kit = std::dynamic_pointer_cast<DbKit>(dbKit.toObject());
    if (!kit)
        raise(ErrorCode::TypeMismatch,
              QStringLiteral("a database kit is required, not %1").arg(dbKit.typeName()));

    auto ctx = std::make_unique<Context>();
    ctx->kit = std::move(kit);
    ctx->dataName = dataName;
    ctx->accountSetNumber = accountSetNumber;
    ctx->year = year;
    ctx->operatorName = operatorName;
    ctx->operateDate = operateDate;

    db::Connection& db = ctx->database();
    if (db.query(QStringLiteral("SELECT iYear FROM host_year WHERE iYear = ?"), {number(year)})->eof())
        raise(
            ErrorCode::InvalidProcedureCall,
            QStringLiteral("%1 is not an accounting year of account set %2").arg(year).arg(accountSetNumber));

    std::vector<CodeClasses::Entry> entries;
    const Rows classes = db.query(QStringLiteral("SELECT cclass, cKind, cText_zhcn, cText_zhtw, cText_enus "
                                                 "FROM host_class ORDER BY iPosition"));
    for (; !classes->eof(); classes->moveNext()) {
        entries.push_back({textAt(classes, 0), textAt(classes, 1), textAt(classes, 2), textAt(classes, 3),
                           textAt(classes, 4)});
    }
    for (const CodeClasses::Entry& e : entries) {
        for (const auto language :
             {ResourceTable::Language::ZhCn, ResourceTable::Language::ZhTw, ResourceTable::Language::EnUs}) {
            auto& texts = ctx->classByText[static_cast<int>(language)];
            const QString& text = classText(e, language);
            if (std::none_of(texts.begin(), texts.end(), [&](const auto& t) { return t.first == text; }))
                texts.emplace_back(text, e.cclass);
        }
    }
    ctx->classes = std::make_shared<CodeClasses>(std::move(entries));

    const Rows scheme = db.query(QStringLiteral("SELECT iGrade, iLength FROM host_scheme ORDER BY iGrade"));
    for (; !scheme->eof(); scheme->moveNext()) {
        const int grade = intAt(scheme, 0);
        // Grades are numbered from 1 without gaps; a gap ends the usable scheme.
        if (grade != static_cast<int>(ctx->gradeLengths.size()) + 1) break;
        ctx->gradeLengths.push_back(static_cast<uint8_t>(qBound(0, intAt(scheme, 1), 255)));
    }
    scheme->close();

    const Rows split = db.query(QStringLiteral("SELECT cValue FROM host_setting WHERE cName = ?"),
                                {text(kClassKindSplitSetting)});
    ctx->classKindSplit = !split->eof() && isTrueSetting(textAt(split, 0));

    m_context = std::move(ctx);
}

void ZwPub::SetLogin(std::shared_ptr<LogIn> login) {
    m_login = std::move(login);
}

const std::shared_ptr<DbKit>& ZwPub::dbKit() const {
    return context().kit;
}

QString ZwPub::ResString(const QString& key, const Variant& args) const {
    Q_UNUSED(args); // no text of the table takes substitutions
    const std::optional<QString> text = ResourceTable::text(key, language());
    if (!text)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("no resource text for key \"%1\"").arg(key));
    return *text;
}

int32_t ZwPub::ShowMsg(Variant& prompt, Variant& buttons, Variant& title, Variant& helpFile,
                       Variant& context) {
    Q_UNUSED(helpFile); // the host has no help files
    Q_UNUSED(context);
    return MessageService::show(prompt.toDisplayText(), buttons.isBlank() ? 0 : buttons.toLong(),
                                title.toDisplayText(), languageId());
}

bool ZwPub::SetFormCaptions(QWidget* form, const QString& prefix, const QString& extra, QString& error) {
    Q_UNUSED(extra); // the caption scheme needs nothing beyond the prefix
    if (!form) {
        error = QStringLiteral("no form to caption");
        return false;
    }
    const ResourceTable::Language language = this->language();
    const auto captionOf = [&](const QWidget* w) -> std::optional<QString> {
        if (w->objectName().isEmpty()) return std::nullopt;
        return ResourceTable::text(prefix + w->objectName(), language);
    };
    if (const auto text = captionOf(form)) form->setWindowTitle(*text);
    // Designed fonts are Chinese ones; Latin captions take the host's Western dialog font so
    // they fit the same boxes.
    static const bool westernFontReady = [] {
        // The dialog font of Western hosts; on systems without it, the free clone that Debian
        // ships keeps Latin captions to the widths the boxes were designed for.
        if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) return true;
        return QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")) >= 0;
    }();
    Q_UNUSED(westernFontReady);
    QFont western(QStringLiteral("Tahoma"));
    western.setPointSizeF(8);
    for (QWidget* w : form->findChildren<QWidget*>()) {
        const auto text = captionOf(w);
        if (!text) continue;
        if (language == ResourceTable::Language::EnUs) w->setFont(western);
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setText(*text);
        else if (auto* l = qobject_cast<QLabel*>(w))
            l->setText(*text);
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            g->setTitle(*text);
    }
    return true;
}

QString ZwPub::GetOption(const QString& sysId, const QString& name) const {
    const Rows q = context().database().query(
        QStringLiteral("SELECT cValue FROM AccInformation WHERE cSysID = ? AND cName = ?"),
        {text(sysId), text(name)});
    return q->eof() ? QString() : textAt(q, 0);
}

void ZwPub::SetOption(const QString& sysId, const QString& name, const QString& value) {
    db::Connection& db = context().database();
    // A value that is already stored is not written again: nothing to lock, and nothing that
    // can fail on a read-only account set.
    if (!db.query(QStringLiteral(
                      "SELECT cValue FROM AccInformation WHERE cSysID = ? AND cName = ? AND cValue = ?"),
                  {text(sysId), text(name), text(value)})
             ->eof())
        return;
    if (db.command(QStringLiteral("UPDATE AccInformation SET cValue = ? WHERE cSysID = ? AND cName = ?"),
                   {text(value), text(sysId), text(name)}) > 0)
        return;
    db.command(QStringLiteral(
                   "INSERT INTO AccInformation (cSysID, cName, cType, cValue, cDefault, bVisible, bEnable) "
                   "VALUES (?, ?, 'String', ?, ?, 1, 1)"),
               {text(sysId), text(name), text(value), text(value)});
}

QString ZwPub::DisplayText(const QString& className) const {
    const std::shared_ptr<CodeClasses>& classes = context().classes;
    const ResourceTable::Language language = this->language();
    for (int i = 0; i < classes->count(); ++i) {
        if (classes->entry(i).cclass == className) return classText(classes->entry(i), language);
    }
    return className; // a class the host does not list shows as stored
}

int16_t ZwPub::LangFlag() const {
    return language() == ResourceTable::Language::EnUs ? 2 : 1;
}

uint8_t ZwPub::ClassCount() const {
    return static_cast<uint8_t>(qMin(context().classes->count(), 255));
}

std::shared_ptr<CodeClasses> ZwPub::codeClasses() const {
    return context().classes;
}

bool ZwPub::ClassKindSplit() const {
    return context().classKindSplit;
}

QString ZwPub::EnumText(const QString& enumName, const QString& value) const {
    // Asked once per record and class while a tree is built: the name as the tree spells it is
    // tried before the case-blind comparison.
    if (!sameText(enumName, kCodeClassEnum) && enumName.compare(kCodeClassEnum, Qt::CaseInsensitive) != 0)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("unknown enumeration \"%1\"").arg(enumName));
    for (const auto& [text, cclass] : context().classByText[static_cast<int>(language())])
        if (sameText(text, value)) return cclass;
    return {};
}

bool ZwPub::CodeCheck(const QString& code, int16_t check) const {
    if (check != kCheckTakesPostings)
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("unknown account check %1").arg(check));
    const Context& ctx = context();
    const Rows q =
        ctx.database().query(QStringLiteral("SELECT bend, bclose FROM code WHERE iYear = ? AND ccode = ?"),
                             {number(ctx.year), text(code)});
    return !q->eof() && intAt(q, 0) == 1 && intAt(q, 1) == 0;
}

uint8_t ZwPub::GradeCodeLen(int gradeIndex) const {
    const std::vector<uint8_t>& lengths = context().gradeLengths;
    if (gradeIndex < 0 || gradeIndex >= static_cast<int>(lengths.size()))
        raise(ErrorCode::SubscriptOutOfRange, QStringLiteral("grade index %1; the code scheme has %2 grades")
                                                  .arg(gradeIndex)
                                                  .arg(lengths.size()));
    return lengths[static_cast<size_t>(gradeIndex)];
}

QString ZwPub::CodeName(const QString& code, const Variant& o1, const Variant& o2) const {
    Q_UNUSED(o1);
    Q_UNUSED(o2);
    const Context& ctx = context();
    const Rows q = ctx.database().query(
        QStringLiteral("SELECT ccode_name, ccode_engl FROM code WHERE iYear = ? AND ccode = ?"),
        {number(ctx.year), text(code)});
    if (q->eof()) return {};
    const QString chinese = textAt(q, 0);
    if (language() != ResourceTable::Language::EnUs) return chinese;
    const QString english = textAt(q, 1);
    return english.isEmpty() ? chinese : english;
}

void ZwPub::LoadCodeRecord(const QString& code, CodeInfo& record, int16_t year) const {
    const Rows q = context().database().query(
        QStringLiteral("SELECT bperson, bcus, bsup, bdept, bitem, citem_class, cexch_name, cmeasure, "
                       "bend, br, be, bclose FROM code WHERE iYear = ? AND ccode = ?"),
        {number(year), text(code)});
    record.clear();
    if (q->eof()) return;
    record.bPerson = columnTrue(q, "bperson");
    record.bCustomer = columnTrue(q, "bcus");
    record.bSupplier = columnTrue(q, "bsup");
    record.bDepartment = columnTrue(q, "bdept");
    const bool item = columnTrue(q, "bitem");
    if (item) {
        // A project account without a class of its own belongs to the default project class.
        const QString itemClass = q->field(QStringLiteral("citem_class")).toDisplayText().trimmed();
        record.cItemClass = itemClass.isEmpty() ? QStringLiteral("00") : itemClass;
    }
    record.bAuxiliary = record.bPerson || record.bCustomer || record.bSupplier || record.bDepartment || item;
    record.bCusItem = record.bCustomer && item;
    record.bSupItem = record.bSupplier && item;
    record.bDeptItem = record.bDepartment && item;
    record.bCusDept = record.bCustomer && record.bDepartment;
    record.bSupDept = record.bSupplier && record.bDepartment;
    record.bPersonItem = record.bPerson && item;
    record.bCusDeptItem = record.bCusDept && item;
    record.bSupDeptItem = record.bSupDept && item;
    record.bExchange = columnPresent(q, "cexch_name");
    record.bMeasure = columnPresent(q, "cmeasure");
    record.bEnd = columnTrue(q, "bend");
    record.bJournal = columnTrue(q, "br");
    record.bBank = columnTrue(q, "be");
    record.bClosed = columnTrue(q, "bclose");
}

int16_t ZwPub::CurrentYear() const {
    return context().year;
}

ObjectRef ZwPub::CurrentUser() const {
    if (!m_login) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("no login has been set"));
    const Context& ctx = context();
    const QString userId = m_login->LoginId();
    const Rows q = ctx.database().query(QStringLiteral("SELECT cUser_Name FROM host_user WHERE cUser_Id = ?"),
                                        {text(userId)});
    const QString userName = q->eof() ? ctx.operatorName : textAt(q, 0);
    auto user = std::make_shared<PropertyBag>(
        QStringLiteral("CurrentUser"), QStringList{QStringLiteral("UserId"), QStringLiteral("UserName")});
    user->value(1) = userId;
    user->value(2) = userName;
    return user;
}

void ZwPub::defineMembers() {
    defineProperty(
        QStringLiteral("RefAttrib"), [this] { return Variant(m_refAttrib); },
        [this](const Variant& v) { m_refAttrib = v.toObject(); });
    defineProperty(QStringLiteral("DbKit"), [this] { return Variant(dbKit()); });
    defineProperty(QStringLiteral("LangFlag"), [this] { return Variant(LangFlag()); });
    defineProperty(QStringLiteral("ClassCount"), [this] { return Variant(ClassCount()); });
    defineProperty(QStringLiteral("CodeClasses"), [this] { return Variant(codeClasses()); });
    defineProperty(QStringLiteral("ClassKindSplit"), [this] { return Variant(ClassKindSplit()); });
    defineProperty(QStringLiteral("CurrentYear"), [this] { return Variant(CurrentYear()); });
    defineProperty(QStringLiteral("CurrentUser"), [this] { return Variant(CurrentUser()); });

    defineMethod(QStringLiteral("InitContext"), [this](VariantList& a) {
        const Variant& date = arg(a, 5);
        InitContext(required(a, 0, "InitContext"), arg(a, 1).toDisplayText(), arg(a, 2).toDisplayText(),
                    required(a, 3, "InitContext").toInteger(), arg(a, 4).toDisplayText(),
                    date.isBlank() ? QDateTime() : date.toDate(), arg(a, 6), arg(a, 7));
        return Variant();
    });
    defineMethod(QStringLiteral("SetLogin"), [this](VariantList& a) {
        const ObjectRef object = required(a, 0, "SetLogin").toObject();
        auto login = std::dynamic_pointer_cast<LogIn>(object);
        if (object && !login)
            raise(ErrorCode::TypeMismatch,
                  QStringLiteral("%1 is not a login object").arg(object->className()));
        SetLogin(std::move(login));
        return Variant();
    });
    defineMethod(QStringLiteral("ResString"), [this](VariantList& a) {
        return Variant(ResString(required(a, 0, "ResString").toDisplayText(), arg(a, 1)));
    });
    defineMethod(QStringLiteral("ShowMsg"), [this](VariantList& a) {
        while (a.size() < 5)
            a.append(Variant());
        return Variant(ShowMsg(a[0], a[1], a[2], a[3], a[4]));
    });
    defineMethod(QStringLiteral("GetOption"), [this](VariantList& a) {
        return Variant(GetOption(required(a, 0, "GetOption").toDisplayText(),
                                 required(a, 1, "GetOption").toDisplayText()));
    });
    defineMethod(QStringLiteral("SetOption"), [this](VariantList& a) {
        SetOption(required(a, 0, "SetOption").toDisplayText(), required(a, 1, "SetOption").toDisplayText(),
                  required(a, 2, "SetOption").toDisplayText());
        return Variant();
    });
    defineMethod(QStringLiteral("DisplayText"), [this](VariantList& a) {
        return Variant(DisplayText(required(a, 0, "DisplayText").toDisplayText()));
    });
    defineMethod(QStringLiteral("EnumText"), [this](VariantList& a) {
        return Variant(
            EnumText(required(a, 0, "EnumText").toDisplayText(), required(a, 1, "EnumText").toDisplayText()));
    });
    defineMethod(QStringLiteral("CodeCheck"), [this](VariantList& a) {
        return Variant(
            CodeCheck(required(a, 0, "CodeCheck").toDisplayText(), required(a, 1, "CodeCheck").toInteger()));
    });
    defineMethod(QStringLiteral("GradeCodeLen"), [this](VariantList& a) {
        return Variant(GradeCodeLen(required(a, 0, "GradeCodeLen").toInteger()));
    });
    defineMethod(QStringLiteral("CodeName"), [this](VariantList& a) {
        return Variant(CodeName(required(a, 0, "CodeName").toDisplayText(), arg(a, 1), arg(a, 2)));
    });
    // (code, record, six optional values, year): the year is the last argument when more than
    // two are given, else the current year.
    defineMethod(QStringLiteral("LoadCodeRecord"), [this](VariantList& a) {
        const QString code = required(a, 0, "LoadCodeRecord").toDisplayText();
        const ObjectRef object = required(a, 1, "LoadCodeRecord").toObject();
        auto record = std::dynamic_pointer_cast<CodeInfo>(object);
        if (!record) raise(ErrorCode::TypeMismatch, QStringLiteral("LoadCodeRecord needs an account record"));
        const int16_t year = a.size() > 2 && !a.last().isBlank() ? a.last().toInteger() : CurrentYear();
        LoadCodeRecord(code, *record, year);
        return Variant();
    });
}

} // namespace sarvo::host
