// game/render/shapes: what the scenes are drawn with — the start of a scene
// pass, textured quads, and the objects made of the brick box (the paddle,
// with or without its laser cannons, the spare lives, a falling brick and the
// menu's turning brick).
#include <GL/glew.h>

#include "game/playfield/playfield.h"
#include "game/render/render_internal.h"

void beginScene(bool shadowPass)
{
    glCullFace(shadowPass ? GL_FRONT : GL_BACK);
    glMaterialf(GL_FRONT, GL_SHININESS, 100.0f);
}

void drawQuad(const float normal[3], const QuadCorner (&corners)[4])
{
    glBegin(GL_QUADS);
    glNormal3fv(normal);
    for (const QuadCorner& c : corners) {
        glTexCoord2f(c.s, c.t);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}

namespace {

// The brick box with its middle at (x, y, z) in float precision, turned or
// stretched by shape when there is one; leaves the box's model-view loaded.
void drawBox(double x, double y, double z, const Matrix4* shape)
{
    Matrix4 model = translationMatrix(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    if (shape) {
        model = multiply(model, *shape);
    }
    loadObjectMatrix(model);
    glCallList(renderer.brickList);
}

}   // namespace

// The brick box is 3.4 wide; the paddle stretches it to its own width.
void drawPaddle()
{
    const PlayField& field = shownField();
    const Matrix4 stretch = scaleMatrix(static_cast<float>(field.paddle.halfWidth * 0.5), 1, 1);
    drawBox(field.paddle.x, field.paddle.y, PLAY_PLANE_Z, &stretch);
}

// The cannons are two slanted quads on the paddle's top, each a unit wide,
// placed in the stretched box's frame.
void drawPaddleWithCannons()
{
    const PlayField& field = shownField();
    drawPaddle();
    const float o = static_cast<float>(field.paddle.halfWidth - 2), b = static_cast<float>(field.paddle.halfHeight);
    const float s = 1.0f;
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 1);
    glTexCoord2f(0, 0), glVertex3f(1 - o, b, 1);
    glTexCoord2f(s, 0), glVertex3f(1 - o, b + 2, 0);
    glTexCoord2f(s, s), glVertex3f(-o, b + 2, 0);
    glTexCoord2f(0, s), glVertex3f(-o, b, 1);
    glTexCoord2f(0, 0), glVertex3f(o, b, 1);
    glTexCoord2f(s, 0), glVertex3f(o, b + 2, 0);
    glTexCoord2f(s, s), glVertex3f(o - 1, b + 2, 0);
    glTexCoord2f(0, s), glVertex3f(o - 1, b, 1);
    glEnd();
}

void drawSpareLife(double x, double y) { drawBox(x, y, PLAY_PLANE_Z, nullptr); }

// Tumble 0 turns one way, tumble 1 the other.
void drawFallingBrick(const Brick& brick)
{
    const float angle = static_cast<float>(brick.spin);
    const Matrix4 turn = rotationMatrix(brick.tumble == 0 ? angle : -angle, 0, 0, 1);
    drawBox(brick.x, brick.fallY, PLAY_PLANE_Z, angle != 0 ? &turn : nullptr);
}

void drawMenuCube(float spin)
{
    const Matrix4 turn = rotationMatrix(spin, 0, 0, 1);
    drawBox(33.5, 40.0, 0.0, spin != 0 ? &turn : nullptr);
}
