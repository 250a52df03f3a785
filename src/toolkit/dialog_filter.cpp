#include "toolkit/dialog_filter.h"

#include <algorithm>

namespace zelta {

std::wstring DialogFilter(const std::wstring& barSeparated) {
    std::wstring filter = barSeparated;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    if (filter.empty() || filter.back() != L'\0') {
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    return filter;
}

}  // namespace zelta
