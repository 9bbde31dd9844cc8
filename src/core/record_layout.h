#pragma once

// A stored record described once: beside each record type, a Layout lists every field
// with its name, its member and the offset of its bytes in the record's image. The
// member's type gives the field's width and kind. Encoding, decoding and every listing
// of a record's fields (the command line's JSON) walk that one list, so they cannot
// drift apart. Everything here is resolved at compile time: the walk folds into plain
// stores and loads at fixed offsets.

#include "base/byte_io.h"
#include "base/fixed_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

namespace rig::layout {

// A record's description: `size`, the bytes of its image, and `fields`, a tuple of
// field(...) in image order. Specialised beside each record type.
template <typename Record>
struct Layout;

// How a field's bytes are stored.
enum class Kind {
    Number,  // one byte, or a 16-bit integer low byte first
    Text,    // a fixed-width single-byte text, all its bytes
    Bytes,   // raw bytes the program carries unread
    List,    // a run of equal elements, one after the other
    Record,  // a nested record with a Layout of its own
};

template <typename T>
struct IsFixedText : std::false_type {};
template <std::size_t N>
struct IsFixedText<FixedText<N>> : std::true_type {};

template <typename T>
struct ListOf {
    static constexpr bool value = false;
};
template <typename T, std::size_t N>
struct ListOf<std::array<T, N>> {
    static constexpr bool value = true;
    using Element = T;
    static constexpr std::size_t count = N;
};

template <typename T>
constexpr Kind kindOf()
{
    if constexpr (std::is_same_v<T, std::uint8_t> || std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::uint16_t>)
        return Kind::Number;
    else if constexpr (IsFixedText<T>::value)
        return Kind::Text;
    else if constexpr (ListOf<T>::value)
        return std::is_same_v<typename ListOf<T>::Element, std::uint8_t> ? Kind::Bytes : Kind::List;
    else
        return Kind::Record;
}

template <typename T>
constexpr std::size_t widthOf()
{
    constexpr Kind kind = kindOf<T>();
    if constexpr (kind == Kind::Number)
        return sizeof(T);
    else if constexpr (kind == Kind::Text)
        return T::width;
    else if constexpr (kind == Kind::Bytes || kind == Kind::List)
        return ListOf<T>::count * widthOf<typename ListOf<T>::Element>();
    else
        return Layout<T>::size;
}

// One entry of a Layout: a field's name as the record declares it, the member that
// holds it, and where its bytes start in the record's image.
template <typename Record, typename T>
struct Field {
    using Type = T;
    const char* name;
    T Record::*member;
    std::size_t offset;
};

template <typename Record, typename T>
constexpr Field<Record, T> field(const char* name, T Record::*member, std::size_t offset)
{
    return {name, member, offset};
}

// Field I of a record as compile-time constants, with its width and kind, which the
// member's type gives: what the walks below hand to their visitor.
template <typename Record, std::size_t I>
struct FieldAt {
    static constexpr const auto& entry = std::get<I>(Layout<Record>::fields);
    using Type = typename std::decay_t<decltype(entry)>::Type;
    static constexpr const char* name = entry.name;
    static constexpr auto member = entry.member;
    static constexpr std::size_t offset = entry.offset;
    static constexpr std::size_t width = widthOf<Type>();
    static constexpr Kind kind = kindOf<Type>();
};

template <typename Record, typename Visit, std::size_t... I>
constexpr void visitFields(Visit& visit, std::index_sequence<I...>)
{
    (visit(FieldAt<Record, I>{}), ...);
}

// Calls visit(FieldAt<Record, I>{}) for each field of Record, in image order.
template <typename Record, typename Visit>
constexpr void forEachField(Visit&& visit)
{
    constexpr std::size_t count = std::tuple_size_v<std::decay_t<decltype(Layout<Record>::fields)>>;
    visitFields<Record>(visit, std::make_index_sequence<count>{});
}

// True when the fields follow each other with no gap or overlap and end exactly at the
// record's size, so that no field can reach outside the image.
template <typename Record>
constexpr bool tilesExactly()
{
    std::size_t next = 0;
    bool ok = true;
    forEachField<Record>([&](const auto& f) {
        ok = ok && f.offset == next;
        next = f.offset + f.width;
    });
    return ok && next == Layout<Record>::size;
}

template <typename A, typename B>
constexpr bool sameMember(A a, B b)
{
    if constexpr (std::is_same_v<A, B>)
        return a == b;
    else
        return false;
}

// Where a field's bytes start in its record's image.
template <typename Record, typename T>
constexpr std::size_t offsetOf(T Record::*member)
{
    std::size_t offset = Layout<Record>::size;  // past the end: no such field
    forEachField<Record>([&](const auto& f) {
        if (sameMember(f.member, member))
            offset = f.offset;
    });
    return offset;
}

// Writes `value` as its image at `to`, which has room for widthOf<T>() bytes.
template <typename T>
inline void put(std::uint8_t* to, const T& value)
{
    constexpr Kind kind = kindOf<T>();
    if constexpr (std::is_same_v<T, std::uint8_t>) {
        *to = value;
    } else if constexpr (std::is_same_v<T, std::int16_t>) {
        endian::writeI16LE(to, value);
    } else if constexpr (std::is_same_v<T, std::uint16_t>) {
        endian::writeU16LE(to, value);
    } else if constexpr (kind == Kind::Text) {
        std::memcpy(to, value.bytes().data(), T::width);
    } else if constexpr (kind == Kind::Bytes) {
        std::memcpy(to, value.data(), value.size());
    } else if constexpr (kind == Kind::List) {
        using Element = typename ListOf<T>::Element;
        for (std::size_t i = 0; i < value.size(); ++i)
            put(to + i * widthOf<Element>(), value[i]);
    } else {
        static_assert(tilesExactly<T>(), "a record's fields must tile its image exactly");
        forEachField<T>([&](const auto& f) { put(to + f.offset, value.*f.member); });
    }
}

// Reads `value` from its image at `from`, which holds widthOf<T>() bytes.
template <typename T>
inline void get(const std::uint8_t* from, T& value)
{
    constexpr Kind kind = kindOf<T>();
    if constexpr (std::is_same_v<T, std::uint8_t>) {
        value = *from;
    } else if constexpr (std::is_same_v<T, std::int16_t>) {
        value = endian::readI16LE(from);
    } else if constexpr (std::is_same_v<T, std::uint16_t>) {
        value = endian::readU16LE(from);
    } else if constexpr (kind == Kind::Text) {
        std::memcpy(value.bytes().data(), from, T::width);
    } else if constexpr (kind == Kind::Bytes) {
        std::memcpy(value.data(), from, value.size());
    } else if constexpr (kind == Kind::List) {
        using Element = typename ListOf<T>::Element;
        for (std::size_t i = 0; i < value.size(); ++i)
            get(from + i * widthOf<Element>(), value[i]);
    } else {
        static_assert(tilesExactly<T>(), "a record's fields must tile its image exactly");
        forEachField<T>([&](const auto& f) { get(from + f.offset, value.*f.member); });
    }
}

template <typename Record>
using Image = std::array<std::uint8_t, Layout<Record>::size>;

template <typename Record>
[[nodiscard]] inline Image<Record> encode(const Record& record)
{
    // Zero first, so that no byte of a file can come from uninitialised memory.
    Image<Record> image{};
    put(image.data(), record);
    return image;
}

// Reads one record from `size` bytes; bytes beyond `size` read as zero, bytes beyond
// the image are never looked at.
template <typename Record>
[[nodiscard]] inline Record decode(const std::uint8_t* data, std::size_t size)
{
    Record record{};
    if (size >= Layout<Record>::size) {
        get(data, record);
    } else {
        Image<Record> padded{};
        if (size > 0)
            std::memcpy(padded.data(), data, size);
        get(padded.data(), record);
    }
    return record;
}

// Reads what `size` bytes reach of a record that a short file may cut off. A field the
// bytes reach in full is read. Of a list of records, each record they reach at all is
// read with its missing bytes as zero. Any other field they reach only in part keeps
// the value it has, rather than being glued together from some of its bytes.
template <typename Record>
inline void getReached(const std::uint8_t* data, std::size_t size, Record& record)
{
    forEachField<Record>([&](const auto& f) {
        using T = typename std::decay_t<decltype(f)>::Type;
        const std::size_t reached = size > f.offset ? size - f.offset : 0;
        if (reached >= f.width) {
            get(data + f.offset, record.*f.member);
        } else if constexpr (kindOf<T>() == Kind::List) {
            using Element = typename ListOf<T>::Element;
            if constexpr (kindOf<Element>() == Kind::Record) {
                constexpr std::size_t step = widthOf<Element>();
                for (std::size_t i = 0; i * step < reached; ++i)
                    (record.*f.member)[i] = decode<Element>(data + f.offset + i * step, reached - i * step);
            }
        }
    });
}

template <typename Member>
struct MemberOf;
template <typename Record, typename T>
struct MemberOf<T Record::*> {
    using Owner = Record;
    using Type = T;
};

// One field read straight from a whole record image, without decoding the rest.
template <auto Member>
[[nodiscard]] inline auto getField(const std::uint8_t* image)
{
    using Of = MemberOf<decltype(Member)>;
    constexpr std::size_t offset = offsetOf(Member);
    static_assert(offset < Layout<typename Of::Owner>::size, "the field is not in the record's layout");
    typename Of::Type value{};
    get(image + offset, value);
    return value;
}

}  // namespace rig::layout
