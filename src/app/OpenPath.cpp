// `vantorsee PATH` (the launcher's %f, a file manager's "Open With"): the grid shows PATH's
// folder and selects PATH when it is a file, so the viewer shows it as if it had been clicked.

#include "app/TMainForm.h"
#include "controls/TImagesListView.h"

namespace vs {

void TMainForm::OpenStartPath(const StartTarget& target) {
    TImagesListView* grid = ui_.ImagesListView1;
    const QString folder = QString::fromStdString(target.folder);
    if (folder != grid->Path())
        grid->SetFPath(folder);
    setWindowTitle(QString::fromStdString(TitlePrefix + target.folder));
    if (target.fileName.empty())
        return;
    const QString name = QString::fromStdString(target.fileName);
    for (int i = 0; i < grid->count(); ++i) {
        const GridItem item = grid->item(i);
        if (item->data(TImagesListView::kRealNameRole).toString() == name) {
            grid->setCurrentItem(item);  // selects it alone and raises the change
            grid->scrollToItem(item);
            return;
        }
    }
}

}  // namespace vs
