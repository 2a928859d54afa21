// game/render/grid: the room and the brick grid from vertex buffers. The grid
// buffer holds every present brick in world coordinates, in brick order; it is
// refilled only in a frame whose bricks differ from the last. The order-free
// passes (shadow, depth pre-pass, additive lit) draw it with one call per
// material; the plain pass, whose later fragments overwrite earlier ones,
// draws it in the scene's order.
#include <GL/glew.h>

#include "game/playfield/playfield.h"
#include "game/render/render_internal.h"

#include <cstring>

static_assert(BRICK_COUNT_MAX == BRICK_COUNT, "the grid buffer holds every brick of a level");

const BrickFace BRICK_FACES[6] = {
    {{-1, 0, 0}, {{1, 0, -1.7f, -1, 0.5f}, {1, 1, -1.7f, 1, 0.5f}, {0, 1, -1.7f, 1, -0.5f}, {0, 0, -1.7f, -1, -0.5f}}},
    {{1, 0, 0}, {{0, 0, 1.7f, -1, 0.5f}, {1, 0, 1.7f, -1, -0.5f}, {1, 1, 1.7f, 1, -0.5f}, {0, 1, 1.7f, 1, 0.5f}}},
    {{0, 0, -1},
     {{-1, 1, -1.7f, -1, -0.5f}, {-1, 0, -1.7f, 1, -0.5f}, {0, 0, 1.7f, 1, -0.5f}, {0, 1, 1.7f, -1, -0.5f}}},
    {{0, 0, 1}, {{0, 0, -1.7f, -1, 0.5f}, {1, 0, 1.7f, -1, 0.5f}, {1, 1, 1.7f, 1, 0.5f}, {0, 1, -1.7f, 1, 0.5f}}},
    {{0, 1, 0}, {{0, 0, -1.7f, 1, 0.5f}, {1, 0, 1.7f, 1, 0.5f}, {1, 1, 1.7f, 1, -0.5f}, {0, 1, -1.7f, 1, -0.5f}}},
    {{0, -1, 0}, {{0, 1, -1.7f, -1, 0.5f}, {0, 0, -1.7f, -1, -0.5f}, {1, 0, 1.7f, -1, -0.5f}, {1, 1, 1.7f, -1, 0.5f}}},
};

namespace {

bool arraysOn = false;           // the three client arrays are enabled
unsigned int arraysBuffer = 0;   // the buffer they point into

// The room's five faces, in world coordinates (the room stands at (40, -15, 23)).
struct RoomFace {
    float normal[3];
    float corners[4][5];   // s, t, x, y, z in the room's own frame
};
const RoomFace ROOM_FACES[5] = {
    {{0, 0, 1}, {{0, 0, -20, 0, -10}, {1, 0, 20, 0, -10}, {1, 1, 20, 70, -10}, {0, 1, -20, 70, -10}}},
    {{1, 0, 0}, {{8, 0, -20, 0, -10}, {8, 8, -20, 70, -10}, {0, 8, -20, 70, 60}, {0, 0, -20, 0, 60}}},
    {{-1, 0, 0}, {{0, 0, 20, 0, -10}, {8, 0, 20, 0, 60}, {8, 8, 20, 70, 60}, {0, 8, 20, 70, -10}}},
    {{0, -1, 0}, {{8, 0, -20, 70, -10}, {8, 8, 20, 70, -10}, {0, 8, 20, 70, 60}, {0, 0, -20, 70, 60}}},
    {{0, 1, 0}, {{8, 0, -20, 0, -10}, {8, 8, -20, 0, 60}, {0, 8, 20, 0, 60}, {0, 0, 20, 0, -10}}},
};
constexpr float ROOM_ORIGIN[3] = {40, -15, 23};

// What the buffer was last filled from, per brick.
struct GridKey {
    bool present;
    float x, y;
    int material;
};
GridKey lastKeys[BRICK_COUNT];
bool keysValid = false;

void putBrick(GridVertex* out, float x, float y, float z)
{
    for (const BrickFace& face : BRICK_FACES) {
        for (const BrickCorner& c : face.corners) {
            *out++ = {{x + c.x, y + c.y, z + c.z}, {face.normal[0], face.normal[1], face.normal[2]}, {c.s, c.t}};
        }
    }
}

}   // namespace

