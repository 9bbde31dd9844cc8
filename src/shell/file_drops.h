#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace shell {

// Lets files be dragged onto a widget, from a file manager say: local files only, and
// always as a copy, because they are only read and the drag's source keeps them.
class FileDrops final : public QObject {
    Q_OBJECT

public:
    explicit FileDrops(QWidget& target);

signals:
    // Emitted while the drop is still running: receivers that may show a message box
    // should take it queued, so as not to hold up the program the files came from.
    void dropped(const QStringList& fileNames);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_target;
};

}  // namespace shell
