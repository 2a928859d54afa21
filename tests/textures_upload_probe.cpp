// Uploads textures for real in a GLUT window and reads level 0 back: the
// checkerboard default and the images named on the command line must come
// back exactly as decoded, with mipmaps built and the caller's GL state kept.
// Exit status 0 when all holds; each fault is printed.
#include "game/textures/textures.h"

#include <GL/glut.h>

#include <cstdio>
#include <vector>

static int faults = 0;

static void fault(const char* what, const char* name)
{
    std::printf("FAULT: %s (%s)\n", what, name);
    ++faults;
}

// Level 0 of the texture equals pixels; level 1 exists (the chain was built).
static void expectTexture(uint32_t id, const Texture& decoded, const uint8_t* pixels, const char* name)
{
    glBindTexture(GL_TEXTURE_2D, id);
    GLint width = 0, height = 0, level1 = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1);
    if (width != decoded.width || height != decoded.height) fault("level 0 size", name);
    if (decoded.width > 1 && level1 != decoded.width / 2) fault("no mipmap level 1", name);
    GLint minFilter = 0, wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    if (minFilter != GL_LINEAR_MIPMAP_LINEAR || wrap != GL_REPEAT) fault("parameters", name);
    std::vector<uint8_t> back(size_t(decoded.width) * decoded.height * decoded.bytesPerPixel, 0xCD);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GLenum(decoded.format), GL_UNSIGNED_BYTE, back.data());
    if (!std::equal(back.begin(), back.end(), pixels)) fault("level 0 pixels differ from the decoded image", name);
    glBindTexture(GL_TEXTURE_2D, 0);
}

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow("textures upload");
    useGlTextureUpload();

    // A state of the caller's that the upload must leave as it found it.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (!createDefaultTexture()) fault("no default texture", "default");
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    if (alignment != 4) fault("unpack alignment not restored", "default");

    std::vector<uint8_t> board(64 * 64);
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 64; ++c)
            board[r * 64 + c] = ((c / 8) ^ (r / 8)) & 1 ? 255 : 0;
    Texture checker;
    checker.width = checker.height = 64;
    checker.format = IMAGE_LUMINANCE;
    checker.bytesPerPixel = 1;
    expectTexture(textureManager.defaultTexture->glName, checker, board.data(), "default");

    for (int i = 1; i < argc; ++i) {
        Texture decoded;
        if (!loadImage(argv[i], decoded)) {
            fault("cannot decode", argv[i]);
            continue;
        }
        uint32_t id = getTexture(argv[i]);
        if (id == textureManager.defaultTexture->glName) fault("got the default", argv[i]);
        expectTexture(id, decoded, decoded.pixels.get(), argv[i]);
    }
    deleteAllTextures();
    if (glGetError() != GL_NO_ERROR) fault("GL error", "end");
    std::printf(faults == 0 ? "textures upload ok\n" : "textures upload: %d faults\n", faults);
    return faults == 0 ? 0 : 1;
}
