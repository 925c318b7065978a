// The web view: the browser inside HtmlPanel, made at the first page.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include "platform/WebBrowser.h"

#include <QFrame>
#include <QVBoxLayout>

namespace vs {

void TMainForm::BuildWebPanel() {
    ui_.HtmlPanel = new QFrame(ui_.SeeBox);
    NameControl(ui_.HtmlPanel, "HtmlPanel");
    ui_.HtmlPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ui_.HtmlPanel->setAutoFillBackground(true);
    QPalette palette = ui_.HtmlPanel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    ui_.HtmlPanel->setPalette(palette);
    auto* box = new QVBoxLayout(ui_.HtmlPanel);
    box->setContentsMargins(2, 2, 2, 2);
    ui_.CppWebBrowser1 = new QWidget(ui_.HtmlPanel);
    NameControl(ui_.CppWebBrowser1, "CppWebBrowser1");
    auto* inner = new QVBoxLayout(ui_.CppWebBrowser1);
    inner->setContentsMargins(0, 0, 0, 0);
    box->addWidget(ui_.CppWebBrowser1);
    ui_.HtmlPanel->hide();
}

void TMainForm::NavigateWeb(const std::string& url) {
    // The browser engine starts only when the first page is shown.
    if (!webBrowser_ && env_.webBrowser)
        webBrowser_ = env_.webBrowser(ui_.CppWebBrowser1);
    if (webBrowser_)
        webBrowser_->Navigate(url);
}

}  // namespace vs
