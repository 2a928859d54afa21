// game/render/light_plans: what each light's passes can leave out in this
// frame, each item proven to change no pixel. The scenes lie in known boxes
// (built here from the play field), so the spot-light bounds bound what a
// pass can change; the other proofs each name the shader's arithmetic that
// makes a pass or a block contribute exactly 0, or a lookup exactly 1.
#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/render_internal.h"
#include "game/render/spot_bounds.h"

#include <algorithm>
#include <cmath>

namespace {

// The box every object of a scene lies in.
SceneBox sceneBox(SceneKind scene)
{
    if (scene == SceneKind::Menu) {
        return {{-2000, 15, -2000}, {2000, 55, 2000}};   // the floor; the brick and the title stand above it
    }
    if (scene == SceneKind::Splash) {
        return {{20, -2, -10}, {60, 48, -10}};   // the logo quad, at its widest
    }
    const PlayField& field = shownField();
    SceneBox box = {{20, -15, 13}, {60, 55, 83}};   // the room, as drawRoom places it
    auto grow = [&](double x, double y, double reach) {
        const double at[3] = {x, y, PLAY_PLANE_Z};
        for (int axis = 0; axis < 3; ++axis) {
            box.low[axis] = std::min(box.low[axis], at[axis] - reach);
            box.high[axis] = std::max(box.high[axis], at[axis] + reach);
        }
    };
    grow(field.paddle.x, field.paddle.y, std::abs(field.paddle.halfWidth) + 3);
    for (int i = 0; i < 6; ++i) {
        grow(68 + 4 * (i % 3), 33, 4);   // the spare paddles
        grow(68 + 4 * (i % 3), 35, 4);
    }
    for (const Brick& brick : field.bricks) {
        if (brick.present) {
            grow(brick.x, brick.y, 3);
        }
        if (brick.capsuleFalling) {
            grow(brick.x, brick.capsuleY, 3);
        } else if (brick.brickFalling) {
            grow(brick.x, brick.fallY, 3);
        }
    }
    return box;
}

// The frame's view camera, as the lit passes see it.
ViewTransform frameView()
{
    return {renderer.viewCamera, renderer.viewProjection, renderer.view.width, renderer.view.height, VIEW_NEAR};
}

}   // namespace

bool shadowWindow(const Light& light, int window[4])
{
    return renderer.spotScissor && spotShadowWindow(light, renderer.view.width, renderer.view.height, window);
}

LightPlan planLight(const Light& light, SceneKind scene)
{
    LightPlan plan;
    const SceneBox box = sceneBox(scene);
    plan.scissored = renderer.spotScissor && spotConeRectangle(light, box, frameView(), plan.rect);
    if (!renderer.skipDeadWork) {
        plan.variant = scene == SceneKind::Splash ? LIT_NO_SHADOW : LIT_FULL;
        return plan;
    }
    const bool directional = light.position[3] == 0;
    plan.variant = (directional ? LIT_DIRECTIONAL : 0) | (light.spot ? 0 : LIT_NO_CONE);
    // Black light: every term of the shader is a product with its colour
    // (attenuation is finite while its three factors are 0, as the game keeps them).
    const bool black = light.colour[0] == 0 && light.colour[1] == 0 && light.colour[2] == 0 &&
                       (directional || (light.constantAttenuation == 0 && light.linearAttenuation == 0 &&
                                        light.quadraticAttenuation == 0));
    const bool coneMisses = plan.scissored && (plan.rect[2] == 0 || plan.rect[3] == 0);
    plan.addsNothing =
        black || coneMisses || (directional && light.spot && directionalConeIsDark(light, renderer.viewCamera));
    // The splash draws no shadow pass: its lookups land outside the map (loadWorldShadowMatrix).
    plan.shadowUnread = scene == SceneKind::Splash || shadowCannotFall(light, box);
    if (plan.shadowUnread) {
        plan.variant |= LIT_NO_SHADOW;
    }
    return plan;
}
