#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace cli {

struct Column {
    QString title;
    bool alignRight = false;
};

// A title line and one line per row: columns padded to their widest cell, two spaces
// apart, no trailing blanks.
[[nodiscard]] QString formatTable(const std::vector<Column>& columns, const std::vector<QStringList>& rows);

}  // namespace cli
