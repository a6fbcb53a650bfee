// The plug-in's texts are code page 932 (Shift-JIS) bytes; terminals want UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace pallowin::desktop {

// Bytes that do not convert come out as U+FFFD, so a damaged memo still prints.
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace pallowin::desktop
