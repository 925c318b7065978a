#include "app/RegistryFile.h"

#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace vs {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    // A line break can only end a text joined from continued lines: one whose last line was
    // empty, or which the file ended with a backslash.
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// Reads a quoted string starting at s[0] == '"'; returns the unescaped text and moves pos
// past the closing quote. False when the quote is never closed.
bool ReadQuoted(std::string_view s, std::size_t& pos, std::string& out) {
    out.clear();
    for (pos = 1; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '\\' && pos + 1 < s.size()) {
            out += s[++pos];
        } else if (c == '"') {
            ++pos;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

std::string Quote(std::string_view s) {
    std::string q = "\"";
    for (const char c : s) {
        if (c == '\\' || c == '"')
            q += '\\';
        q += c;
    }
    return q + "\"";
}

void ParseValue(RegistryFile::Value& v, std::string_view rhs) {
    if (!rhs.empty() && rhs.front() == '"') {
        std::size_t pos = 0;
        std::string text;
        // A string cannot hold a line break; one that seems to (a stray backslash at a line's
        // end) is kept verbatim as a value of another type.
        if (ReadQuoted(rhs, pos, text) && Trim(rhs.substr(pos)).empty() && text.find('\n') == std::string::npos) {
            v.type = RegistryFile::Type::String;
            v.text = std::move(text);
            return;
        }
    } else if (rhs.size() == 14 && EqualsIgnoringCase(rhs.substr(0, 6), "dword:") &&
               std::all_of(rhs.begin() + 6, rhs.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
        v.type = RegistryFile::Type::Dword;
        v.dword = static_cast<std::uint32_t>(std::strtoul(std::string(rhs.substr(6)).c_str(), nullptr, 16));
        return;
    }
    v.type = RegistryFile::Type::Other;
    v.text = std::string(rhs);
}

}  // namespace

RegistryFile RegistryFile::Parse(std::string_view text) {
    // Logical lines: a line ending in a backslash (only hex values do) goes on with the next
    // one; the break is kept so the value is written back as it was.
    std::vector<std::string> lines;
    std::size_t start = 0;
    bool continued = false;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (continued)
            lines.back() += "\n  " + std::string(line);
        else
            lines.emplace_back(line);
        continued = !line.empty() && line.back() == '\\';
    }

    RegistryFile file;
    Key* current = nullptr;
    for (const std::string& text_line : lines) {
        const std::string_view line = text_line;
        if (line.empty() || line.front() == ';' || line == "REGEDIT4")
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view path = line.substr(1, line.size() - 2);
            // "[-key]" asks an import to delete the key; there is nothing of it to keep.
            current = (!path.empty() && path.front() == '-') ? nullptr : &file.OpenKey(path);
            continue;
        }
        if (!current)
            continue;
        std::string name;
        std::size_t pos = 0;
        if (line.front() == '"') {
            if (!ReadQuoted(line, pos, name) || name.find('\n') != std::string::npos)
                continue;
        } else if (line.front() == '@') {
            pos = 1;  // the key's default value, kept under the empty name
        } else {
            continue;
        }
        std::string_view rest = Trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            continue;
        ParseValue(SetValue(*current, name), Trim(rest.substr(1)));
    }
    return file;
}

std::string RegistryFile::Serialize() const {
    std::string out = "REGEDIT4\n";
    for (const Key& key : keys_) {
        out += "\n[" + key.path + "]\n";
        for (const Value& v : key.values) {
            out += v.name.empty() ? std::string("@") : Quote(v.name);
            out += '=';
            switch (v.type) {
            case Type::String:
                out += Quote(v.text);
                break;
            case Type::Dword: {
                char hex[9];
                std::snprintf(hex, sizeof hex, "%08x", v.dword);
                out += "dword:";
                out += hex;
                break;
            }
            case Type::Other:
                out += v.text;
                // A final backslash would continue into the next entry: give it an empty line.
                if (!v.text.empty() && v.text.back() == '\\')
                    out += '\n';
                break;
            }
            out += '\n';
        }
    }
    return out;
}

