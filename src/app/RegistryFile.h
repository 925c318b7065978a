#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vs {

// Raised by the settings store with the texts the user sees in the error box.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A registry export file (REGEDIT4): keys in brackets, then "name"=value lines with
// string ("...", \\ and \" escaped) and dword:XXXXXXXX values. Other value types and keys
// are kept verbatim so that a file a user imported survives our rewrite. Key and value
// names compare without regard to letter case, as the registry's do. No widgets, no Qt.
class RegistryFile {
public:
    enum class Type { String, Dword, Other };
    struct Value {
        std::string name;
        Type type = Type::Other;
        std::string text;       // String: the unescaped string; Other: the raw right-hand side
        std::uint32_t dword = 0;
    };
    struct Key {
        std::string path;
        std::vector<Value> values;
    };

    static RegistryFile Parse(std::string_view text);
    std::string Serialize() const;

    // The key, created empty when missing.
    Key& OpenKey(std::string_view path);
    const Key* FindKey(std::string_view path) const;
    static const Value* FindValue(const Key& key, std::string_view name);
    static Value& SetValue(Key& key, std::string_view name);

    const std::vector<Key>& keys() const { return keys_; }

private:
    std::vector<Key> keys_;
};

// One key of the settings file, read when opened and written back atomically after every
// write, like the registry writes each value at once. Reads of a value of the wrong type
// throw "Invalid data type for '<name>'"; a write that cannot reach the disk throws
// "Failed to set data for '<name>'".
class SettingsKey {
public:
    // fileName: the settings file; keyPath: the key inside it, opened with creation.
    SettingsKey(std::string fileName, std::string keyPath);

    bool ValueExists(std::string_view name) const;
    std::string ReadString(std::string_view name) const;
    bool ReadBool(std::string_view name) const;
    // A dword as a signed number, as the registry's integer values are read.
    int ReadInteger(std::string_view name) const;
    void WriteString(std::string_view name, const std::string& value);
    void WriteBool(std::string_view name, bool value);
    void WriteInteger(std::string_view name, int value);

    const std::string& fileName() const { return fileName_; }

private:
    const RegistryFile::Value& Existing(std::string_view name) const;
    void Flush(std::string_view name);

    std::string fileName_;
    std::string keyPath_;
    RegistryFile file_;
    bool unreadable_ = false;
};

// $XDG_CONFIG_HOME/vantor-see/settings.reg, or ~/.config/vantor-see/settings.reg.
std::string DefaultSettingsFileName();

// The key the program keeps its settings under.
inline constexpr std::string_view kSettingsKeyPath = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting";

}  // namespace vs
