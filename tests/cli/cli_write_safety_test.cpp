// What the commands' writes promise: they stay inside their folder, never replace a
// file without --force even under a race, say when a put-back fails, leave no
// temporary file after a signal, and take any file name the system gives.
#include "cli_test_support.h"

#include "../common/child_process.h"
#include "base/file_io.h"

#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace clitest;
using rig::test::ChildEnd;
using rig::test::readBytes;
using rig::test::runInChild;
using rig::test::startChild;
using rig::test::waitForChild;

namespace {

namespace fs = std::filesystem;

class WriteSafetyTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        write("lamp.dat", consoleFile({{0, m_alpha}, {1, m_beta}}));
    }

    [[nodiscard]] std::string native(const QString& name) const { return QFile::encodeName(path(name)).toStdString(); }
    // Every name in a folder, hidden ones included, without following links.
    [[nodiscard]] QStringList entries(const QString& folder) const
    {
        return QDir(path(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                            QDir::Name);
    }
    void link(const char* to, const QString& name) const { fs::create_symlink(to, native(name)); }

    const Bytes m_alpha = lampImage("Alpha", {{1, 1, 1}});
    const Bytes m_beta = lampImage("Beta", {{1, 2, 1}, {1, 3, 1}});
};

TEST_F(WriteSafetyTest, ImportAllNeverWritesThroughWhatIsNotAPlainFile)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("lamps") && QDir(m_dir.path()).mkpath("outside"));
    write("outside/victim.txt", {'v'});
    const QString refused = "Not a regular file (a link, a folder or a device); nothing was written";
    const struct { const char* to; bool hardLink; QString why; } cases[] = {
        {"../outside/victim.txt", false, refused},  // would leave the folder
        {"Beta.lmp", false, refused},               // would land on another output
        {"../outside/none.txt", false, refused},    // would make a file outside
        {"Beta.lmp", true, "Is the same file as " + path("lamps/Alpha.lmp") + "; nothing was written"},
    };
    for (const auto& c : cases) {
        for (const QString& name : entries("lamps"))
            QFile::remove(path("lamps/" + name));
        if (c.hardLink) {
            write("lamps/Beta.lmp", {'b'});
            fs::create_hard_link(native("lamps/Beta.lmp"), native("lamps/Alpha.lmp"));
        } else {
            link(c.to, "lamps/Alpha.lmp");
        }
        const QStringList before = entries("lamps");
        for (const char* force : {"", " --force"}) {
            const Result result = run(QStringLiteral("import @lamp.dat --all -o @lamps") + force);
            EXPECT_EQ(result.status, 2) << c.to << force;
            // Two names of one file: the second one is refused, unless --force is missing.
            const QString expected = !c.hardLink ? failure("lamps/Alpha.lmp", c.why)
                                     : *force   ? failure("lamps/Beta.lmp", c.why)
                                                : failure("lamps/Alpha.lmp", "File exists; use --force to replace it");
            EXPECT_EQ(result.errLines(), QStringList{expected}) << c.to << force;
            EXPECT_EQ(entries("lamps"), before) << c.to << force;
        }
        EXPECT_EQ(read("outside/victim.txt"), Bytes{'v'});
        EXPECT_EQ(entries("outside"), QStringList{"victim.txt"});
    }
}

