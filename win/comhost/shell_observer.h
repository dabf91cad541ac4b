#pragma once
// In tests the add-in's request to open a web page is observed, not carried
// out: the library's import of ShellExecuteA is pointed at a stand-in that
// prints "open ADDRESS".

#include <windows.h>

#include <ostream>

namespace frambolist::win {

void SetShellOutput(std::ostream* out);
// Redirects ShellExecuteA in the library that serves `clsid`, if loaded.
void ObserveShellOfLoadedAddin(REFCLSID clsid);

}  // namespace frambolist::win
