#pragma once

#include <windows.h>

#include "filelist/FileList.h"

namespace folianto {

// The File list as the items of a report-style list view: there is no other store.
class ListViewFileList final : public FileList {
 public:
  void Attach(HWND listView) { listView_ = listView; }
  HWND Handle() const { return listView_; }

  int Count() const override;
  std::wstring Text(int position) const override;
  void Append(const std::wstring& text) override;
  void Insert(int position, const std::wstring& text) override;
  void Remove(int position) override;
  int Selected() const override;
  void Select(int position) override;
  void AppendAll(std::span<const std::wstring> texts) override;
  void RemoveAll() override;

 private:
  HWND listView_ = nullptr;
};

}  // namespace folianto
