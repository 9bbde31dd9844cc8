#include "library/library_entry.h"

#include "core/fixture_mapping.h"
#include "library/search_text.h"

namespace library {

namespace {

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString oneLine(const std::string& text)
{
    return oneLineText(fromStd(text));
}

}  // namespace

QString formatKey(Format format)
{
    switch (format) {
    case Format::Ofl: return QStringLiteral("ofl");
    case Format::Qlc: return QStringLiteral("qlc");
    case Format::Gdtf: return QStringLiteral("gdtf");
    }
    return {};
}

QString formatLabel(Format format)
{
    switch (format) {
    case Format::Ofl: return QStringLiteral("OFL");
    case Format::Qlc: return QStringLiteral("QLC+");
    case Format::Gdtf: return QStringLiteral("GDTF");
    }
    return {};
}

QString oneLineText(QString text)
{
    for (QChar& ch : text)
        if (ch.category() == QChar::Other_Control)
            ch = QLatin1Char(' ');
    return text.simplified();
}

bool Entry::fits() const
{
    for (const ModeSummary& mode : modes)
        if (mode.fits)
            return true;
    return false;
}

QString Entry::channelCounts(const QString& separator) const
{
    QStringList counts;
    counts.reserve(static_cast<qsizetype>(modes.size()));
    for (const ModeSummary& mode : modes)
        counts << (mode.readable ? QString::number(mode.channels) : QStringLiteral("?"));
    return counts.join(separator);
}

void describe(Entry& entry, const rig::FixtureDescription& fixture)
{
    entry.kind = Entry::Kind::Fixture;
    entry.manufacturer = oneLine(fixture.manufacturer);
    entry.model = oneLine(fixture.name);
    entry.shortName = oneLine(fixture.shortName);
    entry.type = oneLine(fixture.category);
    entry.modes.clear();
    entry.modes.reserve(fixture.modes.size());
    for (const rig::FixtureMode& mode : fixture.modes) {
        ModeSummary summary;
        summary.name = oneLine(mode.name);
        summary.channels = static_cast<int>(mode.channels.size());
        summary.readable = mode.refusal.empty();
        summary.fits = rig::fixtureModeRefusal(mode).empty();
        entry.modes.push_back(std::move(summary));
    }
    entry.problem.clear();
}

void prepareForSearch(Entry& entry)
{
    entry.searchText = searchTextOf(entry.manufacturer, entry.model, entry.shortName);
}

bool listedBefore(const Entry& a, const Entry& b)
{
    if (const int order = a.searchText.compare(b.searchText); order != 0)
        return order < 0;
    return a.path < b.path;
}

}  // namespace library
