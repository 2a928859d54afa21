// game/render/shadow: the lit GLSL programs (one per variant), the
// depth-texture shadow map with its framebuffer, and the shadow texture
// matrix on unit 4.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/render/engine.h"
#include "game/render/render_internal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const Matrix4 BIAS_MATRIX = {{0.5, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0.5, 0, 0.5, 0.5, 0.5, 1}};

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
std::string withDefines(const char* text, int variant)
{
    std::string source = text;
    std::string defines = renderer.mapsPacked ? "#define PACKED_MAPS 1\n" : "";
    for (int bit = 0; bit < 3; ++bit) {
        if (variant & (1 << bit)) {
            defines += VARIANT_DEFINES[bit];
        }
    }
    const size_t version = source.find("#version");
    const size_t lineEnd = version == std::string::npos ? std::string::npos : source.find('\n', version);
    source.insert(lineEnd == std::string::npos ? 0 : lineEnd + 1, defines);
    return source;
}

// One lit program from the compiled vertex shader and the fragment source; 0 on failure.
GLuint linkVariant(GLuint vertex, const char* fragmentText, int variant)
{
    const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    const std::string source = withDefines(fragmentText, variant);
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

}   // namespace

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
    GLuint program = ok ? linkVariant(vertex, fragmentText, LIT_FULL) : 0;
    for (int variant = 0; variant < LIT_VARIANTS; ++variant) {
        renderer.litPrograms[variant] = program;
        if (program && variant != LIT_FULL) {
            const GLuint special = linkVariant(vertex, fragmentText, variant);
            renderer.litPrograms[variant] = special ? special : program;
        }
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
    const int width = 2 * renderer.pictureWidth;
    const int height = 2 * renderer.pictureHeight;

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
void loadShadowMatrix()
{
    memcpy(engine.lightModelview, renderer.camera.m, sizeof engine.lightModelview);
    memcpy(engine.lightProjection, renderer.projection.m, sizeof engine.lightProjection);
    const Matrix4 toMap = multiply(BIAS_MATRIX, multiply(renderer.projection, renderer.camera));
    loadShadowTextureMatrix(multiply(toMap, rigidInverse(renderer.viewCamera)));
}

void loadWorldShadowMatrix() { loadShadowTextureMatrix(rigidInverse(renderer.viewCamera)); }
