// game/render/shadow: the GLSL program, the depth-texture shadow map with its
// framebuffer, the shadow texture matrix on unit 4, and the object transforms
// that keep unit 4's matrix in step with the model-view matrix.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/render/engine.h"
#include "game/render/render.h"
#include "game/shell/config.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr long MAX_SHADER_BYTES = 1 << 20;   // a shader source larger than this is refused

const GLdouble BIAS_MATRIX[16] = {0.5, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0.5, 0, 0.5, 0.5, 0.5, 1};

void progress(const char* bar, bool swap)
{
    glColor3f(1, 0, 0);
    drawStrokeText(26, 20, 0, 0, bar);
    if (swap) {
        glutSwapBuffers();
    }
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

}   // namespace

char* readTextFile(const char* path)
{
    if (!path) {
        return nullptr;
    }
    FILE* file = fopen(path, "r");
    if (!file) {
        return nullptr;
    }
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0) {
        size = ftell(file);
        rewind(file);
    }
    if (size <= 0 || size > MAX_SHADER_BYTES) {
        fclose(file);
        return nullptr;
    }
    char* text = static_cast<char*>(malloc(static_cast<size_t>(size) + 1));
    if (!text) {
        fclose(file);
        return nullptr;
    }
    const size_t count = fread(text, 1, static_cast<size_t>(size), file);
    fclose(file);
    if (count == 0) {
        free(text);
        return nullptr;
    }
    text[count] = '\0';
    return text;
}

void buildShaderProgram()
{
    static const char* const VERTEX_FILE = "Shaders/shadows.vert";
    static const char* const FRAGMENT_FILE = "Shaders/shadows.frag";
    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    char* vertexText = readTextFile(VERTEX_FILE);
    char* fragmentText = readTextFile(FRAGMENT_FILE);
    progress("|---------    |", true);

    // A missing source or a failed build leaves the game on the unshadowed path;
    // a broken program is never used for drawing.
    bool ok = true;
    if (!vertexText || !fragmentText) {
        printf("Cannot read shader source %s.\n", !vertexText ? VERTEX_FILE : FRAGMENT_FILE);
        ok = false;
    }
    ok = ok && compileShader(vertex, vertexText, VERTEX_FILE);
    // With packed maps the same source samples two textures instead of four.
    std::string fragmentSource = fragmentText ? fragmentText : "";
    if (renderer.mapsPacked) {
        // After the #version line, which must precede every other directive.
        const size_t version = fragmentSource.find("#version");
        const size_t lineEnd = version == std::string::npos ? std::string::npos : fragmentSource.find('\n', version);
        fragmentSource.insert(lineEnd == std::string::npos ? 0 : lineEnd + 1, "#define PACKED_MAPS 1\n");
    }
    ok = ok && compileShader(fragment, fragmentSource.c_str(), FRAGMENT_FILE);
    free(vertexText);
    free(fragmentText);

    GLuint program = 0;
    if (ok) {
        program = glCreateProgram();
        glAttachShader(program, fragment);
        glAttachShader(program, vertex);
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            printInfoLog(program, true, "Cannot link the shader program");
            glDeleteProgram(program);
            program = 0;
            ok = false;
        }
    }
    if (!ok) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
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
    const int width = 2 * config.screenWidth;
    const int height = 2 * config.screenHeight;

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
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, width, height, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenFramebuffersEXT(1, &renderer.shadowFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.shadowFramebuffer);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    progress("|--------     |", false);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, renderer.shadowTexture, 0);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
        printf("GL_FRAMEBUFFER_COMPLETE_EXT failed, CANNOT use FBO\n");
        engine.shadowsEnabled = false;
    } else {
        renderer.shadowMapReady = true;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glutSwapBuffers();
}

bool shadowPathAvailable() { return renderer.shaderProgram != 0 && renderer.shadowMapReady; }

void loadShadowMatrix()
{
    glGetDoublev(GL_MODELVIEW_MATRIX, engine.lightModelview);
    glGetDoublev(GL_PROJECTION_MATRIX, engine.lightProjection);
    glPushMatrix();
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE0 + SHADOW_UNIT);
    glLoadIdentity();
    glLoadMatrixd(BIAS_MATRIX);
    glMultMatrixd(engine.lightProjection);
    glMultMatrixd(engine.lightModelview);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void pushObjectTransform(float x, float y, float z, float angle, bool axisX, bool axisY, bool axisZ)
{
    glPushMatrix();
    glTranslatef(x, y, z);
    if (angle != 0) {
        glRotatef(angle, axisX ? 1.0f : 0.0f, axisY ? 1.0f : 0.0f, axisZ ? 1.0f : 0.0f);
    }
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE0 + SHADOW_UNIT);
    glPushMatrix();
    glTranslatef(x, y, z);
}

void popObjectTransform()
{
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
