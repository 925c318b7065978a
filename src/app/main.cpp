// vantorsee: the picture-library browser.

#include "app/AppInfo.h"
#include "app/Artwork.h"
#include "app/Dialogs.h"
#include "app/TMainForm.h"
#include "platform/qt/QtPrompts.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WebEngineBrowser.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// An error no handler caught ends that handler and is shown in the standard error box.
class VantorApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowError(e.what());
        }
        return false;
    }
    static void ShowError(const char* text) {
        QMessageBox::critical(nullptr, vs::Utf8(vs::kApplicationTitle), QString::fromUtf8(text));
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The web view's engine shares OpenGL contexts with the window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    VantorApplication app(argc, argv);
    app.setApplicationName(vs::Utf8(vs::kApplicationTitle));
    app.setWindowIcon(vs::ProgramIcon());
    try {
        vs::QtPrompts prompts;
        vs::MainFormEnvironment env;
        env.backgroundListing = true;
        env.webBrowser = [](QWidget* host) { return vs::MakeWebEngineBrowser(host); };
        vs::TMainForm mainForm(prompts, std::move(env));
        prompts.setParent(&mainForm);
        vs::TSettingForm settingForm(&mainForm);
        vs::TAboutBox aboutBox(&mainForm);
        vs::TComInfoForm comInfoForm(&mainForm);
        mainForm.SetDialogs(&settingForm, &aboutBox, &comInfoForm);
        vs::CentreOnScreen(&mainForm);
        mainForm.RestoreWindowPlace();
        mainForm.show();
        app.exec();
    } catch (const std::exception& e) {
        VantorApplication::ShowError(e.what());
    }
    return 0;
}
