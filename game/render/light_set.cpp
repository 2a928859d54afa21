// game/render/light_set: every light of a frame in one lit pass. The lights
// whose shadows can fall first draw their maps, each into a tile of the
// shadow texture (only the part of its map its cone can read, the rest of
// the map being read by fragments the light adds nothing to). Then the scene
// is drawn once more with a program that reads the material's maps and works
// out the tangent frame once per fragment, and sums every light's term, each
// rounded as a pass of its own would leave it in the framebuffer: the picture
// stays within a level or two of the passes one by one.
//
// Software GL runs every line of a shader for every fragment, so the pass is
// split into scissored draws (light_regions.cpp), each with the program of
// the lights that reach its rectangle. A light whose map finds no room in
// the texture gets its own passes afterwards.
//
// Uniforms change once per frame: the lights go into GL lights 0-5 (by
// number), each program gets the frame's shadow matrices before its first
// draw. Nothing is allocated in a frame once its programs exist.
#include <GL/glew.h>

#include "game/render/engine.h"
#include "game/render/light_regions.h"
#include "game/render/render_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// What software GL spends on one more scissored draw of the play scene (its
// vertices and set-up), and per pixel on a light's arithmetic, in instructions.
constexpr double DRAW_COST = 2.0e6;

double pixelCost(int variant)
{
    double cost = 40;
    cost += (variant & LIT_DIRECTIONAL) ? 0 : 15;
    cost += (variant & LIT_NO_CONE) ? 0 : 20;
    cost += (variant & LIT_NO_SHADOW) ? 0 : 20;
    return cost;
}

// One light of the frame's pass.
struct SetLight {
    int index = 0;             // light number, also its GL light
    LightPlan plan;            //
    bool mapped = false;       // has a map (its shadows can fall)
    int window[4] = {};        // the texels of its map that in-cone fragments read
    int tile[4] = {};          // where they lie in the shadow texture
    float matrix[16] = {};     // eye coordinates of the view camera into its map (0..1)
    float tileScale[4] = {};   // map coordinates into the texture: xy scale, zw offset
};

struct LightSetFrame {
    SetLight lights[LIGHT_COUNT];
    int count = 0;
    int own[LIGHT_COUNT] = {};   // lights drawn with passes of their own
    int ownCount = 0;
    LightRegion regions[LIGHT_REGIONS_MAX];
    LightSetProgram* programs[LIGHT_REGIONS_MAX] = {};
    int regionCount = 0;
};

// Shelf packing of the tiles, in light order; false when one does not fit.
struct Shelf {
    int x = 0, y = 0, rowHeight = 0;
};

bool placeTile(Shelf& shelf, int tile[4])
{
    const int width = tile[2], height = tile[3];
    if (shelf.x + width > renderer.shadowWidth) {
        shelf.x = 0;
        shelf.y += shelf.rowHeight;
        shelf.rowHeight = 0;
    }
    if (shelf.y + height > renderer.shadowHeight) {
        return false;
    }
    tile[0] = shelf.x;
    tile[1] = shelf.y;
    shelf.x += width;
    shelf.rowHeight = std::max(shelf.rowHeight, height);
    return true;
}

// The part of the light's map its lit fragments read: its cone's window, or all of it.
void mapWindow(const Light& light, int window[4])
{
    const int mapWidth = 2 * renderer.view.width, mapHeight = 2 * renderer.view.height;
    int w[4] = {0, 0, mapWidth, mapHeight};
    if (shadowWindow(light, w)) {
        const int x0 = std::max(w[0], 0), y0 = std::max(w[1], 0);
        const int x1 = std::min(w[0] + w[2], mapWidth), y1 = std::min(w[1] + w[3], mapHeight);
        w[0] = x0;
        w[1] = y0;
        w[2] = std::max(x1 - x0, 0);
        w[3] = std::max(y1 - y0, 0);
    }
    memcpy(window, w, sizeof w);
}

// The frame's lights, their tiles and the pass's draws; false when a
// program the pass needs cannot be built.
bool planFrame(SceneKind scene, LightSetFrame& frame)
{
    Shelf shelf;
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        const Light& light = engine.lights[i];
        if (!light.enabled) {
            continue;
        }
        SetLight& s = frame.lights[frame.count];
        s = SetLight{};
        s.index = i;
        s.plan = planLight(light, scene);
        if (s.plan.addsNothing) {
            continue;
        }
        s.mapped = !(s.plan.variant & LIT_NO_SHADOW);
        if (s.mapped) {
            mapWindow(light, s.window);
            s.tile[2] = s.window[2];
            s.tile[3] = s.window[3];
            if (!placeTile(shelf, s.tile)) {
                frame.own[frame.ownCount++] = i;
                continue;
            }
        }
        ++frame.count;
    }

    RegionLight weighed[LIGHT_COUNT];
    for (int i = 0; i < frame.count; ++i) {
        const SetLight& s = frame.lights[i];
        const int whole[4] = {0, 0, renderer.view.width, renderer.view.height};
        memcpy(weighed[i].rect, s.plan.scissored ? s.plan.rect : whole, sizeof whole);
        weighed[i].pixelCost = pixelCost(s.plan.variant);
    }
    frame.regionCount = planLightRegions(renderer.view.width, renderer.view.height, weighed, frame.count, DRAW_COST,
                                         frame.regions, LIGHT_REGIONS_MAX);
    for (int r = 0; r < frame.regionCount; ++r) {
        int lights[LIGHT_COUNT], variants[LIGHT_COUNT], count = 0;
        for (int i = 0; i < frame.count; ++i) {
            if (frame.regions[r].mask & (1u << i)) {
                lights[count] = frame.lights[i].index;
                variants[count++] = frame.lights[i].plan.variant;
            }
        }
        frame.programs[r] = lightSetProgram(lights, variants, count);
        if (!frame.programs[r]) {
            return false;
        }
    }
    return true;
}

