// verify and export against lamp files laid out byte by byte.
#include "cli_test_support.h"

#include "core/lamp_exchange.h"

#include <sys/stat.h>

using namespace clitest;

namespace {

constexpr int None = 0, PanCoarse = 1, PanFine = 2, Tilt8Bit = 6, Zoom = 18, Dimmer = 21;  // function codes

using VerifyTest = CliFixture;

TEST_F(VerifyTest, FindingsAndStatusOfTheExampleLamps)
{
    // Pan coarse and fine, tilt and dimmer, all in the Position palette; pan fine has its wheel slot.
    write("good.lmp",
          lampImage("Good", {{1, PanCoarse, 1}, {1, PanFine, 1}, {1, Tilt8Bit, 1}, {1, Dimmer, 1}}, {{1, PanFine}}));
    write("new.lmp", lampImage("New Lamp", {{None, None, 1}}));
    write("bad.lmp", lampImage("Bad", {{1, Dimmer, 1}, {1, Zoom, 1}, {1, PanCoarse, 1}, {1, PanFine, 1}, {1, Zoom, 1}}));
    const QString good = path("good.lmp") + ":\nLamp Check Complete\n";
    const QString bad = path("bad.lmp") + ":\nError: Duplicate function on channels 2 and 5\n";
    const struct { const char* line; int status; QString out, err; } cases[] = {
        {"verify @good.lmp", 0, "Lamp Check Complete\n", ""},
        {"verify @new.lmp", 0,
         "Warning: No dimmer channel assignment\nWarning: No pan channel assignment\nWarning: No tilt channel assignment\n"
         "Warning: Channel 1 has palette set to None\nLamp Check Complete\n", ""},
        {"verify @bad.lmp", 1, "Error: Duplicate function on channels 2 and 5\n", ""},
        // Several files: each headed by its name, the worst outcome decides, an unreadable one gives 2.
        {"verify @good.lmp @bad.lmp", 1, good + bad, ""},
        {"verify @bad.lmp @gone.lmp @good.lmp", 2, bad + good, failure("gone.lmp", "File not found") + '\n'},
    };
    for (const auto& c : cases) {
        const Result result = run(c.line);
        EXPECT_EQ(result.status, c.status) << c.line;
        EXPECT_EQ(result.out, c.out) << c.line;
        EXPECT_EQ(result.err, c.err) << c.line;
    }
}

class ExportTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("src") && QDir(m_dir.path()).mkpath("out"));
        write("src/spot.lmp", lampImage("Spot", {{1, PanCoarse, 1}, {1, PanFine, 2}}, {{1, PanFine}}));
        write("src/wash.lmp", lampImage("Wash", {{4, Dimmer, 1}}));
    }

    // What the export dialog writes for the same list: the same core conversion.
    Bytes dialogOutput(const std::vector<std::string>& names)
    {
        const auto native = [this](const char* name) { return QFile::encodeName(path(name)).toStdString(); };
        rig::exportLampData(native("src"), names, native("dialog.dat"), native("app"));
        return read("dialog.dat");
    }
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
    EXPECT_EQ(read("out/lamp.dat"), dialogOutput(names));
    EXPECT_EQ(read("out/showttl.dat"), m_showTitle);
    EXPECT_EQ(run("export --force -o @out/lamp.dat @src/spot.lmp").status, 0);
    EXPECT_EQ(read("out/lamp.dat"), dialogOutput({"spot.lmp"}));
    // No lamp file: 16 free slots, as the dialog writes for an empty list to clear the console's table.
    EXPECT_EQ(run("export --force -o @out/lamp.dat").status, 0);
    EXPECT_EQ(read("out/lamp.dat"), dialogOutput({}));
    EXPECT_EQ(read("out/lamp.dat").size(), 30720u);

    // Any name but LAMP.DAT (in any case) is written with a warning.
    EXPECT_EQ(run("export -o @out/Lamp.dat @src/wash.lmp").err, "");
    const Result other = run("export -o @out/show.bin @src/wash.lmp");
    EXPECT_TRUE(other.status == 0 && exists("out/show.bin"));
    EXPECT_EQ(other.errLines(), QStringList{"rigsmith-cli: warning: " + path("out/show.bin") +
                                            ": Dornick will only load lamps from a data file called 'LAMP.DAT'. "
                                            "You will need to rename this file before loading it into the console"});
}

// A refusal or a failure, before or after the lamp data file was written, leaves the output folder as it was.
TEST_F(ExportTest, RefusalsAndFailuresLeaveTheFolderAsItWas)
{
    const Result missingLamp = run("export -o @out/lamp.dat @src/spot.lmp @src/nope.lmp");
    EXPECT_EQ(missingLamp.status, 2);
    EXPECT_EQ(missingLamp.errLines(), QStringList{failure("src/nope.lmp", "File not found")});
    EXPECT_TRUE(QDir(path("out")).isEmpty());

    const Bytes old = {'o', 'l', 'd'};
    write("out/lamp.dat", old);
    const Result refused = run("export -o @out/lamp.dat @src/spot.lmp");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines(), QStringList{failure("out/lamp.dat", "File exists; use --force to replace it")});
    EXPECT_FALSE(exists("out/showttl.dat"));

    // A write-protected showttl.dat fails the copy, which comes after the lamp data file was written.
    write("out/showttl.dat", {'x'});
    ASSERT_EQ(::chmod(QFile::encodeName(path("out/showttl.dat")).constData(), 0444), 0);
    const Result copyFails = run("export --force -o @out/lamp.dat @src/spot.lmp");
    EXPECT_TRUE(copyFails.status == 2 && copyFails.errLines().size() == 1) << copyFails.err;
    EXPECT_EQ(read("out/lamp.dat"), old);
    EXPECT_EQ(read("out/showttl.dat"), Bytes{'x'});
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden), (QStringList{"lamp.dat", "showttl.dat"}));
}

}  // namespace
