// verify and export against lamp files laid out byte by byte.
#include "cli_test_support.h"

#include "console/lamp_exchange.h"

#include <sys/stat.h>

using namespace clitest;

namespace {

// Function codes, for the tables below.
constexpr int None = 0, PanCoarse = 1, PanFine = 2, Pan8Bit = 3, Tilt8Bit = 6, Zoom = 18, Dimmer = 21;

// Pan coarse and fine, tilt and dimmer, all in the Position palette, with the given wheel slot functions.
Bytes panTiltDimmer(std::initializer_list<std::pair<int, int>> wheelFunctions)
{
    return lampImage("Balanced", {{1, PanCoarse, 1}, {1, PanFine, 1}, {1, Tilt8Bit, 1}, {1, Dimmer, 1}}, wheelFunctions);
}

using VerifyTest = CliFixture;

TEST_F(VerifyTest, FindingsAndStatusOfTheExampleLamps)
{
    const struct {
        Bytes image;
        const char* expected;
        int status;
    } cases[] = {
        {lampImage("New Lamp", {{None, None, 1}}),
         "Warning: No dimmer channel assignment\nWarning: No pan channel assignment\nWarning: No tilt channel assignment\n"
         "Warning: Channel 1 has palette set to None\nLamp Check Complete\n",
         0},
        {lampImage("Zoomer", {{1, Dimmer, 1}, {1, Zoom, 1}, {1, PanCoarse, 1}, {1, PanFine, 1}, {1, Zoom, 1}}),
         "Error: Duplicate function on channels 2 and 5\n", 1},
        {panTiltDimmer({{1, PanFine}}), "Lamp Check Complete\n", 0},
        {panTiltDimmer({}), "Error: Channel 2 has no wheel assignment\n", 1},
        {lampImage("Mixed", {{1, Pan8Bit, 1}, {1, PanFine, 1}}),
         "Warning: No dimmer channel assignment\nError: Pan Coarse or Pan Fine used with Pan 8-bit\n", 1},
    };
    for (const auto& c : cases) {
        write("lamp.lmp", c.image);
        const Result result = run("verify @lamp.lmp");
        EXPECT_EQ(result.status, c.status) << c.expected;
        EXPECT_EQ(result.out, c.expected);
        EXPECT_TRUE(result.err.isEmpty()) << result.err;
    }

    // Several files: each headed by its name, the worst outcome decides, an unreadable one gives 2.
    write("good.lmp", panTiltDimmer({{0, PanFine}}));
    write("bad.lmp", lampImage("Bad", {{1, Zoom, 1}, {1, Zoom, 1}}));
    const Result mixed = run("verify @good.lmp @bad.lmp");
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.out, path("good.lmp") + ":\nLamp Check Complete\n" + path("bad.lmp") +
                             ":\nError: Duplicate function on channels 1 and 2\n");
    const Result unreadable = run("verify @bad.lmp @gone.lmp @good.lmp");
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_EQ(unreadable.errLines(), QStringList{failure("gone.lmp", "File not found")});
    EXPECT_EQ(unreadable.outLines().size(), 4);
    EXPECT_EQ(unreadable.outLines().last(), "Lamp Check Complete");
}

class ExportTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        mkdir("src");
        mkdir("out");
        put(m_spot, 1500, {0xEE});  // a reserved byte that must travel unchanged
        write("src/spot.lmp", m_spot);
        write("src/wash.lmp", lampImage("Wash", {{4, Dimmer, 1}}));
    }

    // What the export dialog writes for the same list: the same core conversion.
    Bytes dialogOutput(const std::vector<std::string>& names)
    {
        const auto native = [this](const char* name) { return QFile::encodeName(path(name)).toStdString(); };
        rig::exportLampData(native("src"), names, native("dialog.dat"), native("app"));
        return read("dialog.dat");
    }

    Bytes m_spot = lampImage("Spot", {{1, PanCoarse, 1}, {1, PanFine, 2}}, {{1, PanFine}}, 2);
    const Bytes m_old = {'o', 'l', 'd'};
};

