// The engine-independent half of running a statement: T-SQL in, rows out, over one Backend.
//   - the component's texts (execute): tokenized, rendered for the backend's dialect by
//     TSqlTranslator with literals bound, the rendering kept per statement shape so a text of a
//     known shape is only re-bound; the steps of a rendering run in order (a conditional insert
//     runs its test first and stops there when it fails); tables created or dropped are read
//     again for the renderer;
//   - the host's own texts (query): T-SQL with ? placeholders for the caller's values, rendered
//     the same way and kept by their exact text;
//   - native SQL (native): the engine's own statements, unchanged (schema scripts, pragmas).
// On the server whose T-SQL the component writes (the sqlServer dialect) both kinds of text go
// through as written, byte for byte: they are parsed only to refuse what is no statement and to
// see which table a statement creates or drops.
// Failures are EngineErrors: the backend's, or FailureKind::Syntax for text that cannot be
// parsed or rendered.
#pragma once

#include "host/db/Backend.h"
#include "host/db/PipelineSettings.h"
#include "host/db/SchemaInfo.h"
#include "host/db/TSqlToken.h"
#include "host/db/TSqlTranslator.h"

#include <QHash>
#include <QList>
#include <memory>

namespace sarvo::db {

class StatementPipeline {
public:
    explicit StatementPipeline(std::unique_ptr<Backend> backend);
    ~StatementPipeline();
    StatementPipeline(const StatementPipeline&) = delete;
    StatementPipeline& operator=(const StatementPipeline&) = delete;

    Backend& backend() const { return *m_backend; }

    // Opens the backend, starts the counters afresh and reads the schema.
    void open();
    void close();
    bool isOpen() const { return m_backend->isOpen(); }

    const PipelineOptions& options() const { return m_options; }
    void setOptions(const PipelineOptions& options);
    const PipelineCounters& counters() const { return m_counters; }

    // One T-SQL text of the component. A query gives its cursor; a statement runs and gives null.
    std::unique_ptr<Cursor> execute(const QString& tsql);
    // One T-SQL text of the host with ? placeholders, params bound in order. *rowsAffected (when
    // given) receives the rows a statement changed.
    std::unique_ptr<Cursor> query(const QString& tsql, const std::vector<SqlValue>& params,
                                  qint64* rowsAffected = nullptr);
    // One statement in the engine's own SQL, with params bound to its own placeholders.
    std::unique_ptr<Cursor> native(const QString& sql, const std::vector<SqlValue>& params = {},
                                   qint64* rowsAffected = nullptr);

    // The rendering of a component text with literal values written in (logs, tests).
    QString render(const QString& tsql) const;

private:
    struct Shape {
        Rendering rendering;
        QList<TSqlToken> tokens;
        std::vector<QByteArray> sql; // each step's text, UTF-8
    };
    struct HostShape {
        Rendering rendering;
        std::vector<QByteArray> sql;
        std::vector<std::vector<int>> ordinals; // per step and value: the caller's value, or -1
        int placeholders = 0;
    };

    TranslatorOptions translatorOptions() const;
    Rendering translate(const QString& tsql, const QList<TSqlToken>& tokens,
                        const TranslatorOptions& o) const;
    std::shared_ptr<const HostShape> hostShape(const QString& tsql);
    bool passesThrough() const;
    std::unique_ptr<Cursor> passThrough(const QString& tsql, const QList<TSqlToken>& tokens,
                                        const std::vector<SqlValue>& params, qint64* rowsAffected);
    std::unique_ptr<Cursor> run(const Rendering& r, const std::vector<QByteArray>& sql, const QString& origin,
                                qint64* rowsAffected);
    void schemaChanged();

    std::unique_ptr<Backend> m_backend;
    PipelineOptions m_options;
    PipelineCounters m_counters;
    SchemaInfo m_schema;
    QHash<QString, std::shared_ptr<const Shape>> m_shapes;         // by TSqlTranslator::shapeKey
    QHash<QString, std::shared_ptr<const HostShape>> m_hostShapes; // by text
};

} // namespace sarvo::db
