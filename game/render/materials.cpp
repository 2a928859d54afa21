// game/render/materials: materials (four texture maps each) and the geometry
// of the play, menu and splash scenes, drawn in immediate mode apart from the
// brick and sphere display lists.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/render.h"
#include "game/shell/config.h"
#include "game/shell/gamestate.h"
#include "game/textures/textures.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const* const MAP_SUFFIXES = MATERIAL_MAP_SUFFIXES;

void bind(int material) { bindMaterial(material, material, material, material); }

void beginScene(bool shadowPass)
{
    glCullFace(shadowPass ? GL_FRONT : GL_BACK);
    glMaterialf(GL_FRONT, GL_SHININESS, 100.0f);
}

struct QuadCorner {
    float s, t, x, y, z;
};

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

}   // namespace

void loadMaterial(const char* name)
{
    for (int kind = 0; kind < MAP_KINDS; ++kind) {
        if (engine.materialCounts[kind] >= MATERIAL_SLOTS) {
            continue;
        }
        const std::string path = std::string("Textures/") + name + MAP_SUFFIXES[kind];
        if (path.size() >= MATERIAL_PATH_SIZE) {
            printf("Material path too long, skipped: %.60s...\n", path.c_str());
            continue;
        }
        getTexture(path);
        char* slot = engine.materialPaths[kind][engine.materialCounts[kind]];
        memcpy(slot, path.c_str(), path.size() + 1);
        ++engine.materialCounts[kind];
    }
}

namespace {

// Mesa does not skip redundant binds (each re-copies sampler state), and a
// pass asks for hundreds: only changes reach GL.
void bindUnit(int unit, unsigned int name)
{
    if (renderer.boundTextures[unit] == name) {
        return;
    }
    if (renderer.activeUnit != unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        renderer.activeUnit = unit;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    renderer.boundTextures[unit] = name;
}

}   // namespace

void bindMaterial(int diffuse, int normal, int specular, int height)
{
    // Packed maps carry each material's specular and height maps in the
    // alpha of its diffuse and normal maps; callers name one material.
    if (renderer.mapsPacked) {
        const bool known = diffuse >= 0 && diffuse < MATERIAL_COUNT;
        const Texture* fallback = findTexture("default");
        const unsigned int fallbackName = fallback ? fallback->glName : 0;
        for (int unit = 0; unit < 2; ++unit) {
            const unsigned int name = known ? renderer.packedMaps[diffuse][unit] : fallbackName;
            bindUnit(unit, name);
        }
        return;
    }
    const int indices[MAP_KINDS] = {diffuse, normal, specular, height};
    for (int unit = 0; unit < MAP_KINDS; ++unit) {
        const int index = indices[unit];
        const Texture* texture = (index >= 0 && index < engine.materialCounts[unit])
                                     ? findTexture(engine.materialPaths[unit][index])
                                     : findTexture("default");
        bindUnit(unit, texture ? texture->glName : 0);
    }
}

namespace {

// The texture a material's map of one kind resolves to, as bindMaterial finds it.
const Texture* materialMap(int material, int kind)
{
    return material < engine.materialCounts[kind] ? findTexture(engine.materialPaths[kind][material])
                                                   : findTexture("default");
}

// Width and height of every mipmap level of the bound texture, level 0 first.
int mipmapSizes(int sizes[][2], int room)
{
    int levels = 0;
    for (; levels < room; ++levels) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_HEIGHT, &h);
        if (w <= 0 || h <= 0) {
            break;
        }
        sizes[levels][0] = w;
        sizes[levels][1] = h;
    }
    return levels;
}

constexpr int MAX_LEVELS = 16;

// The mipmap levels two textures share; 0 when their levels differ.
int sharedLevels(unsigned int colour, unsigned int alpha, int sizes[][2])
{
    int alphaSizes[MAX_LEVELS][2];
    glBindTexture(GL_TEXTURE_2D, colour);
    const int levels = mipmapSizes(sizes, MAX_LEVELS);
    glBindTexture(GL_TEXTURE_2D, alpha);
    if (levels == 0 || mipmapSizes(alphaSizes, MAX_LEVELS) != levels ||
        memcmp(sizes, alphaSizes, sizeof(int) * 2 * static_cast<size_t>(levels)) != 0) {
        return 0;
    }
    return levels;
}

