#pragma once
// The media interface on winmm's MCI string commands.
#include "media/media_interface.h"

namespace zelta {

class WinmmMedia : public MediaInterface {
  public:
    // The calling thread gets COM first, if it has none yet.
    std::uint32_t SendCommand(const std::wstring& command) override;
    std::wstring ErrorText(std::uint32_t code) override;
};

}  // namespace zelta