void createSceneBuffers()
{
    GridVertex room[20];
    int n = 0;
    for (const RoomFace& face : ROOM_FACES) {
        for (const float* c : face.corners) {
            room[n++] = {{ROOM_ORIGIN[0] + c[2], ROOM_ORIGIN[1] + c[3], ROOM_ORIGIN[2] + c[4]},
                         {face.normal[0], face.normal[1], face.normal[2]},
                         {c[0], c[1]}};
        }
    }
    glGenBuffers(1, &renderer.roomBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, renderer.roomBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof room, room, GL_STATIC_DRAW);
    glGenBuffers(1, &renderer.gridBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, renderer.gridBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof renderer.gridStaging, nullptr, GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    keysValid = false;
}

void fillGrid(const int materials[])
{
    const PlayField& field = shownField();
    bool same = keysValid;
    for (int i = 0; i < BRICK_COUNT && same; ++i) {
        const Brick& b = field.bricks[i];
        const GridKey& k = lastKeys[i];
        same = k.present == b.present && (!b.present || (k.x == static_cast<float>(b.x) &&
                                                         k.y == static_cast<float>(b.y) && k.material == materials[i]));
    }
    if (same) {
        return;
    }
    int slot = 0;
    for (int m = 0; m < MATERIAL_COUNT; ++m) {
        renderer.gridRuns[m] = 0;
    }
    int lastMaterial = -1, lastEnd = -1;
    for (int i = 0; i < BRICK_COUNT; ++i) {
        const Brick& b = field.bricks[i];
        lastKeys[i] = {b.present, static_cast<float>(b.x), static_cast<float>(b.y), materials[i]};
        renderer.gridSlot[i] = -1;
        if (!b.present) {
            continue;
        }
        putBrick(&renderer.gridStaging[slot * GRID_VERTICES_PER_BRICK], static_cast<float>(b.x),
                 static_cast<float>(b.y), PLAY_PLANE_Z);
        renderer.gridSlot[i] = slot;
        // One range per run of neighbours in the buffer that share a material.
        const int m = materials[i];
        if (m >= 0 && m < MATERIAL_COUNT) {
            int& runs = renderer.gridRuns[m];
            if (m == lastMaterial && lastEnd == slot && runs > 0) {
                renderer.gridCount[m][runs - 1] += GRID_VERTICES_PER_BRICK;
            } else {
                renderer.gridFirst[m][runs] = slot * GRID_VERTICES_PER_BRICK;
                renderer.gridCount[m][runs] = GRID_VERTICES_PER_BRICK;
                ++runs;
            }
        }
        lastMaterial = m;
        ++slot;
        lastEnd = slot;
    }
    renderer.gridBricks = slot;
    keysValid = true;
    if (slot > 0) {
        glBindBuffer(GL_ARRAY_BUFFER, renderer.gridBuffer);
        glBufferSubData(GL_ARRAY_BUFFER, 0,
                        static_cast<GLsizeiptr>(sizeof(GridVertex)) * slot * GRID_VERTICES_PER_BRICK,
                        renderer.gridStaging);
        arraysBuffer = 0;   // the pointers are set again on the next use
    }
}

void useVertexBuffer(unsigned int buffer)
{
    if (!arraysOn) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        arraysOn = true;
        arraysBuffer = 0;
    }
    if (arraysBuffer != buffer) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glVertexPointer(3, GL_FLOAT, sizeof(GridVertex), reinterpret_cast<void*>(offsetof(GridVertex, position)));
        glNormalPointer(GL_FLOAT, sizeof(GridVertex), reinterpret_cast<void*>(offsetof(GridVertex, normal)));
        glTexCoordPointer(2, GL_FLOAT, sizeof(GridVertex), reinterpret_cast<void*>(offsetof(GridVertex, texCoord)));
        arraysBuffer = buffer;
    }
}

// GLUT's spheres and every immediate-mode draw after a scene expect no buffer
// bound and no arrays on.
void releaseVertexBuffers()
{
    if (!arraysOn) {
        return;
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    arraysOn = false;
    arraysBuffer = 0;
}

void drawRoomBuffer()
{
    useVertexBuffer(renderer.roomBuffer);
    glDrawArrays(GL_QUADS, 0, 20);
}

void drawGridByMaterial()
{
    for (int m = 0; m < MATERIAL_COUNT; ++m) {
        const int runs = renderer.gridRuns[m];
        if (runs == 0) {
            continue;
        }
        bindMaterial(m, m, m, m);
        useVertexBuffer(renderer.gridBuffer);
        glMultiDrawArrays(GL_QUADS, renderer.gridFirst[m], renderer.gridCount[m], runs);
    }
}

void drawGridBricks(int firstSlot, int count)
{
    if (count <= 0) {
        return;
    }
    useVertexBuffer(renderer.gridBuffer);
    glDrawArrays(GL_QUADS, firstSlot * GRID_VERTICES_PER_BRICK, count * GRID_VERTICES_PER_BRICK);
}
