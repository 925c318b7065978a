#pragma once

#include "platform/WebBrowser.h"

#include <memory>

class QWidget;

namespace vs {

// Qt WebEngine's environment, set before the engine starts: the Chromium sandbox is off when
// the program runs as root (Chromium refuses to start otherwise), and GPU use is off where no
// OpenGL context can be made (offscreen, no display). Call after the application object
// exists and before the first browser; later calls do nothing.
void PrepareWebEngine();

// A QWebEngineView filling host, with a private off-the-record profile: local pages reach
// only file URLs inside their own folder (and data URLs), nothing remote; no new windows.
std::unique_ptr<WebBrowser> MakeWebEngineBrowser(QWidget* host);

}  // namespace vs
