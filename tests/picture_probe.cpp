// picture_probe <image.ppm> <query...>: what the windowed scripts ask of a screenshot (binary PPM, as
// ImageMagick converts the PNG; origin at the top left).
//   pixel <x> <y>                          "r g b"
//   box <x0> <y0> <x1> <y1> <kind>         the bounding box "left top right bottom count" of the pixels of a
//                                          kind inside the rectangle (inclusive), "none" when there is none;
//                                          kind: lit (not black), vivid (a strong colour: the bricks), red (the
//                                          HUD's red texts)
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

bool readPpm(const char* path, Image& image)
{
    FILE* file = fopen(path, "rb");
    if (!file) {
        return false;
    }
    int maxValue = 0;
    const bool header = fscanf(file, "P6 %d %d %d", &image.width, &image.height, &maxValue) == 3 &&
                        fgetc(file) != EOF && maxValue == 255 && image.width > 0 && image.height > 0 &&
                        image.width <= 16384 && image.height <= 16384;
    if (header) {
        image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    }
    const bool ok = header && fread(image.rgb.data(), 1, image.rgb.size(), file) == image.rgb.size();
    fclose(file);
    return ok;
}

bool ofKind(const unsigned char* p, const std::string& kind)
{
    const int r = p[0], g = p[1], b = p[2];
    const int high = std::max(r, std::max(g, b));
    const int low = std::min(r, std::min(g, b));
    if (kind == "lit") {
        return high > 0;
    }
    if (kind == "vivid") {
        return high > 90 && high - low > 70;
    }
    if (kind == "red") {
        return r > 230 && g < 40 && b < 40;
    }
    return false;
}

}   // namespace

int main(int argc, char** argv)
{
    Image image;
    if (argc < 3 || !readPpm(argv[1], image)) {
        fprintf(stderr, "usage: picture_probe <image.ppm> pixel <x> <y> | box <x0> <y0> <x1> <y1> <kind>\n");
        return 2;
    }
    const std::string query = argv[2];
    auto at = [&](int x, int y) { return &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3]; };
    auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < image.width && y < image.height; };
    if (query == "pixel" && argc == 5) {
        const int x = atoi(argv[3]), y = atoi(argv[4]);
        if (!inside(x, y)) {
            return 2;
        }
        const unsigned char* p = at(x, y);
        printf("%d %d %d\n", p[0], p[1], p[2]);
        return 0;
    }
    if (query == "box" && argc == 8) {
        const int x0 = std::max(0, atoi(argv[3])), y0 = std::max(0, atoi(argv[4]));
        const int x1 = std::min(image.width - 1, atoi(argv[5])), y1 = std::min(image.height - 1, atoi(argv[6]));
        int left = image.width, top = image.height, right = -1, bottom = -1;
        long count = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                if (ofKind(at(x, y), argv[7])) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    ++count;
                }
            }
        }
        if (count == 0) {
            printf("none\n");
        } else {
            printf("%d %d %d %d %ld\n", left, top, right, bottom, count);
        }
        return 0;
    }
    fprintf(stderr, "picture_probe: unknown query\n");
    return 2;
}
