// verify and export against lamp files laid out byte by byte.
#include "cli_test_support.h"

#include "console/lamp_exchange.h"

#include <QFileInfo>

#include <sys/stat.h>

using namespace clitest;

namespace {

// Function codes, for the tables below.
constexpr int None = 0, PanCoarse = 1, PanFine = 2, Pan8Bit = 3, Tilt8Bit = 6, Zoom = 18, Dimmer = 21;
constexpr int Position = 1;

QStringList lines(std::initializer_list<const char*> texts)
{
    QStringList result;
    for (const char* text : texts)
        result << QString::fromLatin1(text);
    return result;
}

}  // namespace

class VerifyTest : public CliFixture {};

TEST_F(VerifyTest, FindingsOfTheExampleLamps)
{
    const struct {
        const char* name;
        Bytes image;
        QStringList expected;
        int status;
    } cases[] = {
        {"new lamp", lampImage("New Lamp", {{None, None, 1}}),
         lines({"Warning: No dimmer channel assignment", "Warning: No pan channel assignment",
                "Warning: No tilt channel assignment", "Warning: Channel 1 has palette set to None",
                "Lamp Check Complete"}),
         0},
        {"zoom twice",
         lampImage("Zoomer", {{1, Dimmer, 1}, {1, Zoom, 1}, {1, PanCoarse, 1}, {1, PanFine, 1}, {1, Zoom, 1}}),
         lines({"Error: Duplicate function on channels 2 and 5"}), 1},
        {"balanced",
         lampImage("Balanced", {{Position, PanCoarse, 1}, {Position, PanFine, 1}, {Position, Tilt8Bit, 1}, {Position, Dimmer, 1}},
                   {{1, PanFine}}),
         lines({"Lamp Check Complete"}), 0},
        {"fine without wheel",
         lampImage("NoWheel", {{Position, PanCoarse, 1}, {Position, PanFine, 1}, {Position, Tilt8Bit, 1}, {Position, Dimmer, 1}}),
         lines({"Error: Channel 2 has no wheel assignment"}), 1},
        {"pan 8-bit with fine", lampImage("Mixed", {{Position, Pan8Bit, 1}, {Position, PanFine, 1}}),
         lines({"Warning: No dimmer channel assignment", "Error: Pan Coarse or Pan Fine used with Pan 8-bit"}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write(QStringLiteral("lamp.lmp"), c.image);
        const Result result = run({QStringLiteral("verify"), path(QStringLiteral("lamp.lmp"))});
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.outLines(), c.expected);
        EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    }
}

TEST_F(VerifyTest, SeveralFilesAreHeadedAndTheWorstOutcomeDecides)
{
    write(QStringLiteral("good.lmp"),
          lampImage("Good", {{Position, PanCoarse, 1}, {Position, PanFine, 1}, {Position, Tilt8Bit, 1}, {Position, Dimmer, 1}},
                    {{0, PanFine}}));
    write(QStringLiteral("bad.lmp"), lampImage("Bad", {{1, Zoom, 1}, {1, Zoom, 1}}));

    const Result mixed = run({QStringLiteral("verify"), path(QStringLiteral("good.lmp")), path(QStringLiteral("bad.lmp"))});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.outLines(), QStringList({path(QStringLiteral("good.lmp")) + QLatin1Char(':'),
                                             QStringLiteral("Lamp Check Complete"),
                                             path(QStringLiteral("bad.lmp")) + QLatin1Char(':'),
                                             QStringLiteral("Error: Duplicate function on channels 1 and 2")}));

    // An unreadable file is reported, the others are still checked, and it sets status 2.
    const Result unreadable = run({QStringLiteral("verify"), path(QStringLiteral("bad.lmp")),
                                   path(QStringLiteral("gone.lmp")), path(QStringLiteral("good.lmp"))});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_EQ(unreadable.errLines(),
              QStringList({QStringLiteral("rigsmith-cli: ") + path(QStringLiteral("gone.lmp")) + QStringLiteral(": File not found")}));
    EXPECT_EQ(unreadable.outLines().size(), 4);
    EXPECT_EQ(unreadable.outLines().last(), QStringLiteral("Lamp Check Complete"));
}

class ExportTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("src")));
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("out")));
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("ref")));
        Bytes spot = lampImage("Spot", {{1, PanCoarse, 1}, {1, PanFine, 2}}, {{1, PanFine}}, 2);
        put(spot, 1500, {0xEE});  // a reserved byte that must travel unchanged
        write(QStringLiteral("src/spot.lmp"), spot);
        write(QStringLiteral("src/wash.lmp"), lampImage("Wash", {{4, Dimmer, 1}}, {}, 1));
    }

    // What the export dialog writes for the same list: the same core conversion.
    Bytes dialogOutput(const std::vector<std::string>& names)
    {
        const QString reference = path(QStringLiteral("ref/lamp.dat"));
        rig::exportLampData(QFile::encodeName(path(QStringLiteral("src"))).toStdString(), names,
                            QFile::encodeName(reference).toStdString(), QFile::encodeName(appDir()).toStdString());
        return read(QStringLiteral("ref/lamp.dat"));
    }

    QStringList exportArgs(const QString& out, const QStringList& names, bool force = false)
    {
        QStringList args = {QStringLiteral("export"), QStringLiteral("-o"), path(out)};
        if (force)
            args << QStringLiteral("--force");
        for (const QString& name : names)
            args << path(QStringLiteral("src/") + name);
        return args;
    }
};

