#include "app/Dialogs.h"

#include "app/Artwork.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vs {

void CentreOnScreen(QWidget* widget) {
    const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), widget->size());
    frame.moveCenter(screen->availableGeometry().center());
    widget->move(frame.topLeft());
}

TSettingForm::TSettingForm(QWidget* parent) : QDialog(parent) {
    setObjectName("SettingForm");
    setWindowTitle("Setting");
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    setFixedSize(352, 185);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(8, 8, 336, 130);

    auto* icon = new QLabel(panel);
    icon->setObjectName("ProgramIcon");
    icon->setPixmap(QPixmap::fromImage(ProgramIconImage(41)));
    icon->setGeometry(12, 12, 41, 41);
    icon->setScaledContents(true);

    auto* product = new QLabel("Vantor See ", panel);
    product->setObjectName("ProductName");
    QFont serif("Times New Roman");
    serif.setStyleHint(QFont::Serif);
    serif.setPixelSize(21);
    serif.setBold(true);
    product->setFont(serif);
    product->setStyleSheet("color: blue;");
    product->adjustSize();
    product->move(68, 14);

    auto* version = new QLabel("1.1", panel);
    version->setObjectName("Version");
    version->move(68 + product->width() + 4, 22);

    auto* line1 = new QLabel("A browser and viewer for your picture library.", panel);
    line1->setObjectName("Comments");
    line1->move(68, 64);
    auto* line2 = new QLabel("Pictures, albums, text, web pages, sound and video.", panel);
    line2->setObjectName("Copyright");
    line2->move(68, 88);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    ok->setGeometry(138, 150, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

TComInfoForm::TComInfoForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("ComInfoForm");
    // Never visible: the window has no title bar.
    setWindowTitle(QString::fromUtf8("合并"));
    setFixedSize(682, 35);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    layout->addWidget(ProgressBar1);
}

}  // namespace vs
