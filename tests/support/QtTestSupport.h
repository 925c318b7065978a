#pragma once

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>
#include <array>
#include <functional>
#include <optional>
#include <string_view>
#include <string>

namespace vs::test {

// A temporary HOME with its XDG folders for one test; the old values come back afterwards.
class TempHome {
public:
    TempHome() {
        for (const char* name : kVars) {
            const char* v = std::getenv(name);
            saved_[Index(name)] = v ? std::optional<std::string>(v) : std::nullopt;
        }
        ::setenv("HOME", dir_.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", dir_.file(".config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", dir_.file(".cache").c_str(), 1);
        ::setenv("XDG_DATA_HOME", dir_.file(".local/share").c_str(), 1);
    }
    ~TempHome() {
        for (const char* name : kVars) {
            const auto& v = saved_[Index(name)];
            if (v)
                ::setenv(name, v->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return dir_.path(); }
    std::string file(const std::string& name) const { return dir_.file(name); }

private:
    static constexpr const char* kVars[4] = {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"};
    static std::size_t Index(const char* name) {
        for (std::size_t i = 0; i < 4; ++i)
            if (std::string_view(kVars[i]) == name)
                return i;
        return 0;
    }
    TempDir dir_;
    std::array<std::optional<std::string>, 4> saved_;
};

// Processes events until done() holds or the time runs out; the last result of done().
inline bool ProcessEventsUntil(const std::function<bool()>& done, int milliseconds = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace vs::test
