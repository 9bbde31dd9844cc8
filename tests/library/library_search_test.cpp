#include "library_test_support.h"

#include "library/search_text.h"

namespace {

using namespace librarytest;
using library::Entry;

Entry named(const QString& manufacturer, const QString& model, const QString& shortName = QString())
{
    Entry entry;
    entry.manufacturer = manufacturer;
    entry.model = model;
    entry.shortName = shortName;
    library::prepareForSearch(entry);
    return entry;
}

bool finds(const Entry& entry, const QString& typed)
{
    return library::matchesWords(entry.searchText, library::searchWords(typed));
}

TEST(LibrarySearch, EveryWordInAnyNameCaseAndAccentsIgnored)
{
    const Entry lynx = named("Kestrel", "Lynx 600E Spot", "L600E");
    EXPECT_TRUE(finds(lynx, "lynx 600"));
    EXPECT_TRUE(finds(lynx, "  600   KESTREL "));
    EXPECT_TRUE(finds(lynx, "l600e spot"));
    EXPECT_TRUE(finds(lynx, ""));
    EXPECT_FALSE(finds(lynx, "lynx 700"));
    // A word does not run from one name into the next.
    EXPECT_FALSE(finds(lynx, "kestrellynx"));

    const Entry french = named("Éclairage Scénique", "Lyre Ø 200", "Œil");
    EXPECT_TRUE(finds(french, "eclairage scenique"));
    EXPECT_TRUE(finds(french, "ÉCLAIRAGE"));
    EXPECT_TRUE(finds(french, "lyre o 200"));
    EXPECT_TRUE(finds(french, "oeil"));
    EXPECT_TRUE(finds(named("Lichttechnik Straße", "Füße"), "strasse fusse"));
    // Accents typed where the name has none.
    EXPECT_TRUE(finds(named("Eclair", "Spot"), "éclair spöt"));
    // Full-width and compatibility forms fold to the plain letters.
    EXPECT_TRUE(finds(named("ＡＢＣ", "ﬁxture"), "abc fixture"));
}

TEST(LibrarySearch, FitsWhenSomeModeCanBecomeALamp)
{
    Entry entry = named("M", "X");
    EXPECT_FALSE(entry.fits());
    entry.modes = {{"Pixels", 41, true, false}, {"Broken", 0, false, false}};
    EXPECT_FALSE(entry.fits());
    EXPECT_EQ(entry.channelCounts(), "41, ?");
    entry.modes.push_back({"Basic", 8, true, true});
    EXPECT_TRUE(entry.fits());
    EXPECT_EQ(entry.channelCounts(QStringLiteral(",")), "41,?,8");

    // Read from files: a fixture whose every mode is too large does not fit.
    Tree tree;
    tree.copySample("pixelbar.json", "pixelbar.json");
    tree.write("wide.json", R"({"name": "Wide", "availableChannels": {"D": {"capability": {"type": "Intensity"}}},
        "modes": [{"name": "Wide", "channels": [)" + QByteArray("\"D\"") + QByteArray(", null").repeated(39) + "]}]}");
    const library::ScanResult result = scan({tree.path()});
    EXPECT_TRUE(entryOf(result, "pixelbar.json").fits());
    EXPECT_EQ(entryOf(result, "wide.json").channelCounts(), "40");
    EXPECT_FALSE(entryOf(result, "wide.json").fits());
}

}  // namespace
