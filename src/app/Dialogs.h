#pragma once

#include <QDialog>
#include <QWidget>

class QProgressBar;

namespace vs {

// The settings dialog. Its content comes later; it exists so that start-up creates the
// program's windows in their order and `Setting` has a dialog to show.
class TSettingForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingForm(QWidget* parent = nullptr);
};

// "About": the program icon, "Vantor See " and "1.1", two lines of text, OK.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

// The progress window of bulk file operations: no title bar, always on top, one bar.
class TComInfoForm : public QWidget {
    Q_OBJECT
public:
    explicit TComInfoForm(QWidget* parent = nullptr);
    QProgressBar* ProgressBar1 = nullptr;
};

// Centres a top-level widget on the screen it will show on.
void CentreOnScreen(QWidget* widget);

}  // namespace vs
