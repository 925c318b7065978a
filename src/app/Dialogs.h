#pragma once

#include "controls/FileTypes.h"

#include <QDialog>
#include <QWidget>

#include <string>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace vs {

class TMainForm;

// The settings dialog: the photo folder and the twenty file types the grid lists. Filled by
// the main window before each showing; OK applies it to the main window and the grid.
class TSettingForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingForm(QWidget* parent = nullptr);

    TMainForm* MainForm = nullptr;  // what OK changes and "..." asks
    QTabWidget* PageControl1 = nullptr;
    QWidget* PhotoFolderPage = nullptr;
    QWidget* FileTypePage = nullptr;
    QLineEdit* PhotoFolderPath = nullptr;
    QPushButton* Button1 = nullptr;  // "..."
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* TrashCheckBox = nullptr;  // "Move deleted files to the Trash"
    QListWidget* FileTypeList = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* Button2 = nullptr;  // "Cancel"

    void Fill(const std::string& photoFolder, const TypeFlags& flags);
    void OKBtnClick();
    void Button1Click();
    void Button2Click();
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

// Gives a fixed-size window its starting size, or the larger size its layout needs so that
// every text fits the desktop's font.
void FixSizeToFit(QWidget* window, QSize start);

// Centres a top-level widget on the screen it will show on.
void CentreOnScreen(QWidget* widget);

}  // namespace vs