// The colour texture's RGB with the alpha texture's red in its alpha, level by
// level (the uploader's mipmaps are copied, not rebuilt). The two inputs are
// then shrunk to one texel: nothing samples them any more.
unsigned int packPair(unsigned int colour, unsigned int alpha)
{
    int colourSizes[MAX_LEVELS][2];
    const int levels = sharedLevels(colour, alpha, colourSizes);
    GLuint packed = 0;
    glGenTextures(1, &packed);
    std::vector<unsigned char> rgba, red;
    for (int level = 0; level < levels; ++level) {
        const size_t texels = static_cast<size_t>(colourSizes[level][0]) * static_cast<size_t>(colourSizes[level][1]);
        rgba.resize(texels * 4);
        red.resize(texels * 4);
        glBindTexture(GL_TEXTURE_2D, colour);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glBindTexture(GL_TEXTURE_2D, alpha);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, red.data());
        for (size_t i = 0; i < texels; ++i) {
            rgba[i * 4 + 3] = red[i * 4];
        }
        glBindTexture(GL_TEXTURE_2D, packed);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, colourSizes[level][0], colourSizes[level][1], 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    static const unsigned char black[4] = {0, 0, 0, 255};
    for (unsigned int name : {colour, alpha}) {
        glBindTexture(GL_TEXTURE_2D, name);
        for (int level = 1; level < levels; ++level) {
            glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        }
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, black);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    return packed;
}

// Undoes packPair: the colour texture gets the RGB back (its alpha, which no
// pass reads, becomes opaque), the other texture the alpha as grey, which is
// all the four-map path reads of it (its red).
void unpackPair(unsigned int packed, const Texture* colour, const Texture* alpha)
{
    int sizes[MAX_LEVELS][2];
    glBindTexture(GL_TEXTURE_2D, packed);
    const int levels = mipmapSizes(sizes, MAX_LEVELS);
    std::vector<unsigned char> rgba, rgb, grey;
    for (int level = 0; level < levels; ++level) {
        const size_t texels = static_cast<size_t>(sizes[level][0]) * static_cast<size_t>(sizes[level][1]);
        rgba.resize(texels * 4);
        rgb.resize(texels * 3);
        grey.resize(texels * 3);
        glBindTexture(GL_TEXTURE_2D, packed);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        for (size_t i = 0; i < texels; ++i) {
            rgb[i * 3] = rgba[i * 4];
            rgb[i * 3 + 1] = rgba[i * 4 + 1];
            rgb[i * 3 + 2] = rgba[i * 4 + 2];
            grey[i * 3] = grey[i * 3 + 1] = grey[i * 3 + 2] = rgba[i * 4 + 3];
        }
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, colour->glName);
        glTexImage2D(GL_TEXTURE_2D, level, colour->format, sizes[level][0], sizes[level][1], 0, GL_RGB,
                     GL_UNSIGNED_BYTE, rgb.data());
        glBindTexture(GL_TEXTURE_2D, alpha->glName);
        glTexImage2D(GL_TEXTURE_2D, level, alpha->format, sizes[level][0], sizes[level][1], 0, GL_RGB,
                     GL_UNSIGNED_BYTE, grey.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    }
    for (unsigned int name : {colour->glName, alpha->glName}) {
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    }
    GLuint name = packed;
    glDeleteTextures(1, &name);
}

}   // namespace

