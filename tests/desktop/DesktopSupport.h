#pragma once

// Paths of the install that the desktop tests share (made by the desktop_install fixture).

#include <string>

namespace vs::test {

// A path under the installed prefix, for example Installed("bin/vantorsee").
inline std::string Installed(const std::string& relative) {
    return std::string(VS_TEST_INSTALL_ROOT) + "/usr/" + relative;
}
inline std::string InstalledLib(const std::string& name) {
    return Installed(std::string(VS_INSTALL_LIBDIR) + "/" + name);
}
inline std::string InstalledPluginFolder() {
    return Installed(VS_QT_PLUGIN_DIR);
}

// Environment that runs the installed programs from their DESTDIR: their folder first on PATH,
// their library found.
inline std::string InstalledEnv() {
    return "env PATH=" + Installed("bin") + ":\"$PATH\" LD_LIBRARY_PATH=" + Installed(VS_INSTALL_LIBDIR) + " ";
}

}  // namespace vs::test
