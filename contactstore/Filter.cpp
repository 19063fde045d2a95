#include "Filter.h"

#include "Errors.h"

namespace contacts {

namespace {

// Far beyond what a search needs; deeper nesting would only exhaust the stack.
constexpr int MaxNesting = 100;

int fieldIndex(const QString& name)
{
    const QStringList& names = indexedFields();
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

class Parser
{
public:
    explicit Parser(const QString& text) : m_text(text) {}

    Filter parseAll()
    {
        Filter filter = expression();
        skipSpace();
        if (m_pos < m_text.size()) {
            fail();
        }
        return filter;
    }

private:
    Filter expression() { return joined(Filter::Op::Or, "OR", &Parser::term); }
    Filter term() { return joined(Filter::Op::And, "AND", &Parser::factor); }

    Filter joined(Filter::Op op, const char* word, Filter (Parser::*part)())
    {
        Filter first = (this->*part)();
        if (!atWord(word)) {
            return first;
        }
        Filter node;
        node.op = op;
        node.children.push_back(std::move(first));
        while (takeWord(word)) {
            node.children.push_back((this->*part)());
        }
        return node;
    }

    Filter factor()
    {
        if (take(u'(')) {
            if (++m_depth > MaxNesting) {
                fail();
            }
            Filter inner = expression();
            expect(u')');
            --m_depth;
            return inner;
        }
        expect(u'[');
        const qsizetype close = m_text.indexOf(u']', m_pos);
        if (close < 0) {
            fail();
        }
        Filter condition;
        condition.field = fieldIndex(m_text.mid(m_pos, close - m_pos).trimmed());
        if (condition.field < 0) {
            fail();
        }
        m_pos = close + 1;
        expect(u'=');
        condition.value = indexKey(quoted());
        return condition;
    }

    QString quoted()
    {
        skipSpace();
        if (m_pos >= m_text.size() || (m_text[m_pos] != u'\'' && m_text[m_pos] != u'"')) {
            fail();
        }
        const QChar quote = m_text[m_pos++];
        QString value;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos++];
            if (c != quote) {
                value += c;
            } else if (m_pos < m_text.size() && m_text[m_pos] == quote) {
                value += quote;
                ++m_pos;
            } else {
                return value;
            }
        }
        fail();
    }

    void skipSpace()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace()) {
            ++m_pos;
        }
    }

    bool take(QChar c)
    {
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expect(QChar c)
    {
        if (!take(c)) {
            fail();
        }
    }

    bool atWord(const char* word)
    {
        skipSpace();
        const QLatin1StringView w(word);
        const qsizetype end = m_pos + w.size();
        return QStringView(m_text).mid(m_pos).startsWith(w, Qt::CaseInsensitive) &&
               end < m_text.size() &&
               (m_text[end].isSpace() || m_text[end] == u'(' || m_text[end] == u'[');
    }

    bool takeWord(const char* word)
    {
        if (!atWord(word)) {
            return false;
        }
        m_pos += qsizetype(qstrlen(word));
        return true;
    }

    [[noreturn]] void fail() const
    {
        raise(brindle::ErrorNumber::CannotParse,
              QStringLiteral("Cannot parse condition. Error at \"%1\".")
                  .arg(m_text.mid(m_pos).left(60)));
    }

    const QString& m_text;
    qsizetype m_pos = 0;
    int m_depth = 0;
};

} // namespace

Filter Filter::parse(const QString& text)
{
    return Parser(text).parseAll();
}

bool Filter::matches(const QStringList& values) const
{
    switch (op) {
    case Op::Equals:
        return field < values.size() && values[field] == value;
    case Op::And:
        return std::all_of(children.begin(), children.end(),
                           [&](const Filter& child) { return child.matches(values); });
    case Op::Or:
        break;
    }
    return std::any_of(children.begin(), children.end(),
                       [&](const Filter& child) { return child.matches(values); });
}

const QStringList& indexedFields()
{
    static const QStringList names = {
        QStringLiteral("User1"),     QStringLiteral("User2"),        QStringLiteral("User3"),
        QStringLiteral("User4"),     QStringLiteral("CustomerID"),   QStringLiteral("LastName"),
        QStringLiteral("FirstName"), QStringLiteral("CompanyName"),  QStringLiteral("FullName"),
        QStringLiteral("FileAs"),    QStringLiteral("Email1Address")};
    return names;
}

QString indexKey(const QString& value)
{
    return value.toCaseFolded();
}

} // namespace contacts
