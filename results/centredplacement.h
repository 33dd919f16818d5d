#pragma once

namespace results {

struct PlacedRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a picture of w x h is drawn in a panel of W x H: at its own size when it fits, otherwise
// shrunk by min(W/w, H/h) with the size truncated; never enlarged; centred with integer division.
constexpr PlacedRect CentredPlacement(int panelWidth, int panelHeight, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    int w = width, h = height;
    if (w > panelWidth || h > panelHeight) {
        // Compare the two factors exactly in integers: W/w < H/h  <=>  W*h < H*w.
        const long long wh = 1LL * panelWidth * height, hw = 1LL * panelHeight * width;
        if (wh <= hw) {
            w = panelWidth;
            h = static_cast<int>(1LL * height * panelWidth / width);
        } else {
            h = panelHeight;
            w = static_cast<int>(1LL * width * panelHeight / height);
        }
    }
    return { (panelWidth - w) / 2, (panelHeight - h) / 2, w, h };
}

static_assert(CentredPlacement(264, 400, 264, 400).width == 264);
static_assert(CentredPlacement(264, 400, 528, 400).height == 200);
static_assert(CentredPlacement(264, 400, 528, 400).y == 100);

} // namespace results
