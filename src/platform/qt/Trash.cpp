#include "platform/qt/Trash.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>

namespace vs {

bool MoveToTrash(const std::string& path) {
    QString p = QString::fromStdString(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);  // a folder is trashed under its own name
    // Qt makes the Trash folder but not the data folder it lives in, which a fresh account
    // may lack.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return QFile::moveToTrash(p);
}

}  // namespace vs
