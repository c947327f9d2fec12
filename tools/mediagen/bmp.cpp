#include "bmp.h"

#include "byte_writer.h"

namespace {

int row_stride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

void file_header(ByteWriter& out, uint32_t file_size, uint32_t pixel_offset) {
    out.u8('B');
    out.u8('M');
    out.u32(file_size);
    out.u32(0);
    out.u32(pixel_offset);
}

void info_header(ByteWriter& out, int width, int height, int bits, uint32_t compression, uint32_t image_size,
                 uint32_t colours) {
    out.u32(40);
    out.u32(uint32_t(width));
    out.u32(uint32_t(height));  // positive: bottom row first
    out.u16(1);
    out.u16(bits);
    out.u32(compression);
    out.u32(image_size);
    out.u32(2835);  // 72 dpi
    out.u32(2835);
    out.u32(colours);
    out.u32(0);
}

// Uncompressed rows, bottom row first, each padded to 4 bytes.
std::vector<uint8_t> pack_rows(const std::vector<uint8_t>& indices, int width, int height, int bits) {
    const int stride = row_stride(width, bits);
    std::vector<uint8_t> data(size_t(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &data[size_t(height - 1 - y) * stride];
        const uint8_t* src = &indices[size_t(y) * width];
        for (int x = 0; x < width; ++x) {
            if (bits == 8) row[x] = src[x];
            else row[x / 2] |= (x % 2 == 0) ? uint8_t(src[x] << 4) : uint8_t(src[x] & 15);
        }
    }
    return data;
}

std::vector<uint8_t> pack_rle8(const std::vector<uint8_t>& indices, int width, int height) {
    std::vector<uint8_t> data;
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row = encode_rle8_row(&indices[size_t(y) * width], width);
        data.insert(data.end(), row.begin(), row.end());
        data.push_back(0);
        data.push_back(y == 0 ? 1 : 0);  // end of line, or of the bitmap after the top row
    }
    return data;
}

}  // namespace

std::vector<uint8_t> encode_rle8_row(const uint8_t* row, int width) {
    std::vector<uint8_t> out;
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
        if (run >= 3 || width - x < 3) {
            out.push_back(uint8_t(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        // A literal stretch up to the next run of three or more equal indices.
        int end = x;
        while (end < width && end - x < 255) {
            if (end + 2 < width && row[end] == row[end + 1] && row[end] == row[end + 2]) break;
            ++end;
        }
        int n = end - x;
        if (n < 3) {  // too short for absolute mode: single-index runs
            for (int i = 0; i < n; ++i) { out.push_back(1); out.push_back(row[x + i]); }
        } else {
            out.push_back(0);
            out.push_back(uint8_t(n));
            out.insert(out.end(), row + x, row + end);
            if (n % 2) out.push_back(0);
        }
        x = end;
    }
    return out;
}

std::vector<uint8_t> write_bmp_rgb24(const std::vector<uint8_t>& rgb, int width, int height) {
    const int stride = row_stride(width, 24);
    std::vector<uint8_t> data(size_t(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
            uint8_t* q = &data[size_t(height - 1 - y) * stride + x * 3];
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
        }
    ByteWriter out;
    file_header(out, uint32_t(54 + data.size()), 54);
    info_header(out, width, height, 24, 0, uint32_t(data.size()), 0);
    out.append(data);
    return out.take();
}

std::vector<uint8_t> write_bmp_indexed(const std::vector<Rgb8>& palette, const std::vector<uint8_t>& indices,
                                       int width, int height, BmpEncoding encoding) {
    const int bits = encoding == BmpEncoding::Indexed4 ? 4 : 8;
    const bool core = encoding == BmpEncoding::Core8;
    // A core header has no colours-used field: its table always has 2^bits entries.
    std::vector<Rgb8> table = palette;
    if (core) table.resize(256, Rgb8{0, 0, 0});
    std::vector<uint8_t> data = encoding == BmpEncoding::Rle8 ? pack_rle8(indices, width, height)
                                                              : pack_rows(indices, width, height, bits);
    const uint32_t header = core ? 12 : 40, entry = core ? 3 : 4;
    const uint32_t offset = 14 + header + entry * uint32_t(table.size());
    ByteWriter out;
    file_header(out, uint32_t(offset + data.size()), offset);
    if (core) {
        out.u32(12);
        out.u16(width);
        out.u16(height);
        out.u16(1);
        out.u16(8);
    } else {
        info_header(out, width, height, bits, encoding == BmpEncoding::Rle8 ? 1 : 0, uint32_t(data.size()),
                    uint32_t(table.size()));
    }
    for (const Rgb8& c : table) {
        out.u8(c[2]);
        out.u8(c[1]);
        out.u8(c[0]);
        if (!core) out.u8(0);
    }
    out.append(data);
    return out.take();
}
