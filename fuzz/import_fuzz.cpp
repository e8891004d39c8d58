// libFuzzer targets of the import readers (one per format, chosen at build time by
// NODELOOM_IMPORT_FORMAT): any bytes pass CheckImportOf.

#include "ImportCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string broken = CheckImportOf(bytes, TImportFormat::NODELOOM_IMPORT_FORMAT);
    if (!broken.empty()) {
        std::fprintf(stderr, "import check failed: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
