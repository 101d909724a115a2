// Paths and texts are UTF-8 inside the program; the wide-character API wants UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Invalid UTF-8 comes out as U+FFFD, as the system converts it.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace platform