RegistryFile::Key& RegistryFile::OpenKey(std::string_view path) {
    for (Key& k : keys_)
        if (EqualsIgnoringCase(k.path, path))
            return k;
    keys_.push_back({std::string(path), {}});
    return keys_.back();
}

const RegistryFile::Key* RegistryFile::FindKey(std::string_view path) const {
    for (const Key& k : keys_)
        if (EqualsIgnoringCase(k.path, path))
            return &k;
    return nullptr;
}

const RegistryFile::Value* RegistryFile::FindValue(const Key& key, std::string_view name) {
    for (const Value& v : key.values)
        if (EqualsIgnoringCase(v.name, name))
            return &v;
    return nullptr;
}

RegistryFile::Value& RegistryFile::SetValue(Key& key, std::string_view name) {
    for (Value& v : key.values)
        if (EqualsIgnoringCase(v.name, name))
            return v;
    key.values.push_back({std::string(name), Type::Other, {}, 0});
    return key.values.back();
}

SettingsKey::SettingsKey(std::string fileName, std::string keyPath)
    : fileName_(std::move(fileName)), keyPath_(std::move(keyPath)) {
    // A missing file is an empty store, as a missing key is created empty. One that exists
    // but cannot be read reads as empty too, and is never written over.
    try {
        const auto bytes = ReadFileBytes(fileName_);
        file_ = RegistryFile::Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const ImageError&) {
        std::error_code ec;
        unreadable_ = std::filesystem::exists(fileName_, ec);
    }
    file_.OpenKey(keyPath_);
}

bool SettingsKey::ValueExists(std::string_view name) const {
    return RegistryFile::FindValue(*file_.FindKey(keyPath_), name) != nullptr;
}

const RegistryFile::Value& SettingsKey::Existing(std::string_view name) const {
    const RegistryFile::Value* v = RegistryFile::FindValue(*file_.FindKey(keyPath_), name);
    if (!v)
        throw SettingsError("Invalid data type for '" + std::string(name) + "'");
    return *v;
}

std::string SettingsKey::ReadString(std::string_view name) const {
    const RegistryFile::Value& v = Existing(name);
    if (v.type != RegistryFile::Type::String)
        throw SettingsError("Invalid data type for '" + std::string(name) + "'");
    return v.text;
}

bool SettingsKey::ReadBool(std::string_view name) const { return ReadInteger(name) != 0; }

int SettingsKey::ReadInteger(std::string_view name) const {
    const RegistryFile::Value& v = Existing(name);
    if (v.type != RegistryFile::Type::Dword)
        throw SettingsError("Invalid data type for '" + std::string(name) + "'");
    return static_cast<int>(v.dword);
}

void SettingsKey::WriteString(std::string_view name, const std::string& value) {
    // The file format has no way to write a line break inside a string.
    if (value.find_first_of("\r\n") != std::string::npos)
        throw SettingsError("Failed to set data for '" + std::string(name) + "'");
    RegistryFile::Value& v = RegistryFile::SetValue(file_.OpenKey(keyPath_), name);
    v.type = RegistryFile::Type::String;
    v.text = value;
    Flush(name);
}

void SettingsKey::WriteBool(std::string_view name, bool value) { WriteInteger(name, value ? 1 : 0); }

void SettingsKey::WriteInteger(std::string_view name, int value) {
    RegistryFile::Value& v = RegistryFile::SetValue(file_.OpenKey(keyPath_), name);
    v.type = RegistryFile::Type::Dword;
    v.text.clear();
    v.dword = static_cast<std::uint32_t>(value);
    Flush(name);
}

void SettingsKey::Flush(std::string_view name) {
    if (unreadable_)
        throw SettingsError("Failed to set data for '" + std::string(name) + "'");
    try {
        std::error_code ec;
        const auto folder = std::filesystem::path(fileName_).parent_path();
        if (!folder.empty())
            std::filesystem::create_directories(folder, ec);
        const std::string text = file_.Serialize();
        WriteFileAtomically(fileName_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    } catch (const ImageError&) {
        throw SettingsError("Failed to set data for '" + std::string(name) + "'");
    }
}

std::string DefaultSettingsFileName() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".config";
    return base + "/vantor-see/settings.reg";
}

}  // namespace vs
