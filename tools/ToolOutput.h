#pragma once
// How the driving tools report: lines on stdout, and a failure on stderr
// named after the tool, which makes the exit code 1.

#include "platform/SysUtils.h" // ToUtf8

#include <cstdio>
#include <string>

namespace telvora {

inline void PrintLine(const std::wstring& line) {
  const std::string text = ToUtf8(line + L"\n");
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

inline int ToolFailure(const wchar_t* tool, const std::wstring& reason) {
  const std::string text = ToUtf8(std::wstring(tool) + L": " + reason + L"\n");
  std::fwrite(text.data(), 1, text.size(), stderr);
  return 1;
}

} // namespace telvora
