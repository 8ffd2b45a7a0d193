#include "app/main/ChartZoom.h"

namespace MyApp {

ZoomStep ZoomAt(std::size_t level) {
    // 10, 5 and 2.5 pixels a day, then a pixel a day, then halves of that.
    static const ZoomStep steps[ZoomLevels] = {{0, 1},  {10, 1}, {5, 1},   {5, 2},    {1, 1},    {1, 2},
                                               {1, 4},  {1, 8},  {1, 16},  {1, 32},   {1, 64},   {1, 128},
                                               {1, 256}, {1, 512}, {1, 1024}, {1, 2048}, {1, 4096}};
    return steps[level < ZoomLevels ? level : ZoomLevels - 1];
}

}  // namespace MyApp
