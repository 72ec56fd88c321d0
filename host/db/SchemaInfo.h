// What the translator knows of the tables behind the connection: their columns and what kind of
// value each holds, so that "+" can be told apart as addition or concatenation, text is compared
// under the server's collation and mixed comparisons convert as the server converts.
#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace sarvo::db {

class SchemaInfo {
public:
    enum class Type { Unknown, Text, Numeric, Real, DateTime }; // Numeric: whole numbers
    struct Column {
        QString name;
        Type type = Type::Unknown;
        bool operator==(const Column&) const = default;
    };

    // Type of a declared column type name, by SQLite's affinity rules.
    static Type typeOfDeclaration(const QString& declared);

    void setTable(bool temp, const QString& table, QList<Column> columns);
    void removeTable(bool temp, const QString& table);
    void clear() { m_tables.clear(); }
    bool hasTable(bool temp, const QString& table) const;
    // Columns of a table, or nothing when it is unknown. A temporary table shadows a permanent
    // one of the same name unless temp is asked for explicitly.
    QList<Column> columns(bool temp, const QString& table) const;
    Type columnType(bool temp, const QString& table, const QString& column) const;
    // The same tables with the same columns of the same kinds.
    bool operator==(const SchemaInfo& other) const { return m_tables == other.m_tables; }

private:
    static QString key(bool temp, const QString& table);
    QHash<QString, QList<Column>> m_tables;
};

} // namespace sarvo::db