TEST_F(WriteSafetyTest, ExportRefusesAConsoleFileItWouldWriteThrough)
{
    write("src.lmp", m_alpha);
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("out") && QDir(m_dir.path()).mkpath("same"));
    write("victim", {'v'});
    link("../victim", "out/showttl.dat");
    for (const char* force : {"", "--force "}) {
        const Result result = run(QStringLiteral("export ") + force + "-o @out/lamp.dat @src.lmp");
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.errLines(), QStringList{failure("out/lamp.dat", "Not a plain file (a link, a folder or a device), "
                                                                         "not replaced: " + path("out/showttl.dat"))});
    }
    EXPECT_EQ(entries("out"), QStringList{"showttl.dat"});
    EXPECT_EQ(read("victim"), Bytes{'v'});

    // An output that is the console file under another name would end up holding it.
    write("same/showttl.dat", {'s'});
    link("showttl.dat", "same/lamp.dat");
    const Result same = run("export --force -o @same/lamp.dat @src.lmp");
    EXPECT_EQ(same.errLines(), QStringList{failure("same/lamp.dat", "The lamp data file " + path("same/lamp.dat") +
                                                                        " is the same file as " + path("same/showttl.dat"))});
    EXPECT_EQ(read("same/showttl.dat"), Bytes{'s'});

    // A link as the output is followed: the file it points to gets the export, the link stays.
    QFile::remove(path("same/showttl.dat"));
    write("same/real.dat", {'r'});
    QFile::remove(path("same/lamp.dat"));
    link("real.dat", "same/lamp.dat");
    EXPECT_EQ(run("export --force -o @same/lamp.dat @src.lmp").status, 0);
    EXPECT_TRUE(QFileInfo(path("same/lamp.dat")).isSymLink());
    EXPECT_EQ(read("same/real.dat").size(), 30720u);
    EXPECT_EQ(read("same/showttl.dat"), m_showTitle);
    QFile::remove(path("same/lamp.dat"));
    link("gone.dat", "same/lamp.dat");
    EXPECT_EQ(run("export --force -o @same/lamp.dat @src.lmp").errLines(),
              QStringList{failure("same/lamp.dat", "The link points to gone.dat, which does not exist")});
}

// The copy beside the lamp data file fails, and so does putting the old lamp data file back.
TEST_F(WriteSafetyTest, AFailedPutBackIsReportedByName)
{
    write("src.lmp", m_alpha);
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("out"));
    write("out/lamp.dat", {'o', 'l', 'd'});
    write("out/showttl.dat", {'t'});
    rig::testing::failNextWrites(ENOSPC, 1, 1);
    rig::testing::failNextPutBacks(ENOSPC, 1);
    const Result result = run("export --force -o @out/lamp.dat @src.lmp");
    rig::testing::failNextWrites(0, 0);
    rig::testing::failNextPutBacks(0, 0);

    EXPECT_EQ(result.status, 2);
    const QStringList lines = result.errLines();
    ASSERT_EQ(lines.size(), 2) << result.err;
    EXPECT_EQ(lines[0], failure("out/lamp.dat", "Disk full: " + path("out/showttl.dat")));
    const QString keptAs = "rigsmith-cli: " + path("out/lamp.dat") +
                           ": could not be put back (Disk full); the original is kept as " + path("out/.lamp.dat.");
    ASSERT_TRUE(lines[1].startsWith(keptAs)) << lines[1];
    EXPECT_EQ(read("out/" + lines[1].mid(lines[1].lastIndexOf('/') + 1)), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(read("out/lamp.dat").size(), 30720u);
    EXPECT_EQ(read("out/showttl.dat"), Bytes{'t'});
    EXPECT_EQ(entries("out").size(), 3);

    // Without the injected failure the same export puts everything back and says nothing more.
    write("out/lamp.dat", {'o', 'l', 'd'});
    rig::testing::failNextWrites(ENOSPC, 1, 1);
    EXPECT_EQ(run("export --force -o @out/lamp.dat @src.lmp").errLines().size(), 1);
    rig::testing::failNextWrites(0, 0);
    EXPECT_EQ(read("out/lamp.dat"), (Bytes{'o', 'l', 'd'}));
}

int g_ready = -1, g_go = -1, g_signal = 0;

