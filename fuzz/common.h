// Shared by the fuzz targets: a fresh process on the fake platform for every
// input, and a check that aborts (so libFuzzer keeps the input) when a
// property of the code under test does not hold.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/fake.h"
#include "resources/resources.h"
#include "runtime/runtime.h"

namespace fuzz {

#define FUZZ_CHECK(condition)                                                             \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

// Resets the fake and the runtime state and installs a new process-wide
// resource table holding the built-in texts.  The table lives until the next
// call.
inline ResourceTable& freshProcess() {
    static std::unique_ptr<ResourceTable> table;
    fake::reset();
    runtimeState() = RuntimeState();
    table = std::make_unique<ResourceTable>();
    setProcessResourceTable(table.get());
    registerBuiltinTexts(*table);
    return *table;
}

inline std::string builtin(const char* key) {
    for (std::size_t i = 0; i < kBuiltinTextCount; ++i)
        if (std::string(key) == kBuiltinTexts[i].key) return kBuiltinTexts[i].text;
    return std::string();
}

inline std::string lastBox() { return fake::state().boxes.empty() ? std::string() : fake::state().boxes.back().text; }

}  // namespace fuzz
