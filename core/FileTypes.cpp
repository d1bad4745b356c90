#include "core/FileTypes.h"

#include "logic/ErrorLog.h"
#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "logic/Settings.h"
#include "platform/DesktopEntry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace qelt {

namespace {

QString &exePathOverride()
{
    static QString path;
    return path;
}

void runDetached(const QString &program, const QStringList &arguments)
{
    QProcess::startDetached(program, arguments);
}

DesktopRefreshRunner g_refreshRunner = &runDetached;

QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
QString configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
QString mimeFolder()
{
    return dataHome() + "/mime";
}
QString applicationsFolder()
{
    return dataHome() + "/applications";
}
QString mimeAppsList()
{
    return configHome() + "/mimeapps.list";
}

// Our files for one extension: their names carry the "qelt-" prefix, so they
// are never another program's.
QString desktopId(const QString &ext)
{
    return "qelt-" + ext + ".desktop";
}
QString desktopPath(const QString &ext)
{
    return applicationsFolder() + "/" + desktopId(ext);
}
QString packagePath(const QString &ext)
{
    return mimeFolder() + "/packages/qelt-" + ext + ".xml";
}

QString normalisedExtension(QString ext)
{
    if (ext.startsWith('.'))
        ext.remove(0, 1);
    // A path separator in an extension would reach outside our folders.
    ext.replace('/', '_');
    return ext;
}

// A MIME subtype holds letters, digits and a few marks only.
QString mimeTypeOf(const QString &className)
{
    QString sub = className.toLower();
    for (QChar &c : sub) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
                        c == '+' || c == '_';
        if (!ok)
            c = '-';
    }
    return "application/x-" + sub;
}

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QByteArray packageText(const QString &mimeType, const QString &comment, const QString &ext)
{
    QString text;
    text += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    text += "  <mime-type type=\"" + xmlEscaped(mimeType) + "\">\n";
    text += "    <comment>" + xmlEscaped(comment) + "</comment>\n";
    text += "    <glob pattern=\"*." + xmlEscaped(ext) + "\"/>\n";
    text += "  </mime-type>\n";
    text += "</mime-info>\n";
    return text.toUtf8();
}

DesktopEntry handlerEntry(const QString &programPath, const QString &mimeType,
                          const QString &iconPath)
{
    DesktopEntry e;
    e.set("Type", "Application");
    e.set("Name", QFileInfo(programPath).fileName());
    e.set("Exec", ProgramExecLine(programPath) + " %f");
    if (!iconPath.isEmpty())
        e.set("Icon", iconPath);
    e.set("MimeType", mimeType + ";");
    e.set("NoDisplay", "true");
    e.set("Terminal", "false");
    return e;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the file unless it already holds exactly data; true when it changed.
bool writeIfChanged(const QString &path, const QByteArray &data)
{
    if (QFileInfo(path).isFile() && fileBytes(path) == data)
        return false;
    return WriteFileAtomically(path, data);
}

void refreshDesktop(bool mime, bool applications)
{
    if (!g_refreshRunner)
        return;
    if (mime) {
        const QString tool = QStandardPaths::findExecutable("update-mime-database");
        if (!tool.isEmpty())
            g_refreshRunner(tool, {mimeFolder()});
    }
    if (applications) {
        const QString tool = QStandardPaths::findExecutable("update-desktop-database");
        if (!tool.isEmpty())
            g_refreshRunner(tool, {applicationsFolder()});
    }
}

struct Changed {
    bool package = false;
    bool handler = false;
};

// Writes the three parts of one registration. Files already holding what
// would be written are left untouched (the ".zvu" type is registered at
// every start).
Changed registerType(const QString &ext, const QString &className, const QString &typeName,
                     const QString &programPath, const QString &iconPath)
{
    const QString type = mimeTypeOf(className);
    Changed c;
    c.package = writeIfChanged(packagePath(ext), packageText(type, typeName, ext));
    c.handler =
        writeIfChanged(desktopPath(ext), handlerEntry(programPath, type, iconPath).toText());
    if (DefaultApplications(mimeAppsList(), type).value(0) != desktopId(ext))
        SetDefaultApplication(mimeAppsList(), type, desktopId(ext));
    return c;
}

// Removes our handler for ext and our id from the default list of every type
// it served (and of knownType, in case the handler file was lost); with
// withPackage also our MIME definition. True when anything was removed.
bool unregisterType(const QString &ext, bool withPackage, const QString &knownType = {})
{
    bool app = false;
    QStringList types;
    if (!knownType.isEmpty())
        types << knownType;
    // The type our package defines, in case the handler file was lost.
    static const QRegularExpression typeAttribute(QStringLiteral("<mime-type type=\"([^\"]+)\""));
    const QRegularExpressionMatch defined =
        typeAttribute.match(QString::fromUtf8(fileBytes(packagePath(ext))));
    if (defined.hasMatch())
        types << defined.captured(1);
    DesktopEntry entry;
    if (entry.read(desktopPath(ext))) {
        for (const QString &type : entry.value("MimeType").split(';', Qt::SkipEmptyParts))
            types << type.trimmed();
    }
    for (const QString &type : types)
        RemoveDefaultApplication(mimeAppsList(), type, desktopId(ext));
    if (QFile::exists(desktopPath(ext)))
        app = QFile::remove(desktopPath(ext));
    bool pkg = false;
    if (withPackage && QFile::exists(packagePath(ext)))
        pkg = QFile::remove(packagePath(ext));
    if (pkg || app)
        refreshDesktop(pkg, app);
    return pkg || app;
}

const QString kCroExt = QStringLiteral("cro");
const QString kCroClass = QStringLiteral("CroFile");
const QString kCroType = QStringLiteral("Zyv Macro");

QString startupPath(const QString &valueName, int selector)
{
    QString name = valueName;
    name.replace('/', '_');
    if (selector != 1)
        name += "-services";
    return configHome() + "/autostart/" + name + ".desktop";
}

} // namespace

