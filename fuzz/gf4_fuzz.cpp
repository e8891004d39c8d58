// libFuzzer target: any bytes read as a gf4 file leave a consistent record that saves and
// reads back the same.

#include "LoadCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string broken = CheckLoadOf(std::string(reinterpret_cast<const char*>(data), size));
    if (!broken.empty()) {
        std::fprintf(stderr, "gf4 check failed: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
