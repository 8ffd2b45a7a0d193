// Resource identifiers of the widget test programs.
#pragma once

#define IDB_TEST_STRIP 3001  // three 16 x 16 squares: red, green, blue; magenta top-left corners
