#pragma once

#include "filelist/FolderWalk.h"

namespace folianto {

// The file system's own directory search. Each entry's attributes come with the search result,
// which saves one query per entry.
DirectorySearch& SystemDirectorySearch();

}  // namespace folianto
