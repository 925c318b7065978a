#include "app/StartUp.h"

#include <array>
#include <filesystem>
#include <string_view>

namespace vs {

namespace {

namespace fs = std::filesystem;

std::string Normal(const fs::path& p) {
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "file:///a%20b" or "file://localhost/a%20b" as "/a b"; other text unchanged.
std::string LocalPathOf(const std::string& argument) {
    constexpr std::string_view kScheme = "file://";
    if (!argument.starts_with(kScheme))
        return argument;
    std::string_view rest = std::string_view(argument).substr(kScheme.size());
    if (rest.starts_with("localhost/"))
        rest.remove_prefix(std::string_view("localhost").size());
    std::string path;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
            path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

}  // namespace

bool IsSystemProgramFolder(const std::string& folder) {
    static constexpr std::array<std::string_view, 9> kFolders = {
        "/bin",           "/sbin",           "/usr/bin",         "/usr/sbin",       "/usr/games",
        "/usr/local/bin", "/usr/local/sbin", "/usr/local/games", VS_INSTALL_BINDIR,
    };
    if (folder.empty())
        return false;
    const std::string normal = Normal(folder);
    for (const std::string_view f : kFolders)
        if (normal == f)
            return true;
    return false;
}

std::optional<StartTarget> ResolveStartPath(const std::string& argument, const std::string& currentDir) {
    if (argument.empty())
        return std::nullopt;
    fs::path path = LocalPathOf(argument);
    if (path.is_relative())
        path = fs::path(currentDir) / path;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status))
        return StartTarget{Normal(path) == "/" ? "/" : Normal(path) + "/", {}};
    if (fs::is_regular_file(status)) {
        const fs::path normal = Normal(path);
        const std::string parent = normal.parent_path().string();
        return StartTarget{parent == "/" ? "/" : parent + "/", normal.filename().string()};
    }
    return std::nullopt;
}

}  // namespace vs
