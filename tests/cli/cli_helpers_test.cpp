// The naming and quoting rules the commands rely on.
#include "cli_test_support.h"

#include "cli/json.h"
#include "cli/render.h"
#include "cli/safe_names.h"

using namespace cli;

TEST(SafeFileStem, NamesCannotLeaveTheirFolder)
{
    const struct { const char16_t *name, *stem; } cases[] = {
        {u"Spot 250", u"Spot 250"}, {u"a\\b", u"a_b"}, {u"...hidden", u"_hidden"}, {u".profile", u"profile"},
        {u"x..y", u"x_y"}, {u"v1.2", u"v1.2"}, {u" trailing. ", u"trailing"}, {u"c1\x85\t", u"c1__"},
        {u"a:b*c?d\"e<f>g|h", u"a_b_c_d_e_f_g_h"}, {u"caf\u00E9 \u20AC", u"caf\u00E9 \u20AC"}, {u" . ", u"fallback"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf16(c.name);
        EXPECT_EQ(safeFileStem(name, "fallback"), QString::fromUtf16(c.stem)) << name;
    }
}

TEST(TextForTerminals, QuotedForJsonTrimmedAndControlsHidden)
{
    EXPECT_EQ(jsonQuote(QString("a\"b\\c\n") + QChar(u'\x1f') + QChar(u'\x81')), "\"a\\\"b\\\\c\\n\\u001f\\u0081\"");
    const std::uint8_t bytes[] = {' ', 'A', 0x09, 'b', 0xE9, 0x1B, 0x00, ' ', 0x00};
    EXPECT_EQ(displayText(bytes, sizeof bytes), QStringLiteral("A?b\u00E9?"));
}
