// vantorsee-icons OUTDIR SIZE...: writes the program icon as OUTDIR/SIZExSIZE/apps/vantorsee.png
// for the icon theme, drawn by the same code as the window icon. Runs at build time.

#include "app/Artwork.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Usage: vantorsee-icons OUTDIR SIZE...\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "vantorsee-icons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outDir).arg(size);
        if (!QDir().mkpath(folder) || !vs::ProgramIconImage(size).save(folder + QStringLiteral("/vantorsee.png"))) {
            std::fprintf(stderr, "vantorsee-icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
