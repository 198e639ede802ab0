#pragma once

#include <optional>
#include <string>

#include "join/ToolPaths.h"

namespace folianto {

// The system's file names and code page, as the tool meets them.
class SystemFileNames final : public ToolFileNames {
 public:
  bool SurvivesCodePage(const std::wstring& text) override;
  unsigned CodePage() override;
  std::optional<std::wstring> ShortForm(const std::wstring& path) override;
  bool Exists(const std::wstring& path) override;
};

}  // namespace folianto
