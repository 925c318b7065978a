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
#include <QGridLayout>
#include <QStyle>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
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

void FixSizeToFit(QWidget* window, QSize start) {
    window->setFixedSize(window->sizeHint().expandedTo(start));
}

TSettingForm::TSettingForm(QWidget* parent) : QDialog(parent) {
    setObjectName("SettingForm");
    setWindowTitle("Setting");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(ProgramFont());

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    column->addWidget(PageControl1, 1);

    PhotoFolderPage = new QWidget;
    PhotoFolderPage->setObjectName("PhotoFolderPage");
    auto* folderColumn = new QVBoxLayout(PhotoFolderPage);
    folderColumn->setContentsMargins(4, 12, 4, 4);
    auto* label = new QLabel(QStringLiteral("Photo Folder Path"), PhotoFolderPage);
    label->setObjectName("PhotoFolderLabel");
    folderColumn->addWidget(label);
    auto* pathRow = new QHBoxLayout;
    pathRow->setSpacing(2);
    PhotoFolderPath = new QLineEdit(PhotoFolderPage);
    PhotoFolderPath->setObjectName("PhotoFolderPath");
    PhotoFolderPath->setMinimumWidth(300);
    pathRow->addWidget(PhotoFolderPath, 1);
    Button1 = new QPushButton(QStringLiteral("..."), PhotoFolderPage);
    Button1->setObjectName("Button1");
    Button1->setFixedWidth(std::max(17, Button1->fontMetrics().horizontalAdvance(Button1->text()) + 8));
    pathRow->addWidget(Button1);
    folderColumn->addLayout(pathRow);
    folderColumn->addSpacing(8);
    CheckBox1 = new QCheckBox(QStringLiteral("Move all subfolder and images to new photo folder"), PhotoFolderPage);
    CheckBox1->setObjectName("CheckBox1");
    folderColumn->addWidget(CheckBox1);
    TrashCheckBox = new QCheckBox(QStringLiteral("Move deleted files to the Trash"), PhotoFolderPage);
    TrashCheckBox->setObjectName("TrashCheckBox");
    TrashCheckBox->setAccessibleName("TrashCheckBox");
    folderColumn->addWidget(TrashCheckBox);
    folderColumn->addStretch(1);
    PageControl1->addTab(PhotoFolderPage, QStringLiteral("Photo Folder"));

    FileTypePage = new QWidget;
    FileTypePage->setObjectName("FileTypePage");
    auto* typeRow = new QHBoxLayout(FileTypePage);
    typeRow->setContentsMargins(0, 0, 0, 0);
    FileTypeList = new QListWidget(FileTypePage);
    FileTypeList->setObjectName("FileTypeList");
    FileTypeList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const FileType& type : FileTypes()) {
        auto* item = new QListWidgetItem(Latin1(type.label), FileTypeList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    // 89 pixels, or as wide as the widest entry with its check box beside the scroll bar.
    const int entries = FileTypeList->sizeHintForColumn(0) + 2 * FileTypeList->frameWidth() +
                        FileTypeList->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    FileTypeList->setFixedWidth(std::max(89, entries));
    typeRow->addWidget(FileTypeList);
    typeRow->addStretch(1);
    PageControl1->addTab(FileTypePage, QStringLiteral("View File Type"));
    PageControl1->setCurrentWidget(FileTypePage);  // first showing; later the last page chosen

    auto* buttonBar = new QFrame(this);
    buttonBar->setObjectName("ButtonBar");
    buttonBar->setMinimumHeight(28);
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
    FixSizeToFit(this, QSize(418, 330));

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
    setFont(ProgramFont());
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 10);
    column->setSpacing(12);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(15);
    column->addWidget(panel, 1);

    auto* icon = new QLabel(panel);
    icon->setObjectName("ProgramIcon");
    icon->setPixmap(QPixmap::fromImage(ProgramIconImage(41)));
    icon->setFixedSize(41, 41);
    icon->setScaledContents(true);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);

    auto* title = new QHBoxLayout;
    title->setSpacing(4);
    auto* product = new QLabel("Vantor See ", panel);
    product->setObjectName("ProductName");
    QFont serif("Times New Roman");
    serif.setStyleHint(QFont::Serif);
    serif.setPixelSize(21);
    serif.setBold(true);
    product->setFont(serif);
    product->setStyleSheet("color: blue;");
    title->addWidget(product);
    auto* version = new QLabel("1.1", panel);
    version->setObjectName("Version");
    title->addWidget(version, 0, Qt::AlignBottom);
    title->addStretch(1);
    grid->addLayout(title, 0, 1);

    auto* line1 = new QLabel("A browser and viewer for your picture library.", panel);
    line1->setObjectName("Comments");
    grid->addWidget(line1, 1, 1);
    auto* line2 = new QLabel("Pictures, albums, text, web pages, sound and video.", panel);
    line2->setObjectName("Copyright");
    grid->addWidget(line2, 2, 1);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    ok->setMinimumSize(75, 25);
    column->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    FixSizeToFit(this, QSize(352, 185));
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
