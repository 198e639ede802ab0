#pragma once

#include <span>
#include <string>
#include <vector>

namespace folianto {

// The ordered list of input files that the next join combines. Positions count from 1, as the
// user sees them: entry 1 becomes the first part of the joined document.
class FileList {
 public:
  virtual ~FileList() = default;

  virtual int Count() const = 0;
  virtual std::wstring Text(int position) const = 0;
  virtual void Append(const std::wstring& text) = 0;
  // position may be Count() + 1, which appends.
  virtual void Insert(int position, const std::wstring& text) = 0;
  virtual void Remove(int position) = 0;
  // 0 when no entry is selected.
  virtual int Selected() const = 0;
  // 0 clears the selection.
  virtual void Select(int position) = 0;

  // Appends many entries at once; a list control repaints once for all of them.
  virtual void AppendAll(std::span<const std::wstring> texts) {
    for (const auto& text : texts)
      Append(text);
  }
  virtual void RemoveAll() {
    while (Count() > 0)
      Remove(Count());
  }
};

// Every entry's text, in list order.
inline std::vector<std::wstring> AllEntries(const FileList& list) {
  std::vector<std::wstring> entries;
  entries.reserve(static_cast<size_t>(list.Count()));
  for (int i = 1; i <= list.Count(); ++i)
    entries.push_back(list.Text(i));
  return entries;
}

}  // namespace folianto
