// The naming and quoting rules the commands rely on.
#include "cli/json.h"
#include "cli/render.h"
#include "cli/safe_names.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace cli;
using namespace std::string_view_literals;

TEST(SafeFileStem, NamesCannotLeaveTheirFolder)
{
    const struct {
        std::u16string_view name;
        std::u16string_view stem;
    } cases[] = {
        {u"Spot 250", u"Spot 250"},
        {u"../x", u"__x"},
        {u"a/b", u"a_b"},
        {u"a\\b", u"a_b"},
        {u"..", u"_"},
        {u"...hidden", u"_hidden"},
        {u".profile", u"profile"},
        {u"x..y", u"x_y"},
        {u"v1.2", u"v1.2"},
        {u" trailing. ", u"trailing"},
        {u"tab\there", u"tab_here"},
        {u"nul\0"sv, u"nul_"},
        {u"c1\x85", u"c1_"},
        {u"a:b*c?d\"e<f>g|h", u"a_b_c_d_e_f_g_h"},
        {u"caf\u00E9 \u20AC", u"caf\u00E9 \u20AC"},
        {u"", u"fallback"},
        {u" . ", u"fallback"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf16(c.name.data(), static_cast<qsizetype>(c.name.size()));
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(safeFileStem(name, QStringLiteral("fallback")),
                  QString::fromUtf16(c.stem.data(), static_cast<qsizetype>(c.stem.size())));
    }
}

TEST(UniqueFileNames, ClashesAreNumberedIgnoringCase)
{
    EXPECT_EQ(uniqueFileNames({QStringLiteral("Dup"), QStringLiteral("dup"), QStringLiteral("Other"), QStringLiteral("DUP"),
                               QStringLiteral("Dup_2")},
                              QStringLiteral(".lmp")),
              QStringList({QStringLiteral("Dup.lmp"), QStringLiteral("dup_2.lmp"), QStringLiteral("Other.lmp"),
                           QStringLiteral("DUP_3.lmp"), QStringLiteral("Dup_2_2.lmp")}));
}

TEST(JsonText, StringsAreEscapedAndFieldsKeepTheirOrder)
{
    EXPECT_EQ(jsonQuote(QStringLiteral("a\"b\\c")), QStringLiteral("\"a\\\"b\\\\c\""));
    EXPECT_EQ(jsonQuote(QString(QChar(u'\0')) + QChar(u'\x1f') + QChar(u'\n') + QChar(u'\x81')),
              QStringLiteral("\"\\u0000\\u001f\\n\\u0081\""));

    Json object = Json::object();
    object.set(QStringLiteral("zeta"), Json::number(-3));
    object.set(QStringLiteral("alpha"), Json::array().add(Json::number(1)).add(Json::number(2)));
    object.set(QStringLiteral("rows"), Json::array().add(Json::object().set(QStringLiteral("b"), Json::boolean(true))));
    EXPECT_EQ(object.serialize(), QStringLiteral("{\n"
                                                 "  \"zeta\": -3,\n"
                                                 "  \"alpha\": [1, 2],\n"
                                                 "  \"rows\": [\n"
                                                 "    {\"b\": true}\n"
                                                 "  ]\n"
                                                 "}\n"));
}

TEST(DisplayText, TrimsPaddingAndHidesControls)
{
    const std::uint8_t bytes[] = {' ', 'A', 0x09, 'b', 0xE9, 0x00, ' ', 0x00};
    EXPECT_EQ(displayText(bytes, sizeof bytes), QStringLiteral("A?b\u00E9"));
    const std::uint8_t hex[] = {0x00, 0x0F, 0xAB, 0xFF};
    EXPECT_EQ(hexString(hex, sizeof hex), QStringLiteral("000fabff"));
}