TEST_F(ExportTest, WritesWhatTheDialogWritesAndCopiesShowttl)
{
    const Result result = run(exportArgs(QStringLiteral("out/lamp.dat"), {QStringLiteral("spot.lmp"), QStringLiteral("wash.lmp")}));
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());

    const Bytes written = read(QStringLiteral("out/lamp.dat"));
    EXPECT_EQ(written, dialogOutput({"spot.lmp", "wash.lmp"}));
    ASSERT_EQ(written.size(), 30720u);
    const Bytes header(written.begin(), written.begin() + 20);
    EXPECT_EQ(header, Bytes({0x40, 0x3F, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0xE4, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const Bytes spot = read(QStringLiteral("src/spot.lmp"));
    EXPECT_TRUE(std::equal(spot.begin(), spot.end(), written.begin() + 20));
    // Slot 1 starts at file offset 1642 and continues after the second block's header.
    const Bytes wash = read(QStringLiteral("src/wash.lmp"));
    EXPECT_TRUE(std::equal(wash.begin(), wash.begin() + 398, written.begin() + 1642));
    EXPECT_TRUE(std::equal(wash.begin() + 398, wash.end(), written.begin() + 2068));

    EXPECT_EQ(read(QStringLiteral("out/showttl.dat")), showTitleBytes());
}

TEST_F(ExportTest, RefusesToReplaceWithoutForce)
{
    const Bytes old = {'o', 'l', 'd'};
    write(QStringLiteral("out/lamp.dat"), old);
    const QStringList names = {QStringLiteral("spot.lmp")};

    const Result refused = run(exportArgs(QStringLiteral("out/lamp.dat"), names));
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines(), QStringList({QStringLiteral("rigsmith-cli: ") + path(QStringLiteral("out/lamp.dat")) +
                                               QStringLiteral(": File exists; use --force to replace it")}));
    EXPECT_EQ(read(QStringLiteral("out/lamp.dat")), old);
    EXPECT_FALSE(exists(QStringLiteral("out/showttl.dat")));

    const Result forced = run(exportArgs(QStringLiteral("out/lamp.dat"), names, true));
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_EQ(read(QStringLiteral("out/lamp.dat")), dialogOutput({"spot.lmp"}));
}

TEST_F(ExportTest, WarnsAboutTheNameAndAboutMoreThanSixteenLamps)
{
    const struct {
        const char* out;
        bool warned;
    } names[] = {{"out/lamp.dat", false}, {"out/LAMP.DAT", false}, {"out/Lamp.dat", false}, {"out/show.bin", true}};
    for (const auto& c : names) {
        SCOPED_TRACE(c.out);
        const Result result = run(exportArgs(QString::fromLatin1(c.out), {QStringLiteral("wash.lmp")}, true));
        EXPECT_EQ(result.status, 0);
        const QString warning = QStringLiteral("rigsmith-cli: warning: ") + path(QString::fromLatin1(c.out)) +
                                QStringLiteral(": Dornick will only load lamps from a data file called 'LAMP.DAT'. "
                                               "You will need to rename this file before loading it into the console");
        EXPECT_EQ(result.errLines(), c.warned ? QStringList({warning}) : QStringList());
        EXPECT_TRUE(exists(QString::fromLatin1(c.out)));  // the warning does not stop the export
    }

    QStringList seventeen;
    std::vector<std::string> list;
    for (int i = 0; i < 17; ++i) {
        const char* name = i % 2 == 0 ? "spot.lmp" : "wash.lmp";
        seventeen << QString::fromLatin1(name);
        list.emplace_back(name);
    }
    const Result many = run(exportArgs(QStringLiteral("out/many.dat"), seventeen));
    EXPECT_EQ(many.status, 0);
    EXPECT_TRUE(many.errLines().contains(
        QStringLiteral("rigsmith-cli: warning: 17 lamp files given; only the first 16 are stored")));
    EXPECT_EQ(read(QStringLiteral("out/many.dat")), dialogOutput(list));
}

// Nothing partial is left: a failure before or after the lamp data file was written
// leaves the output folder as it was.
TEST_F(ExportTest, FailuresLeaveNothingBehind)
{
    const Result missingLamp = run(exportArgs(QStringLiteral("out/lamp.dat"), {QStringLiteral("spot.lmp"), QStringLiteral("nope.lmp")}));
    EXPECT_EQ(missingLamp.status, 2);
    EXPECT_EQ(missingLamp.errLines(),
              QStringList({QStringLiteral("rigsmith-cli: ") + path(QStringLiteral("src/nope.lmp")) + QStringLiteral(": File not found")}));
    EXPECT_FALSE(exists(QStringLiteral("out/lamp.dat")));
    EXPECT_FALSE(exists(QStringLiteral("src/nope.lmp")));

    ASSERT_TRUE(QFile::remove(path(QStringLiteral("app/showttl.dat"))));
    const Result noShowttl = run(exportArgs(QStringLiteral("out/lamp.dat"), {QStringLiteral("spot.lmp")}));
    EXPECT_EQ(noShowttl.status, 2);
    ASSERT_EQ(noShowttl.errLines().size(), 1);
    EXPECT_TRUE(noShowttl.errLines().first().contains(QStringLiteral("showttl.dat: File not found")));
    EXPECT_FALSE(exists(QStringLiteral("out/lamp.dat")));
    write(QStringLiteral("app/showttl.dat"), showTitleBytes());

    // A write-protected showttl.dat in the output folder fails the copy, which comes
    // after the lamp data file was written: the old file must come back.
    const Bytes old = {'o', 'l', 'd'};
    write(QStringLiteral("out/lamp.dat"), old);
    write(QStringLiteral("out/showttl.dat"), {'x'});
    ASSERT_EQ(::chmod(QFile::encodeName(path(QStringLiteral("out/showttl.dat"))).constData(), 0444), 0);
    const Result copyFails = run(exportArgs(QStringLiteral("out/lamp.dat"), {QStringLiteral("spot.lmp")}, true));
    EXPECT_EQ(copyFails.status, 2);
    EXPECT_EQ(copyFails.errLines().size(), 1);
    EXPECT_EQ(read(QStringLiteral("out/lamp.dat")), old);
    EXPECT_EQ(read(QStringLiteral("out/showttl.dat")), Bytes({'x'}));

    const Result freshFails = run(exportArgs(QStringLiteral("out/new.dat"), {QStringLiteral("spot.lmp")}));
    EXPECT_EQ(freshFails.status, 2);
    EXPECT_FALSE(exists(QStringLiteral("out/new.dat")));
    EXPECT_EQ(QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("lamp.dat"), QStringLiteral("showttl.dat")}));
}