void packMaterial(int material)
{
    if (!renderer.mapsPacked || material < 0 || material >= MATERIAL_COUNT) {
        return;
    }
    GLint previous = 0;
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    // Every map must be its own file-made colour texture and each pair of one
    // size; the first material that is not goes back to four maps for all.
    const Texture* fallback = findTexture("default");
    bool packable = true;
    const Texture* maps[MAP_KINDS];
    for (int kind = 0; kind < MAP_KINDS && packable; ++kind) {
        maps[kind] = materialMap(material, kind);
        packable = maps[kind] && maps[kind] != fallback &&
                   (maps[kind]->format == IMAGE_RGB || maps[kind]->format == IMAGE_RGBA);
        for (int other = 0; other < kind && packable; ++other) {
            packable = maps[other]->glName != maps[kind]->glName;
        }
    }
    int sizes[MAX_LEVELS][2];
    packable = packable && sharedLevels(maps[0]->glName, maps[2]->glName, sizes) > 0 &&
               sharedLevels(maps[1]->glName, maps[3]->glName, sizes) > 0;
    if (packable) {
        renderer.packedMaps[material][0] = packPair(maps[0]->glName, maps[2]->glName);
        renderer.packedMaps[material][1] = packPair(maps[1]->glName, maps[3]->glName);
    } else {
        for (int m = 0; m < material; ++m) {
            unpackPair(renderer.packedMaps[m][0], materialMap(m, 0), materialMap(m, 2));
            unpackPair(renderer.packedMaps[m][1], materialMap(m, 1), materialMap(m, 3));
            renderer.packedMaps[m][0] = renderer.packedMaps[m][1] = 0;
        }
        renderer.mapsPacked = false;
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    memset(renderer.boundTextures, 0, sizeof renderer.boundTextures);
    renderer.activeUnit = 0;
}

namespace {

bool paddleShown() { return field.lives > 0 && !field.lifeLostPause; }

}   // namespace

// The material each brick, capsule and falling brick shows this frame: binding
// them in the scene's order, a type outside the tables binds nothing and shows
// what was bound before it. The passes that draw by material bind these.
void prepareGrid()
{
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
    bind(roomMaterial(field.background));
    loadCameraMatrix();
    drawRoomBuffer();
}

void drawBox(float offset, float base, float span, double x, double y, double z, bool cannons, float angle, int kind)
{
    Matrix4 model = translationMatrix(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    if (kind == 1 && angle != 0) {
        model = multiply(model, rotationMatrix(angle, 0, 0, 1));
    } else if (kind == 2 && angle != 0) {
        model = multiply(model, rotationMatrix(-angle, 0, 0, 1));
    } else if (kind == 3) {
        model = multiply(model, scaleMatrix(static_cast<float>(field.paddle.halfWidth * 0.5), 1, 1));
    }
    loadObjectMatrix(model);
    glCallList(renderer.brickList);
    if (cannons) {
        const float o = offset, b = base, s = span;
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

void drawFallingBrick(const Brick& brick)
{
    drawBox(static_cast<float>(brick.halfWidth), static_cast<float>(brick.halfHeight), 1.0f, brick.x, brick.fallY,
            PLAY_PLANE_Z, false, static_cast<float>(brick.spin), brick.tumble == 0 ? 1 : 2);
}

bool brickFalls(const Brick& brick)
{
    return !brick.capsuleFalling && field.fallMode && brick.brickFalling && (brick.tumble == 0 || brick.tumble == 1);
}

// The bricks, capsules and falling bricks in the scene's order: neighbouring
// bricks of one material go in one draw, and anything else between them
// keeps its place.
void drawBricksInOrder()
{
    int runStart = 0, runLength = 0, runMaterial = -1;
    auto flush = [&]() {
        if (runLength > 0) {
            bind(runMaterial);
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
                bind(renderer.capsuleMaterial[i]);
                drawCapsule(brick);
            } else {
                bind(renderer.fallingMaterial[i]);
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
    const Paddle& paddle = field.paddle;
    releaseVertexBuffers();
    if (paddleShown()) {
        if (field.laserArmed) {
            bind(MAT_PLAYERLASER);
            glColor3f(1, 0, 0);
            drawBox(static_cast<float>(paddle.halfWidth - 2), static_cast<float>(paddle.halfHeight), 1.0f, paddle.x,
                    paddle.y, PLAY_PLANE_Z, true, 0, 3);
        } else {
            bind(MAT_PLAYER);
            drawBox(static_cast<float>(paddle.halfWidth), static_cast<float>(paddle.halfHeight), 1.0f, paddle.x,
                    paddle.y, PLAY_PLANE_Z, false, 0, 3);
        }
    }
    for (int i = 0; i < field.lives - 1 && i < 6; ++i) {
        bind(MAT_PLAYER);
        glColor3f(0.9f, 0.9f, 0.9f);
        const double x = (i < 3) ? 68 + 4 * i : 68 + 4 * (i - 3);
        const double y = (i < 3) ? 35 : 33;
        drawBox(1.5f, 0.5f, 1.0f, x, y, PLAY_PLANE_Z, false, 0, 0);
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
            bind(renderer.capsuleMaterial[i]);
            drawCapsule(brick);
        } else if (brickFalls(brick)) {
            bind(renderer.fallingMaterial[i]);
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

void drawMenuScene(bool shadowPass)
{
    beginScene(shadowPass);
    glColor3f(0.5f, 0.5f, 0.5f);
    bind(MAT_PINK);
    drawBox(2.0f, 1.0f, 2.0f, 33.5, 40.0, 0.0, false, static_cast<float>(game.menuSpin), 1);
    loadCameraMatrix();

    bind(MAT_BACKGROUND1);
    static const float up[3] = {0, 1, 0}, towards[3] = {0, 0, 1};
    drawQuad(up, {{800, 0, -2000, 15, -2000}, {800, 800, -2000, 15, 2000}, {0, 800, 2000, 15, 2000},
                   {0, 0, 2000, 15, -2000}});
    bind(MAT_MENU);
    drawQuad(towards, {{0, 0, 24, 45, -10}, {1, 0, 60, 45, -10}, {1, 1, 60, 55, -10}, {0, 1, 24, 55, -10}});
}

void drawSplashScene(bool shadowPass)
{
    beginScene(shadowPass);
    bind(MAT_MORVI);
    const double ratio = static_cast<double>(config.screenWidth) / config.screenHeight;
    printf("%d/%d\n", config.screenWidth, config.screenHeight);
    printf("%f\n", ratio);
    const float left = ratio > 1.4 ? 25.0f : 20.0f;
    const float right = ratio > 1.4 ? 55.0f : 60.0f;
    static const float towards[3] = {0, 0, 1};
    drawQuad(towards, {{0, 0, left, -2, -10}, {1, 0, right, -2, -10}, {1, 1, right, 48, -10}, {0, 1, left, 48, -10}});
}
