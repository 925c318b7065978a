#include "support/TextFit.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace vs::test {

namespace {

std::string Name(const QWidget* w, const QString& text) {
    return w->objectName().toStdString() + " \"" + text.toStdString() + "\"";
}

// True when the widget lies inside each of its parents up to root.
bool Inside(const QWidget* w, const QWidget* root) {
    QRect r = w->rect();
    for (const QWidget* p = w; p != root && p->parentWidget(); p = p->parentWidget()) {
        r.translate(p->pos());
        if (!p->parentWidget()->rect().contains(r))
            return false;
    }
    return true;
}

void Check(QWidget* w, const QString& text, QWidget* root, std::vector<std::string>& cut) {
    if (text.isEmpty() || !w->isVisibleTo(root))
        return;
    // A push button's size hint adds the style's preferred width; the text needs its advance
    // and the bevel. Labels, check boxes and tool buttons know the least room their text needs.
    const int needs = qobject_cast<QPushButton*>(w) ? w->fontMetrics().horizontalAdvance(text) + 4
                                                   : w->minimumSizeHint().width();
    if (w->width() < needs)
        cut.push_back(Name(w, text) + " is " + std::to_string(w->width()) + " wide, needs " + std::to_string(needs));
    else if (!Inside(w, root))
        cut.push_back(Name(w, text) + " lies partly outside its parent");
}

}  // namespace

std::vector<std::string> CutTexts(QWidget* root) {
    std::vector<std::string> cut;
    for (QLabel* l : root->findChildren<QLabel*>())
        if (l->pixmap().isNull() && !l->movie())
            Check(l, l->text(), root, cut);
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>())
        Check(b, b->text(), root, cut);
    for (QListWidget* list : root->findChildren<QListWidget*>()) {
        if (!list->isVisibleTo(root))
            continue;
        const int visible = list->viewport()->width();
        for (int i = 0; i < list->count(); ++i) {
            const QModelIndex index = list->model()->index(i, 0);
            const QRect r = list->visualRect(index);
            const int needs = list->sizeHintForIndex(index).width();
            if (r.width() < needs || r.left() < 0 || r.right() >= visible)
                cut.push_back(Name(list, list->item(i)->text()) + " entry is " + std::to_string(r.width()) +
                              " wide at " + std::to_string(r.left()) + ", needs " + std::to_string(needs) +
                              " of " + std::to_string(visible));
        }
        if (!Inside(list, root))
            cut.push_back(list->objectName().toStdString() + " lies partly outside its parent");
    }
    return cut;
}

}  // namespace vs::test
