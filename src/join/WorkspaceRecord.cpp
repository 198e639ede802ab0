#include "join/WorkspaceRecord.h"

#include <algorithm>
#include <charconv>
#include <random>

#include "platform/Hex.h"
#include "platform/Utf8.h"

namespace folianto {

namespace {

constexpr std::string_view kMadeFile = "file ";
constexpr std::string_view kMadeFolder = "folder ";
constexpr std::string_view kTool = "tool ";
constexpr std::string_view kForget = "forget ";

std::string HexText(uint64_t value) {
  return ToUtf8(Hex(value, 1));
}

// Reads one number of base from the start of text and the space after it; false when there is
// none.
bool TakeNumber(std::string_view& text, uint64_t& value, int base) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end == text.data() + text.size() || *end != ' ') return false;
  text.remove_prefix(static_cast<size_t>(end - text.data()) + 1);
  return true;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::wstring MadeName(bool file) {
  static std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<int> letter(0, 25);
  std::wstring name = L"folianto-";
  for (int i = 0; i < 8; ++i)
    name += static_cast<wchar_t>(L'a' + letter(random));
  return file ? name + L".tmp" : name;
}

std::string RecordLine(const MadeItem& item) {
  return std::string(item.folder ? kMadeFolder : kMadeFile) + HexText(item.identity.volume) + " " +
         HexText(item.identity.indexHigh) + " " + HexText(item.identity.index) + " " +
         ToUtf8(item.path) + "\n";
}

std::string RecordLine(const StartedTool& tool) {
  return std::string(kTool) + std::to_string(tool.id) + " " + std::to_string(tool.start) + "\n";
}

std::string ForgetLine(const std::wstring& path) {
  return std::string(kForget) + ToUtf8(path) + "\n";
}

RecordContent ReadRecord(std::string_view text) {
  RecordContent content;
  for (size_t begin = 0, end; begin < text.size(); begin = end + 1) {
    end = text.find('\n', begin);
    // A last line without its break was cut short while it was written.
    if (end == std::string_view::npos) break;
    std::string_view line = text.substr(begin, end - begin);
    uint64_t a = 0, b = 0, c = 0;
    if (TakePrefix(line, kForget)) {
      if (auto path = FromUtf8(line)) {
        std::erase_if(content.made, [&](const MadeItem& item) { return item.path == *path; });
        content.kept.push_back(std::move(*path));
      }
      continue;
    }
    if (TakePrefix(line, kTool)) {
      if (!TakeNumber(line, a, 10) || a > UINT32_MAX) continue;
      const auto [stop, error] = std::from_chars(line.data(), line.data() + line.size(), b);
      if (error == std::errc() && stop == line.data() + line.size())
        content.tools.push_back({static_cast<uint32_t>(a), b});
      continue;
    }
    const bool folder = TakePrefix(line, kMadeFolder);
    if (!folder && !TakePrefix(line, kMadeFile)) continue;
    if (!TakeNumber(line, a, 16) || !TakeNumber(line, b, 16) || !TakeNumber(line, c, 16)) continue;
    const auto path = FromUtf8(line);
    if (!path || path->empty()) continue;
    const MadeItem item{folder, FileIdentity{a, c, b}, *path};
    // Written again when the thing was made anew in its place.
    const auto known = std::find_if(content.made.begin(), content.made.end(),
                                    [&](const MadeItem& made) { return made.path == *path; });
    if (known != content.made.end()) {
      *known = item;
    } else {
      content.made.push_back(item);
    }
  }
  return content;
}

}  // namespace folianto
