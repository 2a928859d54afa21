// game/render/materials: materials (four texture maps each, found by name in
// the Engine's path tables) and binding them to texture units 0-3, or 0-1
// when the maps are packed in pairs.
#include <GL/glew.h>

#include "game/render/engine.h"
#include "game/render/render_internal.h"
#include "game/textures/textures.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const* const MAP_SUFFIXES = MATERIAL_MAP_SUFFIXES;

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

void useMaterial(int material) { bindMaterial(material, material, material, material); }

const Texture* materialMap(int material, int kind)
{
    return material < engine.materialCounts[kind] ? findTexture(engine.materialPaths[kind][material])
                                                  : findTexture("default");
}
