// The PNG checks find the same fed the file whole or in pieces, whose sizes its size seeds.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::minstd_rand pieces(size);
    PngChecksums whole;
    PngChecksums inPieces;
    whole.Feed(data, size);
    for (std::size_t at = 0, piece = 0; at < size; at += piece) {
        piece = std::min<std::size_t>(pieces() % 70, size - at);
        inPieces.Feed(data + at, piece);
    }
    assert(std::tuple(whole.IsPng(), whole.Damaged(), whole.Done()) ==
           std::tuple(inPieces.IsPng(), inPieces.Damaged(), inPieces.Done()));
    return 0;
}
