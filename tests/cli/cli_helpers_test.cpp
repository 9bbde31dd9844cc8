// The naming and quoting rules the commands rely on.
#include "cli_test_support.h"

#include "cli/json.h"
#include "cli/patch_sheet_text.h"
#include "cli/safe_names.h"
#include "qtcore/field_text.h"
#include "qtcore/file_names.h"

#include <string_view>

using namespace cli;

TEST(SafeFileStem, NamesCannotLeaveTheirFolder)
{
    const struct { const char16_t *name, *stem; } cases[] = {
        {u"Spot 250", u"Spot 250"}, {u"a\\b", u"a_b"}, {u"...hidden", u"_hidden"}, {u".profile", u"profile"},
        {u"x..y", u"x_y"}, {u"v1.2", u"v1.2"}, {u" trailing. ", u"trailing"}, {u"c1\x85\t", u"c1__"},
        {u"a:b*c?d\"e<f>g|h", u"a_b_c_d_e_f_g_h"}, {u"caf\u00E9 \u20AC", u"caf\u00E9 \u20AC"}, {u" . ", u"fallback"},
        // Device names that Windows reserves, whatever their case and extension.
        {u"CON", u"CON_"}, {u"nul.txt", u"nul_.txt"}, {u"com1 .x", u"com1_ .x"}, {u"Lpt9", u"Lpt9_"}, {u"aux.", u"aux_"},
        {u"COM10", u"COM10"}, {u"CONSOLE", u"CONSOLE"}, {u"prn2.lmp", u"prn2.lmp"}, {u"LPT0", u"LPT0"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf16(c.name);
        EXPECT_EQ(safeFileStem(name, "fallback"), QString::fromUtf16(c.stem)) << name;
    }
}

TEST(TextForTerminals, QuotedForJsonTrimmedAndControlsHidden)
{
    EXPECT_EQ(jsonQuote(QString("a\"b\\c\n") + QChar(u'\x1f') + QChar(u'\x81')), "\"a\\\"b\\\\c\\n\\u001f\\u0081\"");
    // A stored name as the text output and the patch sheet show it, and as import --list does: whole.
    const std::string_view bytes("\x20" "A\x09" "b\xE9\x1B\x00\x20\x00", 9);
    EXPECT_EQ(rig::fromField(bytes, rig::FieldSpaces::Trim, rig::FieldControls::AsQuestionMark), QStringLiteral("A?b\u00E9?"));
    EXPECT_EQ(rig::fromField(bytes, rig::FieldSpaces::Keep, rig::FieldControls::AsQuestionMark),
              QStringLiteral(" A?b\u00E9?? ?"));
}

TEST(ArgumentBytes, AnyFileNameComesBackAsTheSameBytes)
{
    for (const QByteArray& bytes : {QByteArray("bad\xff\xfe.lmp"), QByteArray("B\xc3\xbchne"), QByteArray("\xed\xa0\x80"),
                                   QByteArray("\xf0\x9f\x8e\xad x"), QByteArray("\xe2\x82"), QByteArray("\xc0\xaf")})
        EXPECT_EQ(QByteArray::fromStdString(rig::toPath(rig::fromPath(bytes))), bytes) << bytes.toHex().toStdString();
    EXPECT_EQ(rig::fromPath(QByteArray("B\xc3\xbchne")), QString::fromUtf8("B\xc3\xbchne"));
}

TEST(PatchSheetCsv, CellsASpreadsheetWouldRunStayText)
{
    const struct { const char *cell, *field; } cases[] = {
        {"=1+1+cmd|calc", "'=1+1+cmd|calc"}, {"+x", "'+x"}, {"-y", "'-y"}, {"@SUM(A1)", "'@SUM(A1)"},
        {"\tq", "'\tq"}, {"\rr", "\"'\rr\""}, {"-5", "-5"}, {"a=b", "a=b"}, {"-3-10", "'-3-10"},
        {"Spot, 250", "\"Spot, 250\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}, {" pad", "\" pad\""}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csvLine({"1", c.cell, "x"}), QStringLiteral("1,%1,x\n").arg(c.field)) << c.cell;
}
