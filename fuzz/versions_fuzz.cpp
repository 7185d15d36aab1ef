// parseVersionSpecification on arbitrary text: it either returns lists of
// supported versions only, or ends the process with UNKNOWN_VM_VERSION.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common.h"

namespace {

bool supported(const std::string& version) { return version == "1.4" || version == "1.3" || version == "1.2.2"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::freshProcess();
    const std::string specification(reinterpret_cast<const char*>(data), size);
    try {
        const VersionLists lists = parseVersionSpecification(specification);
        for (const std::string& version : lists.official) FUZZ_CHECK(supported(version));
        for (const std::string& version : lists.unofficial) FUZZ_CHECK(supported(version));
        FUZZ_CHECK(lists.official.size() + lists.unofficial.size() <= size);
        FUZZ_CHECK(fake::state().boxes.empty());
    } catch (const fake::Exit& exit) {
        FUZZ_CHECK(exit.code == 1);
        FUZZ_CHECK(fuzz::lastBox() == fuzz::builtin("UNKNOWN_VM_VERSION"));
        FUZZ_CHECK(!fake::state().output.empty());
    }
    return 0;
}
