// Account-set templates: new account sets for the host stand-in, the demo, the tests and the
// benchmark. A template fills the account set's classes, code scheme, settings, years,
// users and a few host options, and the chart of accounts (table code):
//   "standard"     the enterprise chart of accounts, years 2023 and 2024 (2025 opened, empty)
//   "budget"       a public-sector set whose last three classes are budget classes (kind YS*)
//   "generated:N"  N synthetic accounts over 13 grades and six classes, year 2024
// Errors are sarvo::RuntimeError: InvalidProcedureCall (5) for an unknown template or a bad N,
// 58 for an existing non-empty file, DatabaseError when the database refuses the work.
#pragma once

#include "host/db/Connection.h"

#include <QString>
#include <QStringList>

namespace sarvo::data {

// "standard", "budget", "generated:N".
QStringList templateNames();

// The schema script of a dialect, "sqlite" or "postgresql"; raises 5 for another name.
QString schemaScript(const QString& engine);

// Creates a new account set from a template, the schema and the template in one transaction.
// SQLite (a bare path or "sqlite:PATH", a missing or empty file): the file is built under a
// temporary name in the same folder and renamed into place once complete, so an interrupted
// creation leaves nothing at the path (a leftover of a killed one is removed by the next
// creation); the new file is journaled in WAL mode, so readers never wait for a writer. A server
// (postgresql://..., odbc:...): into the empty database the string names, in one transaction, so
// an interrupted creation leaves the database empty; 58 when it already holds an account set.
void createAccountSet(const QString& connectionString, const QString& templateName);

// Loads the template into an open database that has the schema and no account set yet. Runs in
// a transaction of its own unless the caller already holds one.
void loadTemplate(db::Connection& connection, const QString& templateName);

} // namespace sarvo::data
