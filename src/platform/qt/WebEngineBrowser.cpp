#include "platform/qt/WebEngineBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <unistd.h>
#include <string_view>

namespace vs {

namespace {

bool CanMakeOpenGLContext() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    QOpenGLContext context;
    if (!context.create())
        return false;
    QOffscreenSurface surface;
    surface.create();
    const bool current = context.makeCurrent(&surface);
    context.doneCurrent();
    return current;
}

void AddChromiumFlag(const QByteArray& flag) {
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.split(' ').contains(flag))
        return;
    if (!flags.isEmpty())
        flags += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + flag);
}

// Whether url is a local file inside folder (itself or below it).
bool InsideFolder(const QUrl& url, const QString& folder) {
    const QString path = QDir::cleanPath(url.toLocalFile());
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

QString FolderOf(const QUrl& page) {
    return QDir::cleanPath(QFileInfo(page.toLocalFile()).absolutePath());
}

bool HarmlessScheme(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("data") || scheme == QLatin1String("blob") || scheme == QLatin1String("about");
}

// Keeps a local page to its own folder: every request whose first party is a local file
// must be a file inside that file's folder, or inline data.
class LocalPageGuard : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl first = info.firstPartyUrl();
        if (!first.isLocalFile())
            return;
        const QUrl url = info.requestUrl();
        if (HarmlessScheme(url))
            return;
        if (!url.isLocalFile() || !InsideFolder(url, FolderOf(first)))
            info.block(true);
    }
};

// A page that goes nowhere outside the local files it was given and opens no windows.
class LocalPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type == NavigationTypeTyped || !this->url().isLocalFile())
            return true;  // the program's own navigation
        if (HarmlessScheme(url))
            return true;
        if (!url.isLocalFile())
            return false;
        return !isMainFrame || InsideFolder(url, FolderOf(this->url()));
    }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
};

class WebEngineBrowser : public WebBrowser {
public:
    explicit WebEngineBrowser(QWidget* host) {
        PrepareWebEngine();
        profile_ = new QWebEngineProfile(host);  // no storage name: off the record
        profile_->setUrlRequestInterceptor(new LocalPageGuard(profile_));
        view_ = new QWebEngineView(host);
        view_->setObjectName("WebView");
        auto* page = new LocalPage(profile_, view_);
        QWebEngineSettings* settings = page->settings();
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        view_->setPage(page);
        auto* box = qobject_cast<QVBoxLayout*>(host->layout());
        if (!box) {
            box = new QVBoxLayout(host);
            box->setContentsMargins(0, 0, 0, 0);
        }
        box->addWidget(view_);
    }

    ~WebEngineBrowser() override {
        // A page must go before its profile.
        delete view_.data();
        delete profile_.data();
    }

    void Navigate(const std::string& url) override {
        if (!view_)
            return;
        // A path may hold characters that mean something in a URL ('#', '%', '?').
        static constexpr std::string_view kFile = "file://";
        if (std::string_view(url).starts_with(kFile))
            view_->setUrl(QUrl::fromLocalFile(QString::fromStdString(url.substr(kFile.size()))));
        else
            view_->setUrl(QUrl(QString::fromStdString(url)));
    }

private:
    QPointer<QWebEngineProfile> profile_;
    QPointer<QWebEngineView> view_;
};

}  // namespace

void PrepareWebEngine() {
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!CanMakeOpenGLContext())
        AddChromiumFlag("--disable-gpu");
}

std::unique_ptr<WebBrowser> MakeWebEngineBrowser(QWidget* host) {
    return std::make_unique<WebEngineBrowser>(host);
}

}  // namespace vs