// The shadowed lights' maps, each into its tile: the viewport puts the map's
// window on the tile (the same texels as a map of its own), the scissor keeps
// the drawing to it.
void drawShadowTiles(SceneKind scene, LightSetFrame& frame)
{
    bool any = false;
    for (int i = 0; i < frame.count; ++i) {
        any = any || frame.lights[i].mapped;
    }
    if (!any) {
        return;
    }
    glEnable(GL_CULL_FACE);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.shadowFramebuffer);
    glClear(GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
    for (int i = 0; i < frame.count; ++i) {
        SetLight& s = frame.lights[i];
        if (!s.mapped) {
            continue;
        }
        glViewport(s.tile[0] - s.window[0], s.tile[1] - s.window[1], 2 * renderer.view.width, 2 * renderer.view.height);
        glScissor(s.tile[0], s.tile[1], s.tile[2], s.tile[3]);
        setLightCamera(engine.lights[s.index]);
        renderer.orderFree = renderer.skipDeadWork;
        drawScene(scene, true);
        renderer.orderFree = false;
        toFloats(shadowMatrix(), s.matrix);
        s.tileScale[0] = static_cast<float>(2.0 * renderer.view.width / renderer.shadowWidth);
        s.tileScale[1] = static_cast<float>(2.0 * renderer.view.height / renderer.shadowHeight);
        s.tileScale[2] = static_cast<float>(static_cast<double>(s.tile[0] - s.window[0]) / renderer.shadowWidth);
        s.tileScale[3] = static_cast<float>(static_cast<double>(s.tile[1] - s.window[1]) / renderer.shadowHeight);
    }
    glDisable(GL_SCISSOR_TEST);
    bindPicture();
}

// The program's uniforms from this frame's maps, once per frame.
void loadSetUniforms(LightSetProgram& program, const LightSetFrame& frame)
{
    if (program.uniformsFrame == renderer.frameNumber) {
        return;
    }
    program.uniformsFrame = renderer.frameNumber;
    float matrices[LIGHT_COUNT][16], tiles[LIGHT_COUNT][4];
    int maps = 0;
    for (int k = 0; k < program.count; ++k) {
        for (int i = 0; i < frame.count; ++i) {
            const SetLight& s = frame.lights[i];
            if (s.index == program.lights[k] && s.mapped) {
                memcpy(matrices[maps], s.matrix, sizeof s.matrix);
                memcpy(tiles[maps], s.tileScale, sizeof s.tileScale);
                ++maps;
            }
        }
    }
    if (maps > 0) {
        glUniformMatrix4fv(program.matricesLocation, maps, GL_FALSE, &matrices[0][0]);
        glUniform4fv(program.tilesLocation, maps, &tiles[0][0]);
    }
}

void drawLitRegions(SceneKind scene, LightSetFrame& frame)
{
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_CULL_FACE);
    bindShadowTexture();
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glEnable(GL_SCISSOR_TEST);
    for (int r = 0; r < frame.regionCount; ++r) {
        LightSetProgram& program = *frame.programs[r];
        glUseProgram(program.program);
        loadSetUniforms(program, frame);
        const int* rect = frame.regions[r].rect;
        glScissor(renderer.view.x + rect[0], renderer.view.y + rect[1], rect[2], rect[3]);
        renderer.orderFree = renderer.skipDeadWork;
        drawScene(scene, false);
        renderer.orderFree = false;
    }
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glUseProgram(0);
}

}   // namespace

bool drawLightSet(SceneKind scene)
{
    static LightSetFrame frame;   // (large; one frame at a time)
    frame = LightSetFrame{};
    if (!planFrame(scene, frame)) {
        renderer.onePassFailed = true;
        printf("The lights' one-pass program is unusable; each light gets passes of its own.\n");
        return false;
    }
    drawShadowTiles(scene, frame);
    setViewCamera();   // again: the shadow passes set their own
    bool anyLight = false;
    for (const Light& light : engine.lights) {
        anyLight = anyLight || light.enabled;
    }
    // The pre-pass lays down back faces, as the shadow pass's culling would
    // leave it; the HUD is drawn against it also when no light adds anything.
    bool prepassDone = false;
    if (scene == SceneKind::Play && anyLight) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        depthPrepass();
        prepassDone = true;
    }
    for (int i = 0; i < frame.count; ++i) {
        loadLight(engine.lights[frame.lights[i].index], GL_LIGHT0 + frame.lights[i].index, scene == SceneKind::Splash);
    }
    drawLitRegions(scene, frame);
    for (int i = 0; i < frame.ownCount; ++i) {
        drawLightPasses(engine.lights[frame.own[i]], scene, prepassDone);
    }
    return true;
}
