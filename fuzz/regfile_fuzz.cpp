// regfile::parse on arbitrary bytes, then key look-ups: every key the parser
// stored is found again, under any spelling of its letters.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/regfile.h"
#include "common.h"

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    regfile::Registry registry;
    std::string error;
    if (!regfile::parse(text, registry, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    regfile::findKey(registry, "HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Runtime Environment\\1.4");
    regfile::findKey(registry, "hklm\\software\\");
    regfile::findKey(registry, "");
    regfile::findKey(registry, "\\");
    for (const auto& key : registry) {
        FUZZ_CHECK(regfile::findKey(registry, key.first) == &key.second);
        FUZZ_CHECK(regfile::findKey(registry, upper(key.first)) == &key.second);
    }
    return 0;
}
