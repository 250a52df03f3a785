// The JPEG header and the end-of-image check of any bytes, read whole as the loader reads them.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source(data, size, size);
    (void)ReadJpegHeader(source);
    (void)HoldsEndOfImage(data, size);
    return 0;
}
