#include "app/RegistryFile.h"

#include <cstdint>
#include <string_view>

// The settings file is the user's to edit: any bytes must parse, and what we write back
// must parse to the same keys and values.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vs::RegistryFile file = vs::RegistryFile::Parse(text);
    const std::string written = file.Serialize();
    const vs::RegistryFile again = vs::RegistryFile::Parse(written);
    if (again.Serialize() != written)
        __builtin_trap();
    return 0;
}
