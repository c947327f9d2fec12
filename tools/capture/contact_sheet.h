#pragma once
// The contact sheet: every chosen frame as a small picture with its second
// written under it, in rows, on one PNG: the whole show at a glance.
#include <cstdint>
#include <string>
#include <vector>

// Where things lie on a sheet of n frames; pixels, top row first. Cells run
// left to right, then top to bottom, in the order of the frames.
struct SheetLayout {
    static constexpr int Shrink = 5;          // a frame's side over its picture's side
    static constexpr int Margin = 6;          // around the grid and between cells
    static constexpr int LabelHeight = 20;    // the band under each picture
    static constexpr int LabelDot = 2;        // pixels per font dot
    static constexpr int LabelInset = 4;      // from the band's top-left corner to the text
    int thumbWidth, thumbHeight;              // one frame's picture
    int columns, rows;
    int width, height;                        // the whole sheet
    int cell_x(int index) const;              // left edge of cell index (its picture and label)
    int cell_y(int index) const;              // top edge; the label band starts thumbHeight below
};

// Nearly square sheets: as many columns as rows, give or take one.
SheetLayout sheet_layout(int frames, int frameWidth, int frameHeight);

// The label of a frame: its second, "54" or "54.5", the decimals it needs (up to three).
std::string second_label(int64_t frame, int fps);

class ContactSheet {
public:
    ContactSheet(int frames, int frameWidth, int frameHeight);
    // Lays the frame (BGRA, bottom row first) into cell `index`, averaged down by
    // Shrink, with the label in the band under it.
    void add(int index, const uint8_t* bgraBottomUp, const std::string& label);
    const SheetLayout& layout() const { return layout_; }
    const std::vector<uint8_t>& rgb() const { return rgb_; }  // top row first

private:
    void put_label(int x, int y, const std::string& label);
    SheetLayout layout_;
    int frameWidth_, frameHeight_;
    std::vector<uint8_t> rgb_;
};
