#include "platform/qt/Trash.h"

#include <QFile>
#include <QString>

namespace vs {

bool MoveToTrash(const std::string& path) {
    QString p = QString::fromStdString(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);  // a folder is trashed under its own name
    return QFile::moveToTrash(p);
}

}  // namespace vs