// Two writers of one new name, both past the existence check before either publishes.
TEST_F(WriteSafetyTest, TwoRacingWritersOfOneNewNameGiveOneExists)
{
    int ready[2], go[2];
    ASSERT_TRUE(::pipe(ready) == 0 && ::pipe(go) == 0);
    pid_t children[2];
    for (int slot = 0; slot < 2; ++slot) {
        children[slot] = startChild([&, slot] {
            ::close(go[1]);
            g_ready = ready[1];
            g_go = go[0];
            rig::testing::setBeforePublish([] {
                char byte = 'r';
                (void)!::write(g_ready, &byte, 1);
                (void)!::read(g_go, &byte, 1);  // returns once the parent closes its end
            });
            return run(QStringLiteral("import @lamp.dat --slot %1 -o @new.lmp").arg(slot)).status;
        });
    }
    ::close(go[0]);
    char bytes[2];
    for (int got = 0; got < 2;)
        got += static_cast<int>(std::max<ssize_t>(0, ::read(ready[0], bytes, 2 - got)));
    ::close(go[1]);
    const int statuses[2] = {waitForChild(children[0]).exitStatus, waitForChild(children[1]).exitStatus};
    EXPECT_EQ(statuses[0] + statuses[1], 2) << statuses[0] << ' ' << statuses[1];
    EXPECT_TRUE(statuses[0] == 0 || statuses[1] == 0);
    EXPECT_EQ(read("new.lmp"), statuses[0] == 0 ? m_alpha : m_beta);
    EXPECT_EQ(entries(""), (QStringList{"app", "lamp.dat", "new.lmp"}));
}

TEST_F(WriteSafetyTest, ASignalDuringAWriteLeavesNoTemporaryFile)
{
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        const ChildEnd end = runInChild([&] {
            ::signal(signalNumber, SIG_DFL);
            rig::removeTemporariesOnSignals();
            g_signal = signalNumber;
            rig::testing::setBeforePublish([] { ::raise(g_signal); });
            (void)run("import @lamp.dat --slot 0 -o @out.lmp");
            return 0;
        });
        EXPECT_EQ(end.signal, signalNumber);
        EXPECT_EQ(entries(""), (QStringList{"app", "lamp.dat"})) << signalNumber;
    }
}

// The real program, given arguments as raw bytes: names that are not UTF-8 or hold a
// newline reach the file system unchanged and are shown escaped on one line.
TEST_F(WriteSafetyTest, AnyFileNameTheSystemGives)
{
    const std::string folder = native("");
    const auto runBinary = [&](std::vector<std::string> args, std::string& err) {
        const std::string errFile = folder + "/err.txt";
        const ChildEnd end = runInChild([&] {
            const int fd = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 2);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            std::vector<char*> argv{const_cast<char*>(RIGSMITH_CLI)};
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(RIGSMITH_CLI, argv.data());
            return 127;
        });
        const Bytes errBytes = readBytes(errFile);
        err.assign(errBytes.begin(), errBytes.end());
        ::unlink(errFile.c_str());
        return end.exitStatus;
    };
    std::string err;
    const std::string odd = folder + "/o\xfe.lmp";
    EXPECT_EQ(runBinary({"import", folder + "/lamp.dat", "--slot", "1", "-o", odd}, err), 0) << err;
    ASSERT_EQ(::rename(native("lamp.dat").c_str(), (folder + "/bad\xff.dat").c_str()), 0);
    EXPECT_EQ(runBinary({"show", folder + "/bad\xff.dat"}, err), 0) << err;
    EXPECT_EQ(runBinary({"import", folder + "/bad\xff.dat", "--slot", "0", "-o", odd}, err), 2);
    EXPECT_EQ(err, "rigsmith-cli: " + folder + "/o\\xfe.lmp: File exists; use --force to replace it\n");
    EXPECT_EQ(runBinary({"show", folder + "/two\nlines.lmp"}, err), 2);
    EXPECT_EQ(err, "rigsmith-cli: " + folder + "/two\\x0alines.lmp: File not found\n");
    EXPECT_EQ(readBytes(odd), m_beta);
    // Names that are not UTF-8 are beyond the temporary folder's own clean-up.
    ::unlink(odd.c_str());
    ::unlink((folder + "/bad\xff.dat").c_str());
}

}  // namespace
