// game/render/shadow: the lit GLSL programs (one per variant for a light's
// own pass, one per light set for the one lit pass), the depth texture of the
// shadow maps with its framebuffer, and the shadow texture matrix on unit 4.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/render/engine.h"
#include "game/render/render_internal.h"
#include "game/render/spot_bounds.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const Matrix4 BIAS_MATRIX = {{0.5, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0.5, 0, 0.5, 0.5, 0.5, 1}};

// The shader sources as read at loading: the light sets' programs are built from them later.
std::string vertexSource;
std::string fragmentSource;

// The defines of each lit program variant, by its bits.
const char* const VARIANT_DEFINES[3] = {"#define DIRECTIONAL_LIGHT 1\n", "#define NO_CONE 1\n",
                                        "#define NO_SHADOW 1\n"};

// The shader and shadow-map steps draw their bar in the banner's red, while
// the scene loads (a shadow map rebuilt for a new resolution draws none).
void progress(const char* bar, bool swap)
{
    if (engine.loaded) {
        return;
    }
    glColor3f(1, 0, 0);
    drawProgress(bar, swap);
}

// Prints the info log of a shader or program object after a failure.
void printInfoLog(GLuint object, bool isProgram, const char* what)
{
    GLint length = 0;
    if (isProgram) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1) + 1, '\0');
    if (length > 0) {
        if (isProgram) {
            glGetProgramInfoLog(object, length, nullptr, log.data());
        } else {
            glGetShaderInfoLog(object, length, nullptr, log.data());
        }
    }
    printf("%s:\n%s\n", what, log.data());
}

bool compileShader(GLuint shader, const char* source, const char* path)
{
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        printInfoLog(shader, false, (std::string("Cannot compile ") + path).c_str());
    }
    return ok == GL_TRUE;
}

void disableShadows(const char* why)
{
    printf("%s Shadows maps disabled\n", why);
    engine.shadowsEnabled = false;
}

// The source with the defines after the #version line, which must precede every other directive.
std::string withDefines(const char* text, const std::string& defines)
{
    std::string source = text;
    const size_t version = source.find("#version");
    const size_t lineEnd = version == std::string::npos ? std::string::npos : source.find('\n', version);
    source.insert(lineEnd == std::string::npos ? 0 : lineEnd + 1, defines);
    return source;
}

std::string variantDefines(int variant)
{
    std::string defines = renderer.mapsPacked ? "#define PACKED_MAPS 1\n" : "";
    for (int bit = 0; bit < 3; ++bit) {
        if (variant & (1 << bit)) {
            defines += VARIANT_DEFINES[bit];
        }
    }
    return defines;
}

// One lit program from the compiled vertex shader and the fragment source; 0 on failure.
GLuint linkProgram(GLuint vertex, const char* fragmentText, const std::string& defines)
{
    const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    const std::string source = withDefines(fragmentText, defines);
    if (!compileShader(fragment, source.c_str(), "Shaders/shadows.frag")) {
        glDeleteShader(fragment);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, fragment);
    glAttachShader(program, vertex);
    glLinkProgram(program);
    glDeleteShader(fragment);   // freed with the program
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        printInfoLog(program, true, "Cannot link the shader program");
        glDeleteProgram(program);
        return 0;
    }
    // The samplers always name their own units; they are set once for the run.
    static const char* const names[5] = {"texture", "normalMap", "specularMap", "heightMap", "ShadowMap"};
    glUseProgram(program);
    for (int i = 0; i < 5; ++i) {
        renderer.samplerLocations[i] = glGetUniformLocation(program, names[i]);
        glUniform1i(renderer.samplerLocations[i], i);
    }
    glUseProgram(0);
    return program;
}

