// game/render/loading: the first frame builds the whole scene — display lists,
// lights, textures and materials, shadow map and shader program — drawing a
// progress bar in stroke text as it goes.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/render/engine.h"
#include "game/render/lights.h"
#include "game/render/render_internal.h"
#include "game/textures/textures.h"

Renderer renderer;

namespace {

// The capsule: a coarse textured sphere.
void compileSphereList()
{
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    glNewList(renderer.sphereList, GL_COMPILE);
    gluSphere(quadric, 1.0, 6, 6);
    glEndList();
    gluDeleteQuadric(quadric);
}

// One brick: a box 3.4 x 2 x 1, each face wound counter-clockwise from outside.
void compileBrickList()
{
    glNewList(renderer.brickList, GL_COMPILE);
    glBegin(GL_QUADS);
    for (const BrickFace& face : BRICK_FACES) {
        glNormal3fv(face.normal);
        for (const BrickCorner& c : face.corners) {
            glTexCoord2f(c.s, c.t);
            glVertex3f(c.x, c.y, c.z);
        }
    }
    glEnd();
    glEndList();
}

void loadMaterials(int first, int last)
{
    for (int i = first; i <= last; ++i) {
        loadMaterial(MATERIAL_NAMES[i]);
        packMaterial(i);   // at once, so the four full maps never all stand together
    }
}

}   // namespace

void loadScene()
{
    compileSphereList();
    compileBrickList();
    createSceneBuffers();

    glColor3f(1, 0, 0);
    drawStrokeText(31.5f, 26, 0, 0, "Ostrel Engine");

    for (int i = 0; i < RESOLUTION_COUNT; ++i) {
        renderer.resolutions[i][0] = RESOLUTIONS[i][0];
        renderer.resolutions[i][1] = RESOLUTIONS[i][1];
    }

    initLights();
    createDefaultTexture();
    renderer.mapsPacked = true;   // until a material's maps do not pair up

    loadMaterials(0, 8);
    drawProgress("|-            |", true);
    loadMaterials(9, 11);
    drawProgress("|--           |", true);
    loadMaterials(12, 15);
    drawProgress("|----         |", true);
    loadMaterials(16, 18);
    drawProgress("|-----        |", true);
    loadMaterials(19, 20);
    drawProgress("|------       |", true);
    loadMaterials(21, 23);

    if (engine.shadowsEnabled) {
        glEnable(GL_DEPTH_TEST);
    }
    glClearColor(0, 0, 0, 1);
    glEnable(GL_CULL_FACE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_TEXTURE_COMPRESSION_HINT, GL_NICEST);
}

void runLoading()
{
    glLineWidth(3.0f);
    createPictureTarget();
    beginPicture();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setCamera(static_cast<float>(engine.cameraPosition[0]), static_cast<float>(engine.cameraPosition[1]),
              static_cast<float>(engine.cameraPosition[2]),
              static_cast<float>(engine.cameraPosition[0] + engine.cameraDirection[0]),
              static_cast<float>(engine.cameraPosition[1] + engine.cameraDirection[1]),
              static_cast<float>(engine.cameraPosition[2] + engine.cameraDirection[2]), VIEW_NEAR, 45);
    loadScene();
    if (engine.shadowsEnabled) {
        createShadowMap();
        if (engine.shadowsEnabled) {
            buildShaderProgram();
        }
    }
    if (!engine.shadowsEnabled) {
        glEnable(GL_TEXTURE_2D);
        renderer.plainTexturing = true;
    }
    presentPicture();
    engine.loaded = true;
    glutPostRedisplay();
}

void drawProgress(const char* bar, bool swap)
{
    drawStrokeText(26, 20, 0, 0, bar);
    if (swap) {
        presentPicture();
    }
}
