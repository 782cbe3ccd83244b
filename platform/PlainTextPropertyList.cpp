#include "platform/PlainTextPropertyList.h"

#include <QVariantList>
#include <QVariantMap>

namespace platform {

namespace {

/// Recursive descent over the bytes; depth is bounded before each nested container.
class Parser
{
public:
    Parser(const QByteArray &data, const PropertyListLimits &limits) : m_data(data), m_limits(limits) {}

    QVariant parseDocument(QString *error)
    {
        QVariant value = parseValue(0);
        if (m_error.isEmpty()) {
            skipSpace();
            if (m_pos < m_data.size())
                fail(QStringLiteral("unexpected text after the value"));
        }
        if (!m_error.isEmpty()) {
            *error = m_error;
            return {};
        }
        return value;
    }

private:
    bool atEnd() const { return m_pos >= m_data.size(); }
    char peek() const { return atEnd() ? '\0' : m_data.at(m_pos); }

    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1 at byte %2").arg(why).arg(m_pos);
    }

    bool countValue()
    {
        if (++m_values > m_limits.maxValues) {
            fail(QStringLiteral("more than %1 values").arg(m_limits.maxValues));
            return false;
        }
        return true;
    }

    void skipSpace()
    {
        while (!atEnd()) {
            const char c = peek();
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_data.size() && m_data.at(m_pos + 1) == '/') {
                while (!atEnd() && peek() != '\n')
                    ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_data.size() && m_data.at(m_pos + 1) == '*') {
                const qsizetype end = m_data.indexOf("*/", m_pos + 2);
                if (end < 0) {
                    fail(QStringLiteral("unterminated comment"));
                    m_pos = m_data.size();
                    return;
                }
                m_pos = end + 2;
            } else {
                return;
            }
        }
    }

    static bool isBareChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
               c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
    }

    QVariant parseValue(int depth)
    {
        skipSpace();
        if (!m_error.isEmpty())
            return {};
        if (atEnd()) {
            fail(QStringLiteral("missing value"));
            return {};
        }
        if (!countValue())
            return {};
        const char c = peek();
        if (c == '{' || c == '(') {
            if (depth >= m_limits.maxDepth) {
                fail(QStringLiteral("nested deeper than %1").arg(m_limits.maxDepth));
                return {};
            }
            return c == '{' ? parseDictionary(depth + 1) : parseArray(depth + 1);
        }
        if (c == '<')
            return parseData();
        if (c == '"' || c == '\'')
            return parseQuoted();
        if (isBareChar(c))
            return parseBare();
        fail(QStringLiteral("unexpected character"));
        return {};
    }

    QVariant parseDictionary(int depth)
    {
        ++m_pos; // {
        QVariantMap map;
        while (m_error.isEmpty()) {
            skipSpace();
            if (atEnd()) {
                fail(QStringLiteral("unterminated dictionary"));
                break;
            }
            if (peek() == '}') {
                ++m_pos;
                return map;
            }
            const QVariant key = parseValue(depth);
            if (!m_error.isEmpty())
                break;
            if (key.typeId() != QMetaType::QString) {
                fail(QStringLiteral("dictionary key is not a string"));
                break;
            }
            skipSpace();
            if (peek() != '=') {
                fail(QStringLiteral("expected '='"));
                break;
            }
            ++m_pos;
            QVariant value = parseValue(depth);
            skipSpace();
            if (!m_error.isEmpty())
                break;
            if (peek() != ';') {
                fail(QStringLiteral("expected ';'"));
                break;
            }
            ++m_pos;
            map.insert(key.toString(), std::move(value));
        }
        return {};
    }

    QVariant parseArray(int depth)
    {
        ++m_pos; // (
        QVariantList list;
        while (m_error.isEmpty()) {
            skipSpace();
            if (atEnd()) {
                fail(QStringLiteral("unterminated array"));
                break;
            }
            if (peek() == ')') {
                ++m_pos;
                return list;
            }
            list.append(parseValue(depth));
            skipSpace();
            if (!m_error.isEmpty())
                break;
            if (peek() == ',')
                ++m_pos;
            else if (peek() != ')')
                fail(QStringLiteral("expected ',' or ')'"));
        }
        return {};
    }

    static int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    QVariant parseData()
    {
        ++m_pos; // <
        QByteArray bytes;
        int high = -1;
        while (!atEnd()) {
            const char c = peek();
            ++m_pos;
            if (c == '>') {
                if (high >= 0)
                    break;
                return bytes;
            }
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
                continue;
            const int nibble = hexValue(c);
            if (nibble < 0)
                break;
            if (high < 0) {
                high = nibble;
            } else {
                bytes.append(char(high << 4 | nibble));
                high = -1;
            }
        }
        fail(QStringLiteral("bad data"));
        return {};
    }

    QVariant parseQuoted()
    {
        const char quote = peek();
        ++m_pos;
        QString text;
        qsizetype runStart = m_pos; // plain bytes are copied as UTF-8 runs
        auto flush = [&] { text += QString::fromUtf8(m_data.constData() + runStart, m_pos - runStart); };
        while (!atEnd()) {
            const char c = peek();
            if (c == quote) {
                flush();
                ++m_pos;
                return text;
            }
            if (c != '\\') {
                ++m_pos;
                continue;
            }
            flush();
            ++m_pos;
            if (atEnd())
                break;
            const char e = peek();
            ++m_pos;
            switch (e) {
            case 'a':
                text += QChar(0x07);
                break;
            case 'b':
                text += QChar(0x08);
                break;
            case 'f':
                text += QChar(0x0C);
                break;
            case 'n':
                text += QChar(0x0A);
                break;
            case 'r':
                text += QChar(0x0D);
                break;
            case 't':
                text += QChar(0x09);
                break;
            case 'v':
                text += QChar(0x0B);
                break;
            case 'U':
            case 'u': {
                char16_t unit = 0;
                int digits = 0;
                while (digits < 4 && !atEnd() && hexValue(peek()) >= 0) {
                    unit = char16_t(unit << 4 | hexValue(peek()));
                    ++m_pos;
                    ++digits;
                }
                if (digits == 0) {
                    fail(QStringLiteral("bad \\U escape"));
                    return {};
                }
                text += QChar(unit);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    int code = e - '0';
                    for (int digits = 1; digits < 3 && !atEnd() && peek() >= '0' && peek() <= '7'; ++digits) {
                        code = code * 8 + (peek() - '0');
                        ++m_pos;
                    }
                    text += QChar(char16_t(code));
                } else {
                    text += QLatin1Char(e); // \" \' \\ and any other character stand for themselves
                }
            }
            runStart = m_pos;
        }
        fail(QStringLiteral("unterminated string"));
        return {};
    }

    QVariant parseBare()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && isBareChar(peek()))
            ++m_pos;
        return QString::fromUtf8(m_data.constData() + start, m_pos - start);
    }

    const QByteArray &m_data;
    const PropertyListLimits &m_limits;
    qsizetype m_pos = 0;
    qint64 m_values = 0;
    QString m_error;
};

} // namespace

QVariant parsePlainTextPropertyList(const QByteArray &data, const PropertyListLimits &limits, QString *error)
{
    return Parser(data, limits).parseDocument(error);
}

} // namespace platform
