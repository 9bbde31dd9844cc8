#include "core/function_names.h"

#include <gtest/gtest.h>

namespace rig {
namespace {

// Names are 20-character fields; codes outside the tables, as a damaged file may hold
// them, have no name rather than reading past the table.
TEST(NameTables, PaddedNamesAndNoneOutsideTheTables)
{
    initFunctionNames();
    initPaletteTypeNames();
    EXPECT_EQ(functionName(10), "Green (Magenta)     ");
    EXPECT_EQ(functionName(44), std::string(20, ' '));
    EXPECT_EQ(paletteTypeName(8), "Max                 ");
    for (const int outside : {48, -1, 32767, -32768})
        EXPECT_EQ(functionName(outside), "") << "code " << outside;
    EXPECT_TRUE(FunctionNames[48].isAllZero());
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