TEST_F(ExportTest, WritesWhatTheDialogWritesForTheSameList)
{
    // Seventeen files: a warning, and only the first sixteen are stored.
    QString line = "export -o @out/lamp.dat";
    std::vector<std::string> names;
    for (int i = 0; i < 17; ++i) {
        names.emplace_back(i % 2 == 0 ? "spot.lmp" : "wash.lmp");
        line += " @src/" + QString::fromStdString(names.back());
    }
    const Result result = run(line);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.errLines(), QStringList{"rigsmith-cli: warning: 17 lamp files given; only the first 16 are stored"});
    const Bytes written = read("out/lamp.dat");
    EXPECT_EQ(written, dialogOutput(names));
    ASSERT_EQ(written.size(), 30720u);
    EXPECT_TRUE(std::equal(m_spot.begin(), m_spot.end(), written.begin() + 20));
    EXPECT_EQ(read("out/showttl.dat"), m_showTitle);

    // Any name but LAMP.DAT (in any case) is written with a warning.
    for (const char* out : {"out/LAMP.DAT", "out/Lamp.dat", "out/show.bin"}) {
        const Result other = run(QStringLiteral("export -o @%1 @src/wash.lmp").arg(QLatin1String(out)));
        EXPECT_EQ(other.status, 0);
        EXPECT_TRUE(exists(out));
        const QString warning = "rigsmith-cli: warning: " + path(out) +
                                ": Dornick will only load lamps from a data file called 'LAMP.DAT'. "
                                "You will need to rename this file before loading it into the console";
        EXPECT_EQ(other.errLines(), QString(out).endsWith(".bin") ? QStringList{warning} : QStringList()) << out;
    }
}

TEST_F(ExportTest, RefusesToReplaceWithoutForce)
{
    write("out/lamp.dat", m_old);
    const Result refused = run("export -o @out/lamp.dat @src/spot.lmp");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines(), QStringList{failure("out/lamp.dat", "File exists; use --force to replace it")});
    EXPECT_EQ(read("out/lamp.dat"), m_old);
    EXPECT_FALSE(exists("out/showttl.dat"));

    EXPECT_EQ(run("export -o @out/lamp.dat --force @src/spot.lmp").status, 0);
    EXPECT_EQ(read("out/lamp.dat"), dialogOutput({"spot.lmp"}));
}

// A failure before or after the lamp data file was written leaves the output folder as it was.
TEST_F(ExportTest, FailuresLeaveNothingBehind)
{
    const Result missingLamp = run("export -o @out/lamp.dat @src/spot.lmp @src/nope.lmp");
    EXPECT_EQ(missingLamp.errLines(), QStringList{failure("src/nope.lmp", "File not found")});
    ASSERT_TRUE(QFile::remove(path("app/showttl.dat")));
    const Result noShowttl = run("export -o @out/lamp.dat @src/spot.lmp");
    EXPECT_EQ(noShowttl.errLines(), QStringList{failure("app/showttl.dat", "File not found")});
    EXPECT_EQ(missingLamp.status + noShowttl.status, 4);
    EXPECT_TRUE(QDir(path("out")).isEmpty());
    write("app/showttl.dat", m_showTitle);

    // A write-protected showttl.dat in the output folder fails the copy, which comes
    // after the lamp data file was written: the old file must come back.
    write("out/lamp.dat", m_old);
    write("out/showttl.dat", {'x'});
    ASSERT_EQ(::chmod(QFile::encodeName(path("out/showttl.dat")).constData(), 0444), 0);
    const Result copyFails = run("export --force -o @out/lamp.dat @src/spot.lmp");
    EXPECT_EQ(copyFails.status, 2);
    EXPECT_EQ(copyFails.errLines().size(), 1);
    EXPECT_EQ(run("export -o @out/new.dat @src/spot.lmp").status, 2);
    EXPECT_EQ(read("out/lamp.dat"), m_old);
    EXPECT_EQ(read("out/showttl.dat"), Bytes{'x'});
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden), (QStringList{"lamp.dat", "showttl.dat"}));
}

}  // namespace
