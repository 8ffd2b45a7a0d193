#include "app/chart/ChartBar.h"

#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/ScopedGdi.h"

namespace MyApp {

void ChartBar::OnPaint() {
    CellControl::OnPaint();
    if (!selected || window == nullptr) return;
    RECT client{};
    if (!GetClientRect(window, &client)) return;
    const QVUtility::ScreenContext context(window);
    if (!context) return;
    // Two black rings outside two white ones: one of the two stands out on
    // any bar colour, light or dark.
    QVUtility::Drawing surface;
    surface.Attach(context.Get(), false);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    // Each ring one pixel at 96 DPI, thicker on denser screens.
    const QVUtility::DisplayScale scale = Scale();
    const int rings = scale(4);
    const int black = scale(2);
    for (int inset = 0; inset < rings && 2 * inset < w && 2 * inset < h; ++inset) {
        surface.FrameRect(inset, inset, w - 2 * inset, h - 2 * inset, 1,
                          inset < black ? RGB(0, 0, 0) : RGB(255, 255, 255));
    }
    surface.End();
}

}  // namespace MyApp
