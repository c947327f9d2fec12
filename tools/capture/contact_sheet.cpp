#include "contact_sheet.h"

#include <cmath>
#include <cstdio>

#include "font.h"

namespace {

const uint8_t Paper[3] = {28, 28, 32};     // between the cells
const uint8_t Band[3] = {0, 0, 0};         // under the labels
const uint8_t Ink[3] = {255, 236, 160};    // the labels

}  // namespace

int SheetLayout::cell_x(int index) const { return Margin + (index % columns) * (thumbWidth + Margin); }
int SheetLayout::cell_y(int index) const { return Margin + (index / columns) * (thumbHeight + LabelHeight + Margin); }

SheetLayout sheet_layout(int frames, int frameWidth, int frameHeight) {
    SheetLayout l{};
    l.thumbWidth = frameWidth / SheetLayout::Shrink;
    l.thumbHeight = frameHeight / SheetLayout::Shrink;
    const int cellWidth = l.thumbWidth + SheetLayout::Margin;
    const int cellHeight = l.thumbHeight + SheetLayout::LabelHeight + SheetLayout::Margin;
    l.columns = std::max(1, std::min(frames, int(std::ceil(std::sqrt(double(frames) * cellHeight / cellWidth)))));
    l.rows = std::max(1, (frames + l.columns - 1) / l.columns);
    l.width = SheetLayout::Margin + l.columns * cellWidth;
    l.height = SheetLayout::Margin + l.rows * cellHeight;
    return l;
}

std::string second_label(int64_t frame, int fps) {
    char text[32];
    if (frame % fps == 0) {
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(frame / fps));
        return text;
    }
    std::snprintf(text, sizeof text, "%.3f", double(frame) / fps);
    std::string label = text;
    label.erase(label.find_last_not_of('0') + 1);
    return label;
}

ContactSheet::ContactSheet(int frames, int frameWidth, int frameHeight)
    : layout_(sheet_layout(frames, frameWidth, frameHeight)), frameWidth_(frameWidth), frameHeight_(frameHeight),
      rgb_(size_t(layout_.width) * layout_.height * 3) {
    for (size_t at = 0; at < rgb_.size(); at += 3) std::copy(Paper, Paper + 3, &rgb_[at]);
}

void ContactSheet::add(int index, const uint8_t* bgraBottomUp, const std::string& label) {
    const int n = SheetLayout::Shrink;
    const int left = layout_.cell_x(index), top = layout_.cell_y(index);
    for (int ty = 0; ty < layout_.thumbHeight; ++ty)
        for (int tx = 0; tx < layout_.thumbWidth; ++tx) {
            unsigned sum[3] = {0, 0, 0};
            for (int dy = 0; dy < n; ++dy) {
                const int y = frameHeight_ - 1 - (ty * n + dy);  // the frame's rows run bottom-up
                const uint8_t* row = bgraBottomUp + (size_t(y) * frameWidth_ + tx * n) * 4;
                for (int dx = 0; dx < n * 4; dx += 4) {
                    sum[0] += row[dx + 2];
                    sum[1] += row[dx + 1];
                    sum[2] += row[dx];
                }
            }
            uint8_t* out = &rgb_[(size_t(top + ty) * layout_.width + left + tx) * 3];
            for (int c = 0; c < 3; ++c) out[c] = uint8_t((sum[c] + n * n / 2) / (n * n));
        }
    put_label(left, top + layout_.thumbHeight, label);
}

// The band under the picture, the text in the shared bitmap font, one square per dot.
void ContactSheet::put_label(int x, int y, const std::string& label) {
    auto paint = [&](int px, int py, const uint8_t* colour) {
        std::copy(colour, colour + 3, &rgb_[(size_t(py) * layout_.width + px) * 3]);
    };
    for (int py = y; py < y + SheetLayout::LabelHeight; ++py)
        for (int px = x; px < x + layout_.thumbWidth; ++px) paint(px, py, Band);
    const int dot = SheetLayout::LabelDot;
    for (size_t i = 0; i < label.size(); ++i) {
        const unsigned char* rows = glyph_rows(label[i]);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c) {
                if (!(rows[r] & (16 >> c))) continue;
                const int gx = x + SheetLayout::LabelInset + (int(i) * 6 + c) * dot;
                const int gy = y + SheetLayout::LabelInset + r * dot;
                if (gx + dot > x + layout_.thumbWidth) continue;
                for (int py = gy; py < gy + dot; ++py)
                    for (int px = gx; px < gx + dot; ++px) paint(px, py, Ink);
            }
    }
}
