// editor_pixel x y: the window pixel (origin top left) where TLES, in its start-size window, shows scene
// point (x, y); the windowed scripts click there.
#include "editor/editor.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: editor_pixel <scene x> <scene y>\n");
        return 2;
    }
    double wx = 0;
    double wy = 0;
    sceneToWindow(atof(argv[1]), atof(argv[2]), EDITOR_WINDOW_WIDTH, EDITOR_WINDOW_HEIGHT, wx, wy);
    printf("%d %d\n", static_cast<int>(std::floor(wx + 0.5)),
           static_cast<int>(std::floor(EDITOR_WINDOW_HEIGHT - wy + 0.5)));
    return 0;
}
