#pragma once
// The product's name and version as messages and windows show them.
#include <string>

namespace qm {

inline constexpr char kProductName[] = "Torvane Quillmar";
inline constexpr double kProductVersion = 3.61;
inline constexpr char kProductRelease[] = "Final";

// "Torvane Quillmar 3.61 Final", the version in the user's number format.
std::string GetProductText();

}  // namespace qm
