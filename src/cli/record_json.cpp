#include "cli/record_json.h"

#include "base/cp1252.h"
#include "core/record_layout.h"

#include <string>
#include <string_view>
#include <utility>

namespace cli {

namespace {

// One stored value by its kind: numbers as numbers, texts whole, reserved bytes as
// hex, lists as arrays, records as objects of their fields in image order.
template <typename T>
Json valueJson(const T& value)
{
    using rig::layout::Kind;
    constexpr Kind kind = rig::layout::kindOf<T>();
    if constexpr (kind == Kind::Number) {
        return Json::number(value);
    } else if constexpr (kind == Kind::Text) {
        return Json::string(decodeField(value));
    } else if constexpr (kind == Kind::Bytes) {
        return Json::string(hexString(value.data(), value.size()));
    } else if constexpr (kind == Kind::List) {
        Json list = Json::array();
        for (const auto& element : value)
            list.add(valueJson(element));
        return list;
    } else {
        Json object = Json::object();
        rig::layout::forEachField<T>(
            [&](const auto& field) { object.set(QString::fromLatin1(field.name), valueJson(value.*field.member)); });
        return object;
    }
}

}  // namespace

QString decodeField(const std::uint8_t* data, std::size_t size)
{
    const std::string text = rig::cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString hexString(const std::uint8_t* data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    QString out;
    out.reserve(static_cast<qsizetype>(size * 2));
    for (std::size_t i = 0; i < size; ++i) {
        out += QLatin1Char(digits[data[i] >> 4]);
        out += QLatin1Char(digits[data[i] & 0x0F]);
    }
    return out;
}

Json lampJson(const rig::Lamp& lamp)
{
    return valueJson(lamp);
}

Json patchEntryJson(const rig::PatchEntry& entry)
{
    return valueJson(entry);
}

Json stagePatchJson(const rig::StagePatch& patch)
{
    return valueJson(patch);
}

Json consoleJson(const ConsoleView& view)
{
    Json slots = Json::array();
    for (std::size_t n = 0; n < view.slots.size(); ++n) {
        if (view.slots[n].Icon == 0)
            continue;
        Json slot = Json::object();
        slot.set(QStringLiteral("slot"), Json::number(static_cast<long long>(n)));
        slot.set(QStringLiteral("lamp"), lampJson(view.slots[n]));
        slots.add(std::move(slot));
    }

    Json json = Json::object();
    json.set(QStringLiteral("lampPayloadSize"), Json::number(static_cast<long long>(view.lampPayloadSize)));
    json.set(QStringLiteral("patchPayloadSize"), Json::number(static_cast<long long>(view.patchPayloadSize)));
    json.set(QStringLiteral("slots"), std::move(slots));
    json.set(QStringLiteral("patchEntries"), valueJson(view.patchEntries));
    return json;
}

}  // namespace cli
