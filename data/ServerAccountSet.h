// Account sets kept on a database server between runs, for the tests and the benchmark: asked for
// the account set of a template, the server gets a database holding one the first time and finds it
// again by its name afterwards. The name says what the set was made from (the template, and a hash
// of this build's schema and template files), so a changed build makes a new one.
// PostgreSQL servers, reached as postgresql://user@host:port/database (any database to connect to
// first: the databases are made beside it).
#pragma once

#include <QString>

namespace sarvo::data {

class ServerAccountSet {
public:
    // The connection string of a database on the server of serverUrl holding the account set of
    // templateName; made now when missing. Several programs may ask at once: one makes it, the others
    // wait for it. Raises RuntimeError when the server or the template fails.
    static QString ensure(const QString& serverUrl, const QString& templateName);

    // The database's name for templateName: "sarvo_a_<template>_<hash>".
    static QString databaseName(const QString& templateName);
    // serverUrl with its database replaced.
    static QString withDatabase(const QString& serverUrl, const QString& database);
};

} // namespace sarvo::data
