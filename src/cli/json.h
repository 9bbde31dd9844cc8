#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace cli {

// A JSON value whose object members keep the order they were added in, so the
// output lists a record's fields in the order the record declares them.
class Json final {
public:
    enum class Kind { Number, String, Bool, Array, Object, Null };

    [[nodiscard]] static Json number(long long value);
    [[nodiscard]] static Json string(QString value);
    [[nodiscard]] static Json boolean(bool value);
    [[nodiscard]] static Json array();
    [[nodiscard]] static Json object();
    [[nodiscard]] static Json null();

    // Appends to an array.
    Json& add(Json value);
    // Appends a member to an object.
    Json& set(const QString& key, Json value);

    [[nodiscard]] Kind kind() const noexcept { return m_kind; }

    // Indented text; arrays of numbers stay on one line.
    [[nodiscard]] QString serialize() const;

private:
    explicit Json(Kind kind) : m_kind(kind) {}
    void write(QString& out, int depth) const;
    [[nodiscard]] bool isFlatObject() const;
    void writeInline(QString& out) const;

    Kind m_kind = Kind::Number;
    long long m_number = 0;
    bool m_bool = false;
    QString m_string;
    std::vector<Json> m_items;
    std::vector<std::pair<QString, Json>> m_members;
};

// A string as a JSON string literal, quotes included.
[[nodiscard]] QString jsonQuote(const QString& text);

}  // namespace cli
