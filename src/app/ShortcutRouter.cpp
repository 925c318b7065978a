#include "app/ShortcutRouter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QWidget>

namespace vs {

namespace {

bool Takes(const QAction* a, const QKeySequence& key) {
    return a && !a->isSeparator() && a->isEnabled() && a->shortcut() == key;
}

QAction* FindInMenu(const QMenu* menu, const QKeySequence& key) {
    for (QAction* a : menu->actions()) {
        if (QMenu* sub = a->menu()) {
            if (QAction* found = FindInMenu(sub, key))
                return found;
        } else if (a->isVisible() && Takes(a, key)) {
            return a;
        }
    }
    return nullptr;
}

}  // namespace

ShortcutRouter::ShortcutRouter(QWidget* window, QList<QAction*> actionsInOrder)
    : QObject(window), window_(window), actions_(std::move(actionsInOrder)) {
    qApp->installEventFilter(this);
}

void ShortcutRouter::SetMenuFor(QWidget* widget, QMenu* menu) { menus_.insert(widget, menu); }

void ShortcutRouter::SetKeysFor(QWidget* widget, KeyHandler handler) {
    keys_.insert(widget, std::move(handler));
}

QMenu* ShortcutRouter::MenuFor(QWidget* widget) const { return menus_.value(widget, nullptr); }

QAction* ShortcutRouter::Resolve(QWidget* focus, const QKeySequence& key) const {
    for (QWidget* w = focus; w; w = w->parentWidget()) {
        if (const QMenu* menu = MenuFor(w))
            if (QAction* a = FindInMenu(menu, key))
                return a;
        if (w == window_)
            break;
    }
    for (QAction* a : actions_)
        if (Takes(a, key))
            return a;
    return nullptr;
}

bool ShortcutRouter::Route(QWidget* focus, const QKeySequence& key) {
    QAction* a = Resolve(focus, key);
    if (!a) {
        for (QWidget* w = focus; w; w = w->parentWidget()) {
            const auto handler = keys_.constFind(w);
            if (handler != keys_.constEnd() && (*handler)(key[0]))
                return true;
            if (w == window_)
                break;
        }
        return false;
    }
    a->trigger();
    return true;
}

bool ShortcutRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !window_)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_)
        return false;
    // Text being typed (the grid's in-place editor) keeps its own editing keys.
    if (qobject_cast<QLineEdit*>(widget))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_unknown || key->key() == Qt::Key_Control || key->key() == Qt::Key_Shift ||
        key->key() == Qt::Key_Alt || key->key() == Qt::Key_Meta)
        return false;
    return Route(widget, QKeySequence(key->keyCombination()));
}

}  // namespace vs
