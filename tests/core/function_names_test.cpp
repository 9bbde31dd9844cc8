#include "lamp/function_names.h"

#include <gtest/gtest.h>

namespace rig {
namespace {

std::string padded(const std::string& text)
{
    return text + std::string(20 - text.size(), ' ');
}

TEST(NameTables, FunctionAndPaletteCodesKeepTheirNames)
{
    initFunctionNames();
    initPaletteTypeNames();
    const struct {
        int code;
        const char* name;
    } functions[] = {{0, "None"},  {1, "Pan Coarse"}, {3, "Pan 8-bit"}, {9, "Red (Cyan)"}, {10, "Green (Magenta)"},
                     {16, "Gobo 2 Rotate"}, {21, "Dimmer"}, {23, "Barn Rotate"}, {29, "Aux1"}, {31, "Aux3"},
                     {38, "Control"}, {39, "Barn 5"}, {43, "Lens"}, {44, ""}, {47, ""}};
    for (const auto& c : functions)
        EXPECT_EQ(functionName(c.code), padded(c.name)) << "code " << c.code;
    int named = 0;
    for (int code = 0; code < 48; ++code)
        named += FunctionNames[static_cast<std::size_t>(code)].trimmed().empty() ? 0 : 1;
    EXPECT_EQ(named, 44);
    EXPECT_TRUE(FunctionNames[48].isAllZero());

    const char* palettes[] = {"None", "Position", "Beam", "Colour", "Intensity", "Control", "Aux1", "Aux2", "Max"};
    for (int code = 0; code < 9; ++code)
        EXPECT_EQ(paletteTypeName(code), padded(palettes[code])) << "palette " << code;

    // Codes outside the tables, as a damaged file may hold them, have no name.
    for (const int outside : {48, -1, 32767, -32768})
        EXPECT_EQ(functionName(outside), "") << "code " << outside;
    EXPECT_EQ(paletteTypeName(9), "");
    EXPECT_EQ(paletteTypeName(-1), "");
}

TEST(WheelExempt, ExactlyNonePanTiltCoarseEightBitAndDimmer)
{
    std::vector<int> exempt;
    for (int code = -2; code < 60; ++code)
        if (isWheelExempt(code))
            exempt.push_back(code);
    EXPECT_EQ(exempt, (std::vector<int>{0, 1, 3, 4, 6, 21}));
}

}  // namespace
}  // namespace rig
