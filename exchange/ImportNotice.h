// What "Importa" tells the user about a file it has read: what the project
// cannot hold and left out, then the tasks that came in other than the file
// has them, each kind on a line of its own with its count.
#pragma once

#include <string>

#include "exchange/ProjectXml.h"

namespace MyApp {

// The message's text; empty when the project holds the file whole.
std::wstring ImportNotice(const DroppedItems& dropped);

}  // namespace MyApp
