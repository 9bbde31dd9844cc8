#pragma once

#include <QString>
#include <QStringList>

// Where a lamp made from a fixture definition came from. Its lamp window shows this for
// as long as it is open: in the caption, in each grid row's tooltip and in the notes
// its pop-up menu offers.
struct FixtureOrigin {
    QString caption;      // "<fixture name> (<mode name>)"
    QStringList rowTips;  // one a lamp channel: the fixture channel it came from
    QString notes;        // the mapping notes, as the import showed them
};
