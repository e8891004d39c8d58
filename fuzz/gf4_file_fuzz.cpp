// libFuzzer target for the file layer: any bytes, written to a file, load as the in-memory reader
// reads them, and a graph that was read saves over an existing target of every form and loads
// back the same.

#include "FileCheck.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory where it can be (/dev/shm): every save flushes its file to the disk.
    static const std::string folder = [] {
        const char* base = std::getenv("NODELOOM_FUZZ_DIR");
        std::string name = std::string(base && *base ? base : "/tmp") + "/nodeloom-file-fuzz-XXXXXX";
        if (!mkdtemp(name.data())) std::abort();
        return name;
    }();
    static const int cleanUp = std::atexit([] { rmdir(folder.c_str()); }); // the check leaves it empty
    (void)cleanUp;
    // The target's form follows from the input, so that a finding replays the same way.
    const std::string broken =
        CheckFileLayerOf(std::string(reinterpret_cast<const char*>(data), size), folder, static_cast<unsigned>(size));
    if (!broken.empty()) {
        std::fprintf(stderr, "gf4 file check failed: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
