#include "cli/json.h"

#include "base/cp1252.h"

namespace cli {

namespace {

const QString indentUnit = QStringLiteral("  ");

QString indent(int depth)
{
    return indentUnit.repeated(depth);
}

}  // namespace

Json Json::number(long long value)
{
    Json json(Kind::Number);
    json.m_number = value;
    return json;
}

Json Json::string(QString value)
{
    Json json(Kind::String);
    json.m_string = std::move(value);
    return json;
}

Json Json::boolean(bool value)
{
    Json json(Kind::Bool);
    json.m_bool = value;
    return json;
}

Json Json::array()
{
    return Json(Kind::Array);
}

Json Json::object()
{
    return Json(Kind::Object);
}

Json Json::null()
{
    return Json(Kind::Null);
}

Json& Json::add(Json value)
{
    m_items.push_back(std::move(value));
    return *this;
}

Json& Json::set(const QString& key, Json value)
{
    m_members.emplace_back(key, std::move(value));
    return *this;
}

QString Json::serialize() const
{
    QString out;
    write(out, 0);
    out += QLatin1Char('\n');
    return out;
}

void Json::write(QString& out, int depth) const
{
    switch (m_kind) {
    case Kind::Number:
        out += QString::number(m_number);
        return;
    case Kind::Null:
        out += QStringLiteral("null");
        return;
    case Kind::Bool:
        out += m_bool ? QStringLiteral("true") : QStringLiteral("false");
        return;
    case Kind::String:
        out += jsonQuote(m_string);
        return;
    case Kind::Array: {
        if (m_items.empty()) {
            out += QStringLiteral("[]");
            return;
        }
        bool flat = true;
        for (const Json& item : m_items)
            flat = flat && item.m_kind == Kind::Number;
        if (flat) {
            out += QLatin1Char('[');
            for (std::size_t i = 0; i < m_items.size(); ++i) {
                if (i != 0)
                    out += QStringLiteral(", ");
                m_items[i].write(out, depth);
            }
            out += QLatin1Char(']');
            return;
        }
        out += QStringLiteral("[\n");
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            out += indent(depth + 1);
            // A record of plain fields (a channel, a wheel slot, a patch entry) fits one line.
            if (m_items[i].isFlatObject())
                m_items[i].writeInline(out);
            else
                m_items[i].write(out, depth + 1);
            out += i + 1 < m_items.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
        }
        out += indent(depth) + QLatin1Char(']');
        return;
    }
    case Kind::Object: {
        if (m_members.empty()) {
            out += QStringLiteral("{}");
            return;
        }
        out += QStringLiteral("{\n");
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            out += indent(depth + 1) + jsonQuote(m_members[i].first) + QStringLiteral(": ");
            m_members[i].second.write(out, depth + 1);
            out += i + 1 < m_members.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
        }
        out += indent(depth) + QLatin1Char('}');
        return;
    }
    }
}

bool Json::isFlatObject() const
{
    if (m_kind != Kind::Object || m_members.empty())
        return false;
    for (const auto& member : m_members)
        if (member.second.m_kind == Kind::Array || member.second.m_kind == Kind::Object)
            return false;
    return true;
}

void Json::writeInline(QString& out) const
{
    out += QLatin1Char('{');
    for (std::size_t i = 0; i < m_members.size(); ++i) {
        if (i != 0)
            out += QStringLiteral(", ");
        out += jsonQuote(m_members[i].first) + QStringLiteral(": ");
        m_members[i].second.write(out, 0);
    }
    out += QLatin1Char('}');
}

QString jsonQuote(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        switch (code) {
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            // Every other control character, NUL included, as \u00xx so the output
            // stays one readable, valid text.
            if (rig::isControlCharacter(code))
                out += QStringLiteral("\\u%1").arg(static_cast<int>(code), 4, 16, QLatin1Char('0'));
            else
                out += ch;
        }
    }
    out += QLatin1Char('"');
    return out;
}

}  // namespace cli
