#pragma once

// The QtCore side of the shared test helpers: the whole-file reads and writes of
// files.h by QString name, and Qt texts in failure messages.

#include "files.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Readable failure messages for Qt texts.
inline std::ostream& operator<<(std::ostream& os, const QString& text) { return os << text.toStdString(); }
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace rig::test {

inline Bytes readBytes(const QString& path) { return readBytes(QFile::encodeName(path).toStdString()); }
inline void writeBytes(const QString& path, const Bytes& bytes) { writeBytes(QFile::encodeName(path).toStdString(), bytes); }

// The same for text and archives the tests hold as QByteArray.
inline QByteArray readData(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeData(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size() || !file.flush())
        ADD_FAILURE() << "cannot write the test file " << path;
}

// Dates the file's last change, as a file saved at `when` would be.
inline void setModificationTime(const QString& path, const QDateTime& when)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(when, QFileDevice::FileModificationTime))
        ADD_FAILURE() << "cannot date the test file " << path;
}

}  // namespace rig::test
