#pragma once
// Loading the add-in as Office does: the host's add-in entries in the
// current user's registry, the class by ProgId, created in process and
// called through IDTExtensibility2.

#include "hostprog/addin_loader.h"

namespace frambolist::win {

std::unique_ptr<hostprog::AddinLoader> MakeComLoader();

}  // namespace frambolist::win
