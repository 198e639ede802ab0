#pragma once

#include <string_view>

namespace folianto {

// A path counts as a PDF file when its last three characters, lower-cased, are "pdf". The file
// itself is not looked at, and no dot is needed ("xpdf" passes, ".pdf.bak" does not).
bool PassesPdfTest(std::wstring_view path);

}  // namespace folianto
