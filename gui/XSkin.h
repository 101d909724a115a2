// The skin: the named PNG files built into the library (every resources/skin/*.png at
// configure time), plus pictures that tools and tests add while running. Names are looked up
// ignoring case ("KEYBOARD.PNG" finds keyboard.png).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A file built into the library by the build's embedding step.
struct XEmbeddedFile {
    std::string_view name;
    std::span<const std::uint8_t> bytes;
};

class XSkin {
public:
    // The bytes of the named picture; empty when there is none. The bytes stay valid for the
    // life of the process.
    static std::span<const std::uint8_t> Find(std::string_view name);
    // Adds a picture under a name not yet used (false when the name is taken).
    static bool Add(std::string_view name, std::vector<std::uint8_t> bytes);
    static std::vector<std::string> Names();
};
