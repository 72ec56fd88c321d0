// The host's login object: who is logged in, in which year and language. LoginId and
// LoginStamp together name the login's temporary table, so the stamp is unique per login object.
#pragma once

#include "runtime/DispatchObject.h"

namespace sarvo::host {

class LogIn : public DispatchObject {
public:
    LogIn();

    QString LoginYear() const { return m_loginYear; }          // the login's accounting year as text
    const QString& LanguageID() const { return m_languageId; } // "zh-cn", "zh-tw", "en-us"
    QString LoginId() const { return m_userId; }               // the operator's user id
    Variant LoginStamp() const { return m_stamp; }             // unique per login object

    void setLoginYear(const QString& year) { m_loginYear = year; }
    void setLanguageID(const QString& id) { m_languageId = id; }
    void setUserId(const QString& id) { m_userId = id; }

private:
    QString m_loginYear;
    QString m_languageId = QStringLiteral("zh-cn");
    QString m_userId;
    Variant m_stamp;
};

} // namespace sarvo::host
