// Test helper: each template's account set is created once per test run, in a temporary
// folder that lives as long as the test executable.
#pragma once

#include "data/AccountSetTemplate.h"

#include <QHash>
#include <QTemporaryDir>

inline QTemporaryDir& testFolder() {
    static QTemporaryDir dir;
    return dir;
}

inline QString accountSetFile(const QString& templateName) {
    static QHash<QString, QString> made;
    auto it = made.find(templateName);
    if (it != made.end()) return *it;
    QString file = templateName;
    file.replace(u':', u'-');
    const QString path = testFolder().filePath(file + QStringLiteral(".db"));
    sarvo::data::createAccountSet(path, templateName);
    made.insert(templateName, path);
    return path;
}
