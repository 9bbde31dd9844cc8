// The record descriptions themselves: a layout that leaves a gap, overlaps or misses
// the record's size must be caught, or the checks beside every record prove nothing.
#include "core/record_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace rig {
namespace {

struct Part {
    std::uint8_t Code = 0;
    std::int16_t Value = 0;
};

struct Whole {
    std::int16_t Count = 0;
    std::array<Part, 3> Parts{};
    std::uint16_t Tail = 0;
};

struct Gap : Whole {};
struct Overlap : Whole {};
struct Short : Whole {};

}  // namespace

template <>
struct layout::Layout<Part> {
    static constexpr std::size_t size = 3;
    static constexpr auto fields = std::make_tuple(field("Code", &Part::Code, 0), field("Value", &Part::Value, 1));
};

template <>
struct layout::Layout<Whole> {
    static constexpr std::size_t size = 13;
    static constexpr auto fields = std::make_tuple(field("Count", &Whole::Count, 0), field("Parts", &Whole::Parts, 2),
                                                   field("Tail", &Whole::Tail, 11));
};

template <>
struct layout::Layout<Gap> {
    static constexpr std::size_t size = 14;
    static constexpr auto fields = std::make_tuple(field("Count", &Gap::Count, 0), field("Parts", &Gap::Parts, 3),
                                                   field("Tail", &Gap::Tail, 12));
};

template <>
struct layout::Layout<Overlap> {
    static constexpr std::size_t size = 13;
    static constexpr auto fields = std::make_tuple(field("Count", &Overlap::Count, 0), field("Parts", &Overlap::Parts, 1),
                                                   field("Tail", &Overlap::Tail, 11));
};

template <>
struct layout::Layout<Short> {
    static constexpr std::size_t size = 14;
    static constexpr auto fields = std::make_tuple(field("Count", &Short::Count, 0), field("Parts", &Short::Parts, 2),
                                                   field("Tail", &Short::Tail, 11));
};

namespace {

static_assert(layout::tilesExactly<Part>() && layout::tilesExactly<Whole>());
static_assert(!layout::tilesExactly<Gap>() && !layout::tilesExactly<Overlap>() && !layout::tilesExactly<Short>());
static_assert(layout::offsetOf(&Whole::Tail) == 11 && layout::offsetOf(&Part::Value) == 1);

TEST(RecordLayout, IntegersLowByteFirstAndListsInOrder)
{
    Whole whole;
    whole.Count = -2;
    whole.Parts[2] = {0x7F, 0x0102};
    whole.Tail = 0xBEEF;
    const layout::Image<Whole> image = layout::encode(whole);
    EXPECT_EQ(image, (layout::Image<Whole>{0xFE, 0xFF, 0, 0, 0, 0, 0, 0, 0x7F, 0x02, 0x01, 0xEF, 0xBE}));
    EXPECT_EQ(layout::getField<&Whole::Tail>(image.data()), 0xBEEF);

    const Whole back = layout::decode<Whole>(image.data(), image.size());
    EXPECT_EQ(layout::encode(back), image);
}

// What a file cut short leaves: records in a list are read as far as it goes, a single
// number it reaches only in part keeps its value.
TEST(RecordLayout, ReachedPartsOfAShortImage)
{
    const std::uint8_t bytes[] = {0x05, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB};
    Whole whole;
    whole.Tail = 7;
    layout::getReached(bytes, 12, whole);  // Tail cut after one byte
    EXPECT_EQ(whole.Count, 5);
    EXPECT_EQ(whole.Parts[2].Value, static_cast<std::int16_t>(0x9988));
    EXPECT_EQ(whole.Tail, 7);

    Whole cut;
    cut.Parts[2].Code = 9;
    layout::getReached(bytes, 7, cut);  // Parts[1] cut after two bytes, Parts[2] not reached
    EXPECT_EQ(cut.Parts[1].Code, 0x44);
    EXPECT_EQ(cut.Parts[1].Value, 0x55);
    EXPECT_EQ(cut.Parts[2].Code, 9);
}

}  // namespace
}  // namespace rig