// The shader's text with the light set's defines: LIGHT_SET lists each
// light's term, SHADOW_MAPS counts the lights with a map.
std::string lightSetDefines(const int lights[], const int variants[], int count)
{
    std::string set = "#define LIGHT_SET";
    int maps = 0;
    char entry[96];
    for (int i = 0; i < count; ++i) {
        const char* directional = (variants[i] & LIT_DIRECTIONAL) ? "true" : "false";
        const char* cone = (variants[i] & LIT_NO_CONE) ? "false" : "true";
        if (variants[i] & LIT_NO_SHADOW) {
            snprintf(entry, sizeof entry, " LIGHT(%d, %s, %s)", lights[i], directional, cone);
        } else {
            snprintf(entry, sizeof entry, " SHADOWED_LIGHT(%d, %s, %s, %d)", lights[i], directional, cone, maps++);
        }
        set += entry;
    }
    snprintf(entry, sizeof entry, "\n#define SHADOW_MAPS %d\n", maps);
    return set + entry + (renderer.mapsPacked ? "#define PACKED_MAPS 1\n" : "");
}

GLuint buildLightSetProgram(const int lights[], const int variants[], int count)
{
    if (vertexSource.empty() || fragmentSource.empty()) {
        return 0;
    }
    const std::string defines = lightSetDefines(lights, variants, count);
    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    const std::string source = withDefines(vertexSource.c_str(), defines);
    GLuint program = 0;
    if (compileShader(vertex, source.c_str(), "Shaders/shadows.vert")) {
        program = linkProgram(vertex, fragmentSource.c_str(), defines);
    }
    glDeleteShader(vertex);
    return program;
}

bool sameSet(const LightSetProgram& p, const int lights[], const int variants[], int count)
{
    if (p.count != count) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (p.lights[i] != lights[i] || p.variants[i] != variants[i]) {
            return false;
        }
    }
    return true;
}

}   // namespace

LightSetProgram* lightSetProgram(const int lights[], const int variants[], int count)
{
    if (count <= 0 || count > LIGHT_COUNT) {
        return nullptr;
    }
    LightSetProgram* slot = &renderer.setPrograms[0];
    for (LightSetProgram& p : renderer.setPrograms) {
        if (sameSet(p, lights, variants, count)) {
            p.usedFrame = renderer.frameNumber;
            return p.program ? &p : nullptr;
        }
        if (p.count < 0 || (slot->count >= 0 && p.usedFrame < slot->usedFrame)) {
            slot = &p;   // a free slot, else the one unused for longest
        }
    }
    if (slot->count >= 0 && slot->usedFrame == renderer.frameNumber) {
        return nullptr;   // every program is needed by this very frame
    }
    if (slot->program) {
        glDeleteProgram(slot->program);
    }
    *slot = LightSetProgram{};
    slot->count = count;
    std::copy(lights, lights + count, slot->lights);
    std::copy(variants, variants + count, slot->variants);
    slot->usedFrame = renderer.frameNumber;
    slot->program = buildLightSetProgram(lights, variants, count);
    if (!slot->program) {
        return nullptr;
    }
    slot->matricesLocation = glGetUniformLocation(slot->program, "shadowMatrices");
    slot->tilesLocation = glGetUniformLocation(slot->program, "shadowTiles");
    return slot;
}

void buildShaderProgram()
{
    static const char* const VERTEX_FILE = "Shaders/shadows.vert";
    static const char* const FRAGMENT_FILE = "Shaders/shadows.frag";
    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    char* vertexText = readTextFile(VERTEX_FILE);
    char* fragmentText = readTextFile(FRAGMENT_FILE);
    progress("|---------    |", true);

    // A missing source or a failed build leaves the game on the unshadowed path;
    // a broken program is never used for drawing. A variant that fails falls
    // back to the full program, which computes the same for its lights.
    bool ok = true;
    if (!vertexText || !fragmentText) {
        printf("Cannot read shader source %s.\n", !vertexText ? VERTEX_FILE : FRAGMENT_FILE);
        ok = false;
    }
    ok = ok && compileShader(vertex, vertexText, VERTEX_FILE);
    GLuint program = ok ? linkProgram(vertex, fragmentText, variantDefines(LIT_FULL)) : 0;
    for (int variant = 0; variant < LIT_VARIANTS; ++variant) {
        renderer.litPrograms[variant] = program;
        if (program && variant != LIT_FULL) {
            const GLuint special = linkProgram(vertex, fragmentText, variantDefines(variant));
            renderer.litPrograms[variant] = special ? special : program;
        }
    }
    if (program) {
        vertexSource = vertexText;
        fragmentSource = fragmentText;
    }
    free(vertexText);
    free(fragmentText);
    glDeleteShader(vertex);   // freed with the last program that holds it
    if (!program) {
        disableShadows("The shader program is unusable.");
    }
    renderer.shaderProgram = program;
    progress("|----------   |", true);
}

