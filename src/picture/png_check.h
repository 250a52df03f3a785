#pragma once
// Checks the chunk checksums of a PNG file read in pieces: a decoder may show a picture whose
// header or data were damaged, so the program checks them itself.
#include <cstddef>
#include <cstdint>

namespace zelta {

class PngChecksums {
  public:
    // Feeds the next bytes of the file; stops looking after IEND or the first damaged chunk.
    void Feed(const std::uint8_t* data, std::size_t size);
    // True when the bytes seen so far start like a PNG file.
    bool IsPng() const { return isPng_; }
    // True when a chunk's stored checksum differs from its content's.
    bool Damaged() const { return damaged_; }
    bool Done() const { return damaged_ || ended_ || (!isPng_ && seen_ >= kSignatureSize); }

  private:
    static constexpr std::size_t kSignatureSize = 8;
    enum class Part { Signature, Header, Data, Checksum };

    Part part_ = Part::Signature;
    std::size_t seen_ = 0;      // bytes of the current part
    std::uint32_t length_ = 0;  // of the current chunk's data
    std::uint32_t crc_ = 0;     // running, over type and data
    std::uint32_t stored_ = 0;  // the checksum as the file gives it
    std::uint32_t type_ = 0;
    bool isPng_ = true;
    bool damaged_ = false;
    bool ended_ = false;
};

}  // namespace zelta
