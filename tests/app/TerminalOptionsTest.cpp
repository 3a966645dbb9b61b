// --help, --version and an unknown option are answered on the terminal: no
// window (there is no display to open one on), no settings file and no
// single-instance socket come into being.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace {
struct Answer {
    int exitCode = -1;
    QString out;
    QString err;
};

struct OptionCase {
    const char* option;
    int exitCode;
    const char* stdoutHas;  // empty: nothing on standard output
    const char* stderrHas;  // empty: nothing on standard error
};

const OptionCase kCases[] = {
    {"--help", 0, "Usage: brelune3 [-DDE]", ""},
    {"--version", 0, "Brelune3 " BRELUNE3_VERSION "\n", ""},
    {"--bogus", 2, "", "brelune3: unknown option '--bogus'\n"},
};

// Every file and folder under `root`, relative to it.
QStringList Entries(const QString& root) {
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) found << QDir(root).relativeFilePath(it.next());
    return found;
}
}  // namespace

TEST(TerminalOptions, AnsweredWithoutWindowSettingsOrRunningPlayer) {
    for (const OptionCase& c : kCases) {
        SCOPED_TRACE(c.option);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QDir(home.path()).mkpath("runtime"));
        QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        // A window system that is not there: any attempt at a window ends the program.
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", home.path() + "/runtime");
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(BRELUNE3_BINARY, {c.option});
        ASSERT_TRUE(program.waitForFinished(20000));
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());

        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.exitCode) << err.toStdString();
        if (*c.stdoutHas) EXPECT_TRUE(out.contains(c.stdoutHas)) << out.toStdString();
        else EXPECT_TRUE(out.isEmpty()) << out.toStdString();
        if (*c.stderrHas) EXPECT_TRUE(err.contains(c.stderrHas)) << err.toStdString();
        else EXPECT_TRUE(err.isEmpty()) << err.toStdString();
        EXPECT_EQ(Entries(home.path()), QStringList{"runtime"});
    }
}

TEST(TerminalOptions, HelpNamesTheHelpPagesTheProgramShows) {
    QProcess program;
    program.start(BRELUNE3_BINARY, {"--help"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardOutput())
                    .contains(QStringLiteral("help pages: " BRELUNE_SOURCE_HELP_DIR "/index.html\n")));
}
