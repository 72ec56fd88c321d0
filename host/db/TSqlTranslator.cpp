// Parse, render, and the shape of a text; see TSqlTranslator.h.
#include "host/db/TSqlTranslator.h"

#include "host/db/LikePattern.h"
#include "host/db/TSqlParser.h"
#include "host/db/TSqlRenderer.h"
#include "host/db/TSqlTokenizer.h"

namespace sarvo::db {

using namespace ast;

QString Rendering::text() const {
    QStringList parts;
    for (const RenderedStep& s : steps)
        if (s.deferred == RenderedStep::Deferred::No) parts << s.text;
    return parts.join(QStringLiteral(";\n"));
}

QString Rendering::kindName(Kind kind) {
    switch (kind) {
    case Kind::Query:
        return QStringLiteral("query");
    case Kind::SelectInto:
        return QStringLiteral("select-into");
    case Kind::Insert:
        return QStringLiteral("insert");
    case Kind::ConditionalInsert:
        return QStringLiteral("if-not-exists-insert");
    case Kind::Delete:
        return QStringLiteral("delete");
    case Kind::Update:
        return QStringLiteral("update");
    case Kind::DropTable:
        return QStringLiteral("drop-table");
    }
    return {};
}

namespace {

SqlValue numberValue(const QString& text) {
    bool ok = false;
    const qint64 i = text.toLongLong(&ok);
    return ok ? SqlValue::ofInteger(i) : SqlValue::ofReal(text.toDouble());
}

} // namespace

TSqlTranslator::TSqlTranslator(const Dialect& dialect, const SchemaInfo* schema)
    : TSqlTranslator(dialect, schema, TranslatorOptions{}) {}

TSqlTranslator::TSqlTranslator(const Dialect& dialect, const SchemaInfo* schema, TranslatorOptions options)
    : m_dialect(dialect), m_schema(schema), m_options(options) {}

Rendering TSqlTranslator::translate(const QString& tsql) const {
    return translate(tsql, TSqlTokenizer::tokenize(tsql));
}

Rendering TSqlTranslator::translate(const QString& tsql, const QList<TSqlToken>& tokens) const {
    const auto statement = TSqlParser::parse(tsql, tokens);
    return TSqlRenderer::create(m_dialect, m_schema, m_options, tsql)->statement(*statement);
}

QString TSqlTranslator::shapeKey(const QList<TSqlToken>& tokens) {
    QString key;
    key.reserve(tokens.size() * 8);
    for (const TSqlToken& t : tokens) {
        switch (t.kind) {
        case TSqlToken::Kind::String:
        case TSqlToken::Kind::NationalString:
            key += LikePattern::startsFixed(t.text) ? QStringLiteral("'s") : QStringLiteral("'w");
            break;
        case TSqlToken::Kind::Number:
            // Whole numbers and fractions convert text differently.
            key += t.text.contains(QLatin1Char('.')) || t.text.contains(QLatin1Char('e'), Qt::CaseInsensitive)
                       ? QStringLiteral("#.")
                       : QStringLiteral("#");
            break;
        case TSqlToken::Kind::QuotedIdentifier:
            key += QLatin1Char('[') + t.text;
            break;
        default:
            key += t.text;
        }
        key += QChar(0x1F); // unit separator: never part of a token
    }
    return key;
}

bool TSqlTranslator::rebind(const Rendering& shape, const QList<TSqlToken>& shapeTokens,
                            const QList<TSqlToken>& tokens, Rendering* out) {
    if (shapeTokens.size() != tokens.size()) return false;
    for (int t : shape.inlineTokens)
        if (t < 0 || t >= tokens.size() || tokens[t].text != shapeTokens[t].text) return false;
    *out = shape;
    for (RenderedStep& step : out->steps) {
        step.text.clear(); // the shape's own literals: not this text's
        for (size_t i = 0; i < step.params.size(); ++i) {
            const int t = step.paramTokens[i];
            if (t < 0 || t >= tokens.size()) return false;
            const TSqlToken& token = tokens[t];
            step.params[i] = token.kind == TSqlToken::Kind::Number ? numberValue(token.text)
                                                                   : SqlValue::ofText(token.text);
        }
    }
    return true;
}

} // namespace sarvo::db
