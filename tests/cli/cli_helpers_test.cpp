// The naming and quoting rules the commands rely on.
#include "cli_test_support.h"

#include "cli/json.h"
#include "cli/render.h"
#include "cli/safe_names.h"

#include <string_view>

using namespace cli;
using namespace std::string_view_literals;

TEST(SafeFileStem, NamesCannotLeaveTheirFolder)
{
    const struct {
        std::u16string_view name;
        std::u16string_view stem;
    } cases[] = {
        {u"Spot 250", u"Spot 250"}, {u"a\\b", u"a_b"},   {u"...hidden", u"_hidden"},     {u".profile", u"profile"},
        {u"x..y", u"x_y"},          {u"v1.2", u"v1.2"},  {u" trailing. ", u"trailing"},  {u"tab\there", u"tab_here"},
        {u"nul\0"sv, u"nul_"},      {u"c1\x85", u"c1_"}, {u"a:b*c?d\"e<f>g|h", u"a_b_c_d_e_f_g_h"},
        {u"caf\u00E9 \u20AC", u"caf\u00E9 \u20AC"},      {u"", u"fallback"},             {u" . ", u"fallback"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf16(c.name.data(), static_cast<qsizetype>(c.name.size()));
        EXPECT_EQ(safeFileStem(name, "fallback"), QString::fromUtf16(c.stem.data(), static_cast<qsizetype>(c.stem.size())))
            << name;
    }
}

TEST(TextForTerminals, QuotedForJsonTrimmedAndControlsHidden)
{
    EXPECT_EQ(jsonQuote("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonQuote(QString(QChar(u'\0')) + QChar(u'\x1f') + QChar(u'\n') + QChar(u'\x81')),
              "\"\\u0000\\u001f\\n\\u0081\"");
    const std::uint8_t bytes[] = {' ', 'A', 0x09, 'b', 0xE9, 0x1B, 0x00, ' ', 0x00};
    EXPECT_EQ(displayText(bytes, sizeof bytes), QStringLiteral("A?b\u00E9?"));
}
