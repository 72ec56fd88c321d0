// Table and column types for rendering; see SchemaInfo.h.
#include "host/db/SchemaInfo.h"

namespace sarvo::db {

SchemaInfo::Type SchemaInfo::typeOfDeclaration(const QString& declared) {
    const QString d = declared.toUpper();
    if (d.contains(QLatin1String("INT"))) return Type::Numeric;
    if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("CLOB")) ||
        d.contains(QLatin1String("TEXT")))
        return Type::Text;
    if (d.contains(QLatin1String("BOOL"))) return Type::Numeric;
    if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) ||
        d.contains(QLatin1String("DOUB")) || d.contains(QLatin1String("NUM")) ||
        d.contains(QLatin1String("DEC")) || d.contains(QLatin1String("MONEY")))
        return Type::Real;
    if (d.contains(QLatin1String("DATE")) || d.contains(QLatin1String("TIME"))) return Type::DateTime;
    return Type::Unknown;
}

QString SchemaInfo::key(bool temp, const QString& table) {
    return (temp ? QStringLiteral("temp.") : QStringLiteral("main.")) + table.toLower();
}

void SchemaInfo::setTable(bool temp, const QString& table, QList<Column> columns) {
    m_tables.insert(key(temp, table), std::move(columns));
}

void SchemaInfo::removeTable(bool temp, const QString& table) {
    m_tables.remove(key(temp, table));
}

bool SchemaInfo::hasTable(bool temp, const QString& table) const {
    return m_tables.contains(key(temp, table));
}

QList<SchemaInfo::Column> SchemaInfo::columns(bool temp, const QString& table) const {
    if (!temp) {
        const auto t = m_tables.constFind(key(true, table));
        if (t != m_tables.cend()) return *t;
    }
    return m_tables.value(key(temp, table));
}

SchemaInfo::Type SchemaInfo::columnType(bool temp, const QString& table, const QString& column) const {
    for (const Column& c : columns(temp, table))
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) return c.type;
    return Type::Unknown;
}

} // namespace sarvo::db
