#pragma once

#include "core/fixture_description.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// One definition file of the fixture library as the index keeps it: enough to list,
// search and filter it without reading the file again.
namespace library {

enum class Format : std::uint8_t { Ofl, Qlc, Gdtf };

// "ofl", "qlc" or "gdtf", as the command line prints it.
[[nodiscard]] QString formatKey(Format format);
// "OFL", "QLC+" or "GDTF", as the window shows it.
[[nodiscard]] QString formatLabel(Format format);

struct ModeSummary {
    QString name;
    int channels = 0;
    // False when the reader could not lay the mode out; its channel count means nothing then.
    bool readable = true;
    // True when the mode can become a lamp (readable, 1 to 36 channels).
    bool fits = false;

    friend bool operator==(const ModeSummary& a, const ModeSummary& b)
    {
        return a.name == b.name && a.channels == b.channels && a.readable == b.readable && a.fits == b.fits;
    }
};

struct Entry {
    enum class Kind : std::uint8_t {
        Fixture,
        Problem,     // a file or folder that cannot be read; `problem` says why
        NotFixture,  // a JSON file of some other kind (a package list, a schema): kept quiet
    };

    Kind kind = Kind::Fixture;
    QString path;  // the file (or folder) as the system names it, see rig::fromPath
    qint64 size = 0;
    qint64 modifiedNs = 0;  // modification time, nanoseconds since the epoch

    Format format = Format::Ofl;
    QString manufacturer;
    bool manufacturerFromFolder = false;  // the open fixture library's folder key or its name
    QString model;
    QString shortName;
    QString type;
    std::vector<ModeSummary> modes;  // file order
    QString problem;

    // Manufacturer, model and short name folded for searching (see search_text.h);
    // made when the entry is read or loaded, never stored.
    QString searchText;

    // True when some mode can become a lamp.
    [[nodiscard]] bool fits() const;
    // The modes' channel counts in file order, "8, 16, ?" ("?" for a mode that cannot be read).
    [[nodiscard]] QString channelCounts(const QString& separator = QStringLiteral(", ")) const;
};

// A text for one cell or one tab-separated field: control characters (tabs and line
// breaks included) become spaces, runs of spaces one.
[[nodiscard]] QString oneLineText(QString text);

// Fills the listing fields of a fixture entry from a definition as read.
void describe(Entry& entry, const rig::FixtureDescription& fixture);

// Sets searchText from the names.
void prepareForSearch(Entry& entry);

// Manufacturer, then model, then path, ignoring case and accents; the order of every listing.
[[nodiscard]] bool listedBefore(const Entry& a, const Entry& b);

}  // namespace library