QString ProgramExePath()
{
    if (!exePathOverride().isEmpty())
        return exePathOverride();
    return QCoreApplication::applicationFilePath();
}

void SetProgramExePath(const QString &path)
{
    exePathOverride() = path;
}

QString ProgramExecLine(const QString &programPath)
{
    const QString home = ProgramFolderFromEnvironment();
    if (home.isEmpty() || programPath != ProgramExePath())
        return QuoteExecArg(programPath);
    return "env " + QuoteExecArg("QELT_HOME=" + home) + " " + QuoteExecArg(programPath);
}

QString ExecProgram(const QStringList &arguments)
{
    qsizetype i = 0;
    if (!arguments.isEmpty() && QFileInfo(arguments.first()).fileName() == "env") {
        i = 1;
        while (i < arguments.size() && arguments.at(i).contains('=') &&
               !arguments.at(i).startsWith('-'))
            ++i;
    }
    return arguments.value(i);
}

void SetDesktopRefreshRunner(DesktopRefreshRunner runner)
{
    g_refreshRunner = runner ? runner : &runDetached;
}

void GetAssocOn()
{
    QString value = GetSet("Macro", "DoSet", "True");
    if (value == "Yes")
        value = "True";
    AssocOn = value == "True";
}

void AssocCro()
{
    // The program's own icon is not a separate file here, so the desktop's
    // generic icon for the type is used.
    registerType(kCroExt, kCroClass, kCroType, ProgramExePath(), {});
    // Always refreshed: this also repairs caches that lost the registration.
    refreshDesktop(true, true);
    SaveSet("Macro", "Set", "Done");
}

void UnAssocCro()
{
    unregisterType(kCroExt, true, mimeTypeOf(kCroClass));
    DeleteSet("Macro", "Set");
    SaveSet("Macro", "DoSet", "False");
    GetAssocOn();
}

bool ToggleAssocCro(bool checked)
{
    GetAssocOn();
    if (!checked) {
        AssocCro();
        AssocOn = true;
        SaveSet("Macro", "DoSet", "True");
    } else {
        UnAssocCro();
        AssocOn = false;
        SaveSet("Macro", "DoSet", "False");
    }
    GetAssocOn();
    return !checked;
}

bool CroAssociated()
{
    const QString program = ProgramExePath();
    const QString type = mimeTypeOf(kCroClass);
    return fileBytes(packagePath(kCroExt)) == packageText(type, kCroType, kCroExt) &&
           fileBytes(desktopPath(kCroExt)) == handlerEntry(program, type, {}).toText() &&
           DefaultApplications(mimeAppsList(), type).value(0) == desktopId(kCroExt);
}

QString FileClassName(const QString &exeName, const QString &typeName)
{
    QString base = exeName;
    if (base.endsWith(".exe", Qt::CaseInsensitive))
        base.chop(4);
    QString name = base + "." + typeName;
    name.replace(' ', '.');
    return name;
}

void AssocFile(const QString &extension, const QString &typeName, const QString &exeName,
               const QString &exeFolder, const QString &iconPath)
{
    if (extension.isEmpty())
        return;
    const QString ext = normalisedExtension(extension).left(3);
    if (ext.isEmpty())
        return;
    const QString type = typeName.left(25);
    const QFileInfo self(ProgramExePath());
    const QString name = exeName.isEmpty() ? self.fileName() : exeName;
    QString folder = exeFolder.isEmpty() ? self.absolutePath() : exeFolder;
    if (!folder.endsWith('/'))
        folder += '/';
    const QString program = folder + name;
    // Literal files only: a "*" or "?" in a path is not a pattern here.
    if (!QFileInfo(program).isFile())
        return;
    const QString icon = QFileInfo(iconPath).isFile() ? iconPath : QString();
    const Changed c = registerType(ext, FileClassName(name, type), type, program, icon);
    if (c.package || c.handler)
        refreshDesktop(c.package, c.handler);
}

void UnAssocFile(const QString &extension)
{
    // Cut as AssocFile cuts it, so the files it wrote are the ones found.
    const QString ext = normalisedExtension(extension).left(3);
    if (ext.isEmpty())
        return;
    unregisterType(ext, true);
}

void AddStartup(const QString &valueName, const QString &programPath, int selector, bool replace)
{
    const QString program = programPath.isEmpty() ? ProgramExePath() : programPath;
    if (!QFileInfo(program).isFile() || valueName.isEmpty())
        return;
    if (!StartupValue(valueName, selector).isEmpty() && !replace)
        return;
    DesktopEntry e;
    e.set("Type", "Application");
    e.set("Name", valueName);
    e.set("Exec", ProgramExecLine(program));
    e.set("Terminal", "false");
    if (!e.write(startupPath(valueName, selector)))
        WriteErrLog(QStringLiteral("The start-up entry could not be written: ") +
                    startupPath(valueName, selector));
}

void RemoveStartup(const QString &valueName, int selector)
{
    if (valueName.isEmpty())
        return;
    QFile::remove(startupPath(valueName, selector));
}

QString StartupValue(const QString &valueName, int selector)
{
    if (valueName.isEmpty())
        return {};
    DesktopEntry e;
    if (!e.read(startupPath(valueName, selector)))
        return {};
    return ExecProgram(SplitExecLine(e.value("Exec")));
}

} // namespace qelt
