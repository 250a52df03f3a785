// The start that any command line asks for: a text in quotes asks for what it asks without them.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring line = WideText(data, size);
    const std::wstring text = ArgumentTextOf(line);
    const std::wstring_view unquoted = WithoutEnclosingQuotes(text);
    const StartRequest request = RequestFor(text);
    const StartRequest direct = RequestFor(unquoted);
    assert(line.ends_with(text) && WithoutEnclosingQuotes(unquoted) == unquoted &&
           request.action == direct.action && request.PicturePath == direct.PicturePath &&
           request.MediaPath == direct.MediaPath);
    (void)IsDeviceName(request.PicturePath);
    return 0;
}
