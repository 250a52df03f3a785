#include "setup/get_directory.h"

namespace zelta {

std::wstring GetDirectory(std::wstring path) {
    while (!path.empty() && path.back() != L':' && path.back() != L'\\') {
        path.pop_back();
    }
    if (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

}  // namespace zelta
