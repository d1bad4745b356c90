#include "tests/support/TestEnv.h"

#include "logic/ProgramFolder.h"

#include <QDir>

namespace qelt::test {

namespace {
QString s_root; // the root of the test binary's TestEnv
}

TestEnv::TestEnv()
{
    const QString base = m_dir.path();
    s_root = base;
    const char *subdirs[] = {"home", "config", "data", "cache", "runtime", "program", "scratch"};
    for (const char *sub : subdirs)
        QDir(base).mkpath(QLatin1String(sub));
    QFile::setPermissions(base + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", (base + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (base + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (base + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (base + "/cache").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (base + "/runtime").toUtf8());
    qputenv("XDG_DATA_DIRS", (base + "/data").toUtf8());
    SetProgramFolder(programFolder());
}

QString TestEnv::programFolder() const
{
    return m_dir.path() + "/program";
}

void TestEnv::UseScreen(int width, int height)
{
    const QString config = m_dir.path() + "/screen.json";
    QFile file(config);
    const bool written =
        file.open(QIODevice::WriteOnly) &&
        file.write(QStringLiteral(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": %1, )"
                                  R"("height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, )"
                                  R"("dpr": 1}]})")
                       .arg(width)
                       .arg(height)
                       .toUtf8()) > 0;
    if (!written)
        qFatal("cannot write %s", qPrintable(config));
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
}

QString TestEnv::ScratchPath(const QString &name)
{
    Q_ASSERT(!s_root.isEmpty());
    return s_root + "/scratch/" + name;
}

} // namespace qelt::test
