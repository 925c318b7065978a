#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace vs {

// Resolves shortcut keys the way the program's framework did, since Qt refuses a key that
// two actions share: the pop-up menu of the focused widget, then of each parent in turn,
// then the window's action list in order. So F5 refreshes the focused pane and Ctrl+R,
// bound twice, reaches Rename. Installed as an application event filter for one window.
class ShortcutRouter : public QObject {
    Q_OBJECT
public:
    ShortcutRouter(QWidget* window, QList<QAction*> actionsInOrder);

    void SetMenuFor(QWidget* widget, QMenu* menu);
    QMenu* MenuFor(QWidget* widget) const;
    // Keys of our own for a widget and its children (browsing, full screen), tried from the
    // focus outwards only when no action takes the key; true when the handler used it.
    using KeyHandler = std::function<bool(QKeyCombination)>;
    void SetKeysFor(QWidget* widget, KeyHandler handler);

    // The enabled action the key reaches from focus, or null.
    QAction* Resolve(QWidget* focus, const QKeySequence& key) const;
    // Resolves and triggers; true when an action took the key.
    bool Route(QWidget* focus, const QKeySequence& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    QList<QAction*> actions_;
    QHash<QWidget*, QMenu*> menus_;
    QHash<QWidget*, KeyHandler> keys_;
};

}  // namespace vs
