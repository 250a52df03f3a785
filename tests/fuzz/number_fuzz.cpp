// A length from any text; a whole number n (the first four bytes) written as a length reads back
// as float(n), or as nothing beyond 32 bits.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)ParseWholeNumber(WideText(data, size));
    std::int32_t whole = 0;
    std::memcpy(&whole, data, std::min<std::size_t>(size, 4));
    const auto value = static_cast<float>(whole);  // whole, so written without an exponent
    assert(
        ParseWholeNumber(NumberText(value)) ==
        (value < 2147483648.0F ? std::optional(static_cast<std::int32_t>(value)) : std::nullopt));
    return 0;
}
