// game/render/play_scene: the play scene — the room, the paddle and the spare
// lives, then the bricks, capsules and falling bricks, either in the scene's
// order (the plain pass, whose later fragments overwrite earlier ones) or by
// material (the order-free passes).
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/playfield.h"
#include "game/render/render_internal.h"

const PlayField& shownField()
{
    static const PlayField none;
    return renderInputs.field ? *renderInputs.field : none;
}

namespace {

bool paddleShown()
{
    const PlayField& field = shownField();
    return field.lives > 0 && !field.lifeLostPause;
}

}   // namespace

// The material each brick, capsule and falling brick shows this frame: binding
// them in the scene's order, a type outside the tables binds nothing and shows
// what was bound before it. The passes that draw by material bind these.
void prepareGrid()
{
    const PlayField& field = shownField();
    int bound = roomMaterial(field.background);
    if (paddleShown()) {
        bound = field.laserArmed ? MAT_PLAYERLASER : MAT_PLAYER;
    }
    if (field.lives - 1 > 0) {
        bound = MAT_PLAYER;
    }
    for (int i = 0; i < BRICK_COUNT; ++i) {
        const Brick& brick = field.bricks[i];
        const bool brickType = brick.type >= 1 && brick.type <= 9;
        if (brick.present && brickType) {
            bound = BRICK_MATERIALS[brick.type];
        }
        renderer.brickMaterial[i] = bound;
        if (brick.capsuleFalling) {
            if (brick.capsuleType >= 1 && brick.capsuleType <= 7) {
                bound = CAPSULE_MATERIALS[brick.capsuleType];
            }
        } else if (field.fallMode && brick.brickFalling && (brick.tumble == 0 || brick.tumble == 1) && brickType) {
            bound = BRICK_MATERIALS[brick.type];
        }
        renderer.capsuleMaterial[i] = bound;
        renderer.fallingMaterial[i] = bound;
    }
    fillGrid(renderer.brickMaterial);
}

void drawRoom()
{
    const PlayField& field = shownField();
    useMaterial(roomMaterial(field.background));
    loadCameraMatrix();
    drawRoomBuffer();
}

namespace {

void drawCapsule(const Brick& brick)
{
    Matrix4 model = translationMatrix(static_cast<float>(brick.x), static_cast<float>(brick.capsuleY), PLAY_PLANE_Z);
    model = multiply(model, rotationMatrix(90, 0, 1, 0));
    model = multiply(model, rotationMatrix(static_cast<float>(brick.spin), 0, 0, 1));
    model = multiply(model, scaleMatrix(1.5, 0.8, 0.8));
    loadObjectMatrix(model);
    glCallList(renderer.sphereList);
}

bool brickFalls(const Brick& brick)
{
    const PlayField& field = shownField();
    return !brick.capsuleFalling && field.fallMode && brick.brickFalling && (brick.tumble == 0 || brick.tumble == 1);
}

// The bricks, capsules and falling bricks in the scene's order: neighbouring
// bricks of one material go in one draw, and anything else between them
// keeps its place.
void drawBricksInOrder()
{
    const PlayField& field = shownField();
    int runStart = 0, runLength = 0, runMaterial = -1;
    auto flush = [&]() {
        if (runLength > 0) {
            useMaterial(runMaterial);
            drawGridBricks(runStart, runLength);
            runLength = 0;
        }
    };
    for (int i = 0; i < BRICK_COUNT; ++i) {
        const Brick& brick = field.bricks[i];
        if (brick.present) {
            const int slot = renderer.gridSlot[i];
            if (runLength > 0 && (renderer.brickMaterial[i] != runMaterial || slot != runStart + runLength)) {
                flush();
            }
            if (runLength == 0) {
                runStart = slot;
                runMaterial = renderer.brickMaterial[i];
            }
            ++runLength;
        }
        if (brick.capsuleFalling || brickFalls(brick)) {
            flush();
            releaseVertexBuffers();
            if (brick.capsuleFalling) {
                useMaterial(renderer.capsuleMaterial[i]);
                drawCapsule(brick);
            } else {
                useMaterial(renderer.fallingMaterial[i]);
                drawFallingBrick(brick);
            }
            loadCameraMatrix();
        }
    }
    flush();
}

}   // namespace

void drawPlayObjects()
{
    const PlayField& field = shownField();
    releaseVertexBuffers();
    if (paddleShown()) {
        if (field.laserArmed) {
            useMaterial(MAT_PLAYERLASER);
            glColor3f(1, 0, 0);
            drawPaddleWithCannons();
        } else {
            useMaterial(MAT_PLAYER);
            drawPaddle();
        }
    }
    for (int i = 0; i < field.lives - 1 && i < 6; ++i) {
        useMaterial(MAT_PLAYER);
        glColor3f(0.9f, 0.9f, 0.9f);
        const double x = (i < 3) ? 68 + 4 * i : 68 + 4 * (i - 3);
        const double y = (i < 3) ? 35 : 33;
        drawSpareLife(x, y);
    }
    loadCameraMatrix();
    if (!renderer.orderFree) {
        drawBricksInOrder();
        return;
    }
    drawGridByMaterial();
    releaseVertexBuffers();
    for (int i = 0; i < BRICK_COUNT; ++i) {
        const Brick& brick = field.bricks[i];
        if (brick.capsuleFalling) {
            useMaterial(renderer.capsuleMaterial[i]);
            drawCapsule(brick);
        } else if (brickFalls(brick)) {
            useMaterial(renderer.fallingMaterial[i]);
            drawFallingBrick(brick);
        }
    }
    loadCameraMatrix();
}

void drawPlayScene(bool shadowPass)
{
    beginScene(shadowPass);
    glColor3f(0.5f, 0.5f, 0.5f);
    drawRoom();
    drawPlayObjects();
    releaseVertexBuffers();
    loadCameraMatrix();
}
