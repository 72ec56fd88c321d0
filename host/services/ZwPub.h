// The host's public-services object: context of one request (account set, year, operator),
// the reference-attribute object, resources, messages, captions, options, account classes,
// the code scheme and account look-ups. Everything is read from the account set's database.
#pragma once

#include "host/services/CodeClasses.h"
#include "host/services/CodeInfo.h"
#include "host/services/DbKit.h"
#include "host/services/LogIn.h"
#include "host/services/RefAttribute.h"
#include "host/services/ResourceTable.h"
#include "runtime/DispatchObject.h"

#include <QDateTime>
#include <QWidget>
#include <memory>

namespace sarvo::host {

class ZwPub : public DispatchObject {
public:
    ZwPub();
    ~ZwPub() override;

    // Context of the request. Raises when the kit is not a DbKit or the year is not one of the
    // account set's years.
    void InitContext(const Variant& dbKit, const QString& dataName, const QString& accountSetNumber,
                     int16_t year, const QString& operatorName, const QDateTime& operateDate,
                     const Variant& reserved1 = {}, const Variant& reserved2 = {});
    void SetLogin(std::shared_ptr<LogIn> login);

    ObjectRef RefAttrib() const { return m_refAttrib; }
    void setRefAttrib(ObjectRef attrib) { m_refAttrib = std::move(attrib); }

    const std::shared_ptr<DbKit>& dbKit() const; // raises 91 before InitContext

    // Text of a resource key in the login's language; raises for an unknown key.
    QString ResString(const QString& key, const Variant& args = {}) const;
    // Shows a message box (or records it in scripted runs) and returns the pressed button.
    int32_t ShowMsg(Variant& prompt, Variant& buttons, Variant& title, Variant& helpFile, Variant& context);
    // Applies the captions of keys prefix + control object name to the form's controls.
    bool SetFormCaptions(QWidget* form, const QString& prefix, const QString& extra, QString& error);

    QString GetOption(const QString& sysId, const QString& name) const;              // "" when missing
    void SetOption(const QString& sysId, const QString& name, const QString& value); // creates the row

    QString DisplayText(const QString& className) const; // class name in the login's language
    int16_t LangFlag() const;                            // 1: Chinese names, 2: English names
    uint8_t ClassCount() const;
    std::shared_ptr<CodeClasses> codeClasses() const;
    bool ClassKindSplit() const;
    // "Enum.GL.CodeClass": the stored class name of a display text; other enumerations raise 5.
    QString EnumText(const QString& enumName, const QString& value) const;
    // check 29: the account takes postings (end level and not closed) in the current year.
    bool CodeCheck(const QString& code, int16_t check) const;
    uint8_t GradeCodeLen(int gradeIndex) const; // 0-based grade; 9 when past the scheme
    // Name of an account of the current year in the login's language (the Chinese name when it
    // has no English one); "" when the year has no such account.
    QString CodeName(const QString& code, const Variant& o1 = {}, const Variant& o2 = {}) const;
    // Fills the record from the account's row of that year; a missing account leaves every flag
    // false.
    void LoadCodeRecord(const QString& code, CodeInfo& record, int16_t year) const;
    int16_t CurrentYear() const;
    ObjectRef CurrentUser() const; // first property: the user id kept in GL_mcodeused.cuser

    std::shared_ptr<LogIn> login() const { return m_login; }

private:
    struct Context;
    const Context& context() const; // raises 91 before InitContext
    QString languageId() const;     // the login's, lower-cased; "zh-cn" without a login
    // The language of languageId(), worked out again only when the login's id changes: the tree
    // asks for it per node and per class tried.
    ResourceTable::Language language() const;
    void defineMembers();
    std::unique_ptr<Context> m_context;
    std::shared_ptr<LogIn> m_login;
    ObjectRef m_refAttrib;
    mutable QString m_languageSeen; // the id language() last worked on
    mutable ResourceTable::Language m_language = ResourceTable::Language::ZhCn;
    mutable bool m_languageKnown = false;
};

} // namespace sarvo::host
