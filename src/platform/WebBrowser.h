#pragma once

#include <string>

namespace vs {

// The web view's browser: shows the page at a URL. A page from the library may read the
// files of its own folder, but reaches nothing remote and opens no windows.
class WebBrowser {
public:
    virtual ~WebBrowser() = default;
    virtual void Navigate(const std::string& url) = 0;
};

}  // namespace vs
