// Whole-file reads and writes for the small binary files the host handles (MIDI files, plug-in
// chunks). Errors are thrown as std::runtime_error with the path in the message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace binaryfile {

// Refuses anything that is not a regular file or is larger than maxBytes, so a device or a
// mistaken path cannot make the host read without end.
std::vector<std::uint8_t> Read(const std::string& path, std::size_t maxBytes);
void Write(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace binaryfile