void createShadowMap()
{
    // Without framebuffer objects there is no shadow map to build; the
    // resolution option still changes the size and the viewport.
    if (!GLEW_EXT_framebuffer_object) {
        engine.shadowsEnabled = false;
        renderer.shadowMapReady = false;
        return;
    }
    // Room for a map of twice the picture's size, and for six tiles of the
    // usual spot lights' maps side by side (each the part of its map the cone
    // can read: about a quarter of it).
    Light spot;
    spot.spot = true;
    spot.spotCutoff = 40;
    spot.direction[2] = -1;
    int tile[4] = {};
    spotShadowWindow(spot, renderer.pictureWidth, renderer.pictureHeight, tile);
    const int width = std::max(2 * renderer.pictureWidth, 3 * tile[2]);
    const int height = std::max(2 * renderer.pictureHeight, 2 * tile[3]);
    renderer.shadowWidth = width;
    renderer.shadowHeight = height;

    // Each call replaces the previous map; the old objects are freed.
    if (renderer.shadowTexture) {
        glDeleteTextures(1, &renderer.shadowTexture);
    }
    if (renderer.shadowFramebuffer) {
        glDeleteFramebuffersEXT(1, &renderer.shadowFramebuffer);
    }
    renderer.shadowMapReady = false;

    glGenTextures(1, &renderer.shadowTexture);
    glBindTexture(GL_TEXTURE_2D, renderer.shadowTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_INTENSITY);
    progress("|-------      |", true);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, width, height, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenFramebuffersEXT(1, &renderer.shadowFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.shadowFramebuffer);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, renderer.shadowTexture, 0);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
        printf("GL_FRAMEBUFFER_COMPLETE_EXT failed, CANNOT use FBO\n");
        engine.shadowsEnabled = false;
    } else {
        renderer.shadowMapReady = true;
    }
    bindPicture();   // (the bar drawn while the map's framebuffer was bound would be lost)
    progress("|--------     |", true);
}

bool shadowPathAvailable() { return renderer.shaderProgram != 0 && renderer.shadowMapReady; }

namespace {

void loadShadowTextureMatrix(const Matrix4& m)
{
    float values[16];
    toFloats(m, values);
    if (renderer.activeUnit != SHADOW_UNIT) {
        glActiveTexture(GL_TEXTURE0 + SHADOW_UNIT);
        renderer.activeUnit = SHADOW_UNIT;
    }
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(values);
    glMatrixMode(GL_MODELVIEW);
}

}   // namespace

// The lit pass's vertex shader multiplies the eye position, so the matrix
// takes the view camera's eye space back to the world and on into the light's
// map: every fragment looks up the point it shows, whatever moved or turned
// its object (lookups taken before from object coordinates moved by the
// translation alone read texels of other places, and of earlier passes).
Matrix4 shadowMatrix()
{
    memcpy(engine.lightModelview, renderer.camera.m, sizeof engine.lightModelview);
    memcpy(engine.lightProjection, renderer.projection.m, sizeof engine.lightProjection);
    const Matrix4 toMap = multiply(BIAS_MATRIX, multiply(renderer.projection, renderer.camera));
    return multiply(toMap, rigidInverse(renderer.viewCamera));
}

void loadShadowMatrix() { loadShadowTextureMatrix(shadowMatrix()); }

// A light's own pass draws its map at the texture's corner, at twice the view's size.
void loadMapTile(unsigned int program)
{
    if (renderer.shadowWidth > 0 && renderer.shadowHeight > 0) {
        glUniform4f(glGetUniformLocation(program, "shadowTile"),
                    static_cast<float>(2.0 * renderer.view.width / renderer.shadowWidth),
                    static_cast<float>(2.0 * renderer.view.height / renderer.shadowHeight), 0, 0);
    }
}

void loadWorldShadowMatrix() { loadShadowTextureMatrix(rigidInverse(renderer.viewCamera)); }
