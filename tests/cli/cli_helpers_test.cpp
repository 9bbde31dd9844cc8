// The naming and quoting rules the commands rely on.
#include "cli_test_support.h"

#include "cli/json.h"
#include "cli/render.h"
#include "cli/safe_names.h"
#include "qtcore/file_names.h"

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
    const std::uint8_t bytes[] = {' ', 'A', 0x09, 'b', 0xE9, 0x1B, 0x00, ' ', 0x00};
    EXPECT_EQ(displayText(bytes, sizeof bytes), QStringLiteral("A?b\u00E9?"));
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
    std::vector<PatchSheetRow> rows;
    for (const char* type : {"=1+1+cmd|calc", "+x", "-y", "@SUM(A1)", "\tq", "\rr", "-5", "a=b"}) {
        PatchSheetRow row;
        row.type = QString::fromLatin1(type);
        row.dmxRange = QStringLiteral("-3-10");
        rows.push_back(row);
    }
    const QStringList lines = patchSheetCsv(rows).split(QLatin1Char('\n'));
    const QStringList types = {"'=1+1+cmd|calc", "'+x", "'-y", "'@SUM(A1)", "'\tq", "\"'\rr\"", "-5", "a=b"};
    for (qsizetype i = 0; i < types.size(); ++i)
        EXPECT_EQ(lines[i + 1], "0," + types[i] + ",0,0,'-3-10,,,,,") << i;
}
