// The starter line of any folder (as many characters as the first byte says) and picture: one
// line for cmd, which starts with the program, quoted where it must be.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t length = size == 0 ? 0 : std::min<std::size_t>(data[0] * 2, size - 1);
    const std::wstring folder = WideText(data + 1, length);
    const std::wstring picture = WideText(data + 1 + length, size - std::min(size, 1 + length));
    const auto name = ProposedBatchName(picture);
    assert(name.has_value() != picture.empty() && (!name || name->ends_with(L".bat")));
    if (BreaksBatchLine(folder) || BreaksBatchLine(picture) || IsNoPicture(picture)) {
        return 0;
    }
    const std::wstring line = StarterLine(folder, picture);
    const std::wstring program = folder + L"\\" + kProgramFileName;
    const std::wstring start = NeedsQuotesAsCommand(program) ? L'"' + program + L'"' : program;
    // Escaping leaves a program path without "%" and '"' as it is.
    assert(!BreaksBatchLine(line) &&
           (folder.find_first_of(L"%\"") != std::wstring::npos || line.starts_with(start + L' ')));
    return 0;
}
