// The one argument of the picture-writing tools, "--out DIR": the folder, made when missing.
#pragma once

#include <optional>
#include <string>

// Prints "usage: <program> --out DIR" and answers nothing when the arguments are not that.
std::optional<std::string> OutFolder(int argc, char** argv, const char* program);
