#include "platform/qt/DesktopWallpaper.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace vs {

namespace {

constexpr int kToolTimeoutMs = 3000;

bool RunTool(const QString& program, const QStringList& args, QString* output = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(kToolTimeoutMs)) {
        p.kill();
        p.waitForFinished(500);
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool HasProgram(const std::string& name) {
    return !QStandardPaths::findExecutable(QString::fromStdString(name)).isEmpty();
}

// XFCE keeps one "last-image" property per monitor and workspace.
bool SetXfceWallpaper(const std::string& file) {
    QString list;
    if (!HasProgram("xfconf-query") ||
        !RunTool(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-l")}, &list))
        return false;
    bool any = false;
    for (const QString& property : list.split('\n', Qt::SkipEmptyParts)) {
        if (!property.endsWith(QStringLiteral("/last-image")))
            continue;
        any = RunTool(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                                                       QStringLiteral("-p"), property.trimmed(),
                                                       QStringLiteral("-s"), QString::fromStdString(file)}) || any;
    }
    return any;
}

}  // namespace

bool DesktopWallpaper::setWallpaper(const std::string& file) {
    const std::string desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString();
    const auto commands = WallpaperCommands(desktop, file, HasProgram);
    if (commands.empty())
        return desktop.find("XFCE") != std::string::npos && SetXfceWallpaper(file);
    bool ok = true;
    for (const auto& command : commands) {
        QStringList args;
        for (std::size_t i = 1; i < command.size(); ++i)
            args << QString::fromStdString(command[i]);
        ok = RunTool(QString::fromStdString(command[0]), args) && ok;
    }
    return ok;
}

}  // namespace vs
