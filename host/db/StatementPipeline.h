// The engine-independent half of running a statement: T-SQL in, rows out, over one Backend.
//   - the component's texts (execute): tokenized, rendered for the backend's dialect by
//     TSqlTranslator with literals bound, the rendering kept per statement shape so a text of a
//     known shape is only re-bound; the steps of a rendering run in order (a conditional insert
//     runs its test first and stops there when it fails); tables created or dropped are read
//     again for the renderer;
//   - the host's own texts (query): T-SQL with ? placeholders for the caller's values, rendered
//     the same way and kept by their exact text;
//   - native SQL (native): the engine's own statements, unchanged (schema scripts, pragmas).
// A text of a known shape is recognized by one scan for its literals (the text between them must
// be the shape's own), without tokens. A hierarchy build's prefix joins are answered from one read
// (JoinMemo) while the engine holds the snapshot they would read; any write ends that. Where the
// engine can hold a snapshot without keeping anyone from writing, the build's temporary table is
// made empty and filled, under the snapshot its select read, only when something but the memo
// would read it: a build whose joins the memo answers copies no rows at all.
// On the server whose T-SQL the component writes (the sqlServer dialect) both kinds of text go
// through as written, byte for byte: they are parsed only to refuse what is no statement and to
// see which table a statement creates or drops.
// Failures are EngineErrors: the backend's, or FailureKind::Syntax for text that cannot be
// parsed or rendered.
#pragma once

#include "host/db/Backend.h"
#include "host/db/JoinMemo.h"
#include "host/db/PipelineSettings.h"
#include "host/db/SchemaInfo.h"
#include "host/db/StoredRows.h"
#include "host/db/TSqlToken.h"
#include "host/db/TSqlTokenizer.h"
#include "host/db/TSqlTranslator.h"

#include <QHash>
#include <QList>
#include <memory>
#include <optional>

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
        std::vector<QByteArray> sql; // each step's text, UTF-8
        // The text it was made from and its literals: another text has this shape when the text
        // between its literals is the same and its literals are of the same kinds.
        QString source;
        std::vector<TSqlTokenizer::Literal> literals;
        std::vector<char> literalClass;             // what the rendering looks at in each literal
        std::vector<std::vector<int>> stepLiterals; // per step and value: the literal, or -1
        std::vector<int> inlineLiterals;            // literals written into the text itself
        std::optional<JoinMemo::Form> join;         // with literal indexes for the token indexes
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
                                qint64* rowsAffected,
                                const std::vector<std::vector<SqlValue>>* values = nullptr);
    void schemaChanged();
    void forgetShapes();

    // Whether a text has this shape: its text between literals, read along the shape's own, and
    // its literals there (into *literals).
    static bool hasShape(const Shape& shape, const QString& tsql,
                         std::vector<TSqlTokenizer::Literal>* literals);
    // The shape of a text by its literals alone; null when it is not known yet.
    std::shared_ptr<const Shape> knownShape(const QString& tsql, quint64* key);
    std::shared_ptr<const Shape> makeShape(const QString& tsql, const QList<TSqlToken>& tokens);
    // Internal reads of the memo: a component-style text through the shape cache, not logged.
    std::unique_ptr<Cursor> read(const QString& tsql);
    // The memo's answer, or null when the engine must answer.
    std::unique_ptr<Cursor> fromMemo(const Shape& shape, const QString& tsql,
                                     const std::vector<TSqlTokenizer::Literal>& literals);
    // The year's accounts in the join's columns, kept between builds while the engine tells that
    // nothing they came from has changed (read again when it has); null where it cannot tell.
    std::shared_ptr<const StoredRows> keptYear(const QString& year);
    void forgetYear();
    // Ends the memo (and the snapshot held for it); with owner, only when it is that memo.
    void dropMemo(const JoinMemo* owner = nullptr);
    // A temporary table's index is made when the next statement may use it, not with the table:
    // a build whose joins the memo answers never does, and dropping the table forgets it.
    void makePendingIndex();
    // A temporary table made empty by a select-into whose rows are not read yet: the engine holds
    // the snapshot that select read until the table is filled (before any statement but the
    // memo's own reads) or dropped, so that filling it later gives the rows it would have then.
    struct EngineStep {
        QByteArray sql;
        std::vector<SqlValue> params;
    };
    struct DeferredFill {
        QString table;
        EngineStep fill;
        EngineStep codes;
        QString origin;
    };
    bool deferFill(const Rendering& r, const std::vector<QByteArray>& sql, const QString& origin,
                   const std::vector<std::vector<SqlValue>>* values);
    void fillDeferred();
    void forgetDeferred();
    // The snapshot is let go of when neither the memo nor a deferred fill needs it any more.
    void releaseSnapshotIfUnused();
    std::unique_ptr<Backend> m_backend;
    PipelineOptions m_options;
    PipelineCounters m_counters;
    SchemaInfo m_schema;
    QHash<quint64, std::shared_ptr<const Shape>> m_shapes;         // by a hash of the text between literals
    std::vector<TSqlTokenizer::Literal> m_literals;                // scratch of execute
    std::shared_ptr<const Shape> m_lastShape;                      // tried first: a build repeats one shape
    QHash<QString, std::shared_ptr<const HostShape>> m_hostShapes; // by text
    SchemaInfo m_shapesSchema; // the schema the shapes above were made under
    struct ShapeCache {
        SchemaInfo schema;
        QHash<quint64, std::shared_ptr<const Shape>> shapes;
        QHash<QString, std::shared_ptr<const HostShape>> hostShapes;
    };
    std::vector<ShapeCache> m_otherShapes; // made under other schemas, the latest last
    std::shared_ptr<const JoinMemo> m_memo;
    QString m_memoTable; // the temporary table and year it answers for
    QString m_memoYear;
    QString m_memoRefused; // table and year found too small for a memo, until the next write
    std::shared_ptr<const StoredRows> m_year; // the year's accounts, as of m_yearVersion
    QString m_yearLiteral;
    quint64 m_yearVersion = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(false); // false once closed
    struct PendingIndex {
        QString table;
        EngineStep create;
        QString origin;
    };
    std::optional<PendingIndex> m_pendingIndex;
    std::optional<DeferredFill> m_deferred;
    bool m_memoReading = false; // the memo's own reads, which need no index
};

} // namespace sarvo::db
