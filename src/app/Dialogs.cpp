#include "app/Dialogs.h"

#include "app/Artwork.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <filesystem>

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
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(418, 330);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    setFont(font);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    column->addWidget(PageControl1, 1);

    PhotoFolderPage = new QWidget;
    PhotoFolderPage->setObjectName("PhotoFolderPage");
    auto* label = new QLabel(QStringLiteral("Photo Folder Path"), PhotoFolderPage);
    label->move(0, 16);
    PhotoFolderPath = new QLineEdit(PhotoFolderPage);
    PhotoFolderPath->setObjectName("PhotoFolderPath");
    PhotoFolderPath->setGeometry(0, 32, 390, 21);
    Button1 = new QPushButton(QStringLiteral("..."), PhotoFolderPage);
    Button1->setObjectName("Button1");
    Button1->setGeometry(392, 34, 17, 20);
    CheckBox1 = new QCheckBox(QStringLiteral("Move all subfolder and images to new photo folder"), PhotoFolderPage);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->move(0, 64);
    CheckBox1->adjustSize();
    TrashCheckBox = new QCheckBox(QStringLiteral("Move deleted files to the Trash"), PhotoFolderPage);
    TrashCheckBox->setObjectName("TrashCheckBox");
    TrashCheckBox->setAccessibleName("TrashCheckBox");
    TrashCheckBox->move(0, 88);
    TrashCheckBox->adjustSize();
    PageControl1->addTab(PhotoFolderPage, QStringLiteral("Photo Folder"));

    FileTypePage = new QWidget;
    FileTypePage->setObjectName("FileTypePage");
    auto* typeRow = new QHBoxLayout(FileTypePage);
    typeRow->setContentsMargins(0, 0, 0, 0);
    FileTypeList = new QListWidget(FileTypePage);
    FileTypeList->setObjectName("FileTypeList");
    FileTypeList->setFixedWidth(89);
    for (const FileType& type : FileTypes()) {
        auto* item = new QListWidgetItem(Latin1(type.label), FileTypeList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setSizeHint(QSize(89, 16));
    }
    typeRow->addWidget(FileTypeList);
    typeRow->addStretch(1);
    PageControl1->addTab(FileTypePage, QStringLiteral("View File Type"));
    PageControl1->setCurrentWidget(FileTypePage);  // first showing; later the last page chosen

    auto* buttonBar = new QFrame(this);
    buttonBar->setObjectName("ButtonBar");
    buttonBar->setFixedHeight(28);
    auto* buttons = new QHBoxLayout(buttonBar);
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->addStretch(1);
    OKBtn = new QPushButton(QStringLiteral("OK"), buttonBar);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), buttonBar);
    Button2->setObjectName("Button2");
    buttons->addWidget(OKBtn);
    buttons->addWidget(Button2);
    column->addWidget(buttonBar);

    connect(OKBtn, &QPushButton::clicked, this, &TSettingForm::OKBtnClick);
    connect(Button1, &QPushButton::clicked, this, &TSettingForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TSettingForm::Button2Click);
}

void TSettingForm::Fill(const std::string& photoFolder, const TypeFlags& flags) {
    PhotoFolderPath->setText(QString::fromStdString(photoFolder));
    for (int i = 0; i < kFileTypeCount; ++i)
        FileTypeList->item(i)->setCheckState(flags[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
}

void TSettingForm::Button1Click() {
    if (!MainForm)
        return;
    const std::string picked = MainForm->BrowseForFolder();
    if (!picked.empty())
        PhotoFolderPath->setText(QString::fromStdString(picked) + QStringLiteral("Photo Folder/"));
}

void TSettingForm::OKBtnClick() {
    if (MainForm) {
        for (int i = 0; i < kFileTypeCount; ++i)
            MainForm->Ui().ImagesListView1->SetFlag(i, FileTypeList->item(i)->checkState() == Qt::Checked);
        std::string typed = PhotoFolderPath->text().toStdString();
        // An empty path would make the library the working directory: keep the old one.
        if (!typed.empty() && typed != MainForm->PhotoFolder) {
            // The rest of the program relies on the trailing separator.
            if (typed.back() != '/')
                typed += '/';
            std::error_code ec;
            std::filesystem::create_directories(typed, ec);  // a failure is not reported
            // CheckBox1 ("Move all subfolder and images ...") is read here and changes nothing.
            (void)CheckBox1->isChecked();
            MainForm->PhotoFolder = typed;
            MainForm->FillFolderTree();
        }
        MainForm->MoveDeletedToTrash = TrashCheckBox->isChecked();
        MainForm->Ui().ImagesListView1->RefreshImages();
    }
    accept();
}

void TSettingForm::Button2Click() { reject(); }

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
