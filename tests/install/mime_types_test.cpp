// The installed file type description against the common desktop database, which
// also claims "*.pat" (for image patterns with "GPAT" at byte 20): built into a
// MIME cache of its own, both Qt's and GLib's content detection, as file managers
// use them, must tell our stage patches from those patterns.
#include "../common/qt_helpers.h"
#include "../common/records.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

const QString patchType = QStringLiteral("application/x-rigsmith-patch");
const QString lampType = QStringLiteral("application/x-rigsmith-lamp");
const QString patternType = QStringLiteral("image/x-gimp-pat");

// The common description as shared-mime-info installs it.
QString commonDescription()
{
    QString dirs = QString::fromLocal8Bit(qgetenv("XDG_DATA_DIRS"));
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString path = dir + QStringLiteral("/mime/packages/freedesktop.org.xml");
        if (QFile::exists(path))
            return path;
    }
    return {};
}

// An image pattern: big-endian header size, version 1, width, height, bytes per
// pixel, "GPAT", a name; then the pixels.
QByteArray pattern(quint32 width, quint32 height, quint32 depth)
{
    const QByteArray name("stripes");
    QByteArray bytes(20, '\0');
    const quint32 header[] = {static_cast<quint32>(24 + name.size() + 1), 1, width, height, depth};
    for (int i = 0; i < 5; ++i)
        qToBigEndian(header[i], bytes.data() + 4 * i);
    bytes += "GPAT" + name + '\0';
    for (quint32 p = 0; p < width * height * depth; ++p)
        bytes += static_cast<char>(p * 7);
    return bytes;
}

class MimeTypes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(s_dir->isValid());
        const QString common = commonDescription();
        ASSERT_FALSE(common.isEmpty()) << "shared-mime-info is missing (scripts/install-deps.sh installs it)";
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        ASSERT_FALSE(tool.isEmpty()) << "update-mime-database is missing (scripts/install-deps.sh installs it)";

        const QString packages = s_dir->filePath(QStringLiteral("share/mime/packages"));
        ASSERT_TRUE(QDir().mkpath(packages));
        ASSERT_TRUE(QFile::copy(common, packages + QStringLiteral("/freedesktop.org.xml")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(RIGSMITH_MIME_DESCRIPTION), packages + QStringLiteral("/rigsmith.xml")));
        QProcess update;
        update.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PKGSYSTEM_ENABLE_FSYNC"), QStringLiteral("0"));  // a scratch cache
        update.setProcessEnvironment(environment);
        update.start(tool, {s_dir->filePath(QStringLiteral("share/mime"))});
        ASSERT_TRUE(update.waitForFinished(60000));
        ASSERT_EQ(update.exitCode(), 0) << update.readAll().toStdString();

        // Only this cache from here on, for Qt in this process and for gio below.
        qputenv("XDG_DATA_DIRS", QFile::encodeName(s_dir->filePath(QStringLiteral("share"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(s_dir->filePath(QStringLiteral("home"))));

        rig::StagePatch full;
        full.lmpLamps.fill(rig::newLamp());
        full.lmpLamps[1].NumberChannel = 36;
        full.lmpLamps[2].Icon = 4;
        full.patchEntries[0].StartDMX = 1;
        full.patchEntries[0].ScreenRow = 3;
        full.nNextEntry = 1;

        s_expected = {
            {QStringLiteral("show.pat"), patchType},
            {QStringLiteral("empty.pat"), patchType},
            {QStringLiteral("small pattern.pat"), patternType},
            {QStringLiteral("large pattern.pat"), patternType},
            {QStringLiteral("spot.lmp"), lampType},
        };
        rig::test::writeBytes(path("show.pat"), rig::encodePatchFile(full));
        rig::test::writeBytes(path("empty.pat"), rig::encodePatchFile({}));  // no lamp in any slot: all zeros up front
        rig::test::writeData(path("small pattern.pat"), pattern(4, 4, 3));    // shorter than the 4 KiB our rule needs
        rig::test::writeData(path("large pattern.pat"), pattern(96, 96, 4));  // as long as a stage patch and more
        rig::test::writeBytes(path("spot.lmp"), rig::test::imageOf(rig::newLamp()));
    }

    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    static QString path(const char* name) { return s_dir->filePath(QString::fromUtf8(name)); }

    static QTemporaryDir* s_dir;
    static std::map<QString, QString> s_expected;
};

QTemporaryDir* MimeTypes::s_dir = nullptr;
std::map<QString, QString> MimeTypes::s_expected;

TEST_F(MimeTypes, QtTellsStagePatchesFromImagePatterns)
{
    const QMimeDatabase database;
    for (const auto& [name, type] : s_expected)
        EXPECT_EQ(database.mimeTypeForFile(s_dir->filePath(name)).name(), type) << name.toStdString();
    EXPECT_EQ(database.mimeTypeForName(patchType).comment(), QStringLiteral("Rigsmith stage patch"));
}

// GLib reads less of a file than Qt before it decides, so it is asked too.
TEST_F(MimeTypes, GioTellsStagePatchesFromImagePatterns)
{
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    ASSERT_FALSE(gio.isEmpty()) << "gio is missing (scripts/install-deps.sh installs it)";
    for (const auto& [name, type] : s_expected) {
        QProcess info;
        info.start(gio, {QStringLiteral("info"), QStringLiteral("-a"), QStringLiteral("standard::content-type"),
                         s_dir->filePath(name)});
        ASSERT_TRUE(info.waitForFinished(60000));
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QStringLiteral("standard::content-type: ") + type + QLatin1Char('\n')))
            << name.toStdString() << ": " << out.toStdString();
    }
}

}  // namespace
