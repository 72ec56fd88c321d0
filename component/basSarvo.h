// State shared by the public class and the dialog for one request, and the five procedures
// through which every part of the component reaches the host. The state is per thread: the
// component is apartment threaded, so two threads using it never see each other's objects.
#pragma once

#include "host/db/Connection.h"
#include "host/db/Recordset.h"
#include "host/services/LogIn.h"
#include "host/services/ZwPub.h"

#include <QLocale>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace sarvo::basSarvo {

// Host objects: never observed as null; reading one that is null creates a fresh instance.
const std::shared_ptr<host::ZwPub>& oZwPub();
std::shared_ptr<host::LogIn> oLogin();
void setZwPub(std::shared_ptr<host::ZwPub> zwPub);
void setLogin(std::shared_ptr<host::LogIn> login);
// True while the variable holds an object (for tests of the release at the end of a request).
bool holdsZwPub();
bool holdsLogin();

int16_t& iYear();
QString& sCloseFilter();
std::shared_ptr<db::Recordset>& rsCode();

// The host's connection, fetched anew from the host on every call and reopened when closed. The
// reference is to the module's own, which a later call replaces when the host's has changed.
const std::shared_ptr<db::Connection>& GetConnection();
// Text of a resource key; on failure shows the error's description and returns "".
QString GetResString(const QString& key);
// Sees every key GetResString asks the host for on this thread, in order (the order of look-ups
// is part of what the host observes); empty to stop.
void observeResourceLookups(std::function<void(const QString& key)> observer);
int32_t ShowMessage(Variant prompt, Variant buttons, Variant title, Variant helpFile, Variant context);
// Never fails towards the caller: the error text is the only trace.
void ApplyCaptions(QWidget* form, const QString& keyPrefix, const QString& extraText, QString& errorText);
// Sets Name/Size/Charset and FontName/FontSize/FontCharset of a control's font object, each
// assignment on its own so one refusal does not stop the others. Lower-cases languageId.
void SetFontByLanguage(const ObjectRef& font, QString& languageId);

// The system default language id of this platform, from the locale (zh_CN 2052, zh_TW 1028,
// en_US 1033, ...). A per-thread override lets tests play other systems.
int GetSystemDefaultLangID();
int languageIdOfLocale(const QLocale& locale);
void overrideSystemDefaultLangID(std::optional<int> langId);

} // namespace sarvo::basSarvo
