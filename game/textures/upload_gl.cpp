// game/textures/upload_gl: the program's texture uploader, the one place the
// manager touches OpenGL. Needs a current GL context.
// Limits: no GL error checking; gluBuild2DMipmaps rescales sides that are
// not powers of two (and images larger than the implementation allows).
#include "game/textures/textures.h"

#include <GL/gl.h>
#include <GL/glu.h>

static_assert(IMAGE_RGB == GL_RGB && IMAGE_RGBA == GL_RGBA && IMAGE_LUMINANCE == GL_LUMINANCE &&
                  IMAGE_LUMINANCE_ALPHA == GL_LUMINANCE_ALPHA,
              "image formats must be the GL enumerants");

namespace {

// New id, repeat wrap, trilinear filtering, every mipmap level from the pixels.
uint32_t uploadWithMipmaps(const Texture* texture)
{
    GLint previousBinding = 0;
    GLint previousAlignment = 4;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousBinding);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Rows are tightly packed; GL's default of 4-byte rows would skew (and
    // read past) RGB and grey images whose rows are not a multiple of 4 bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, texture->format, texture->width, texture->height, GLenum(texture->format),
                      GL_UNSIGNED_BYTE, texture->pixels.get());

    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindTexture(GL_TEXTURE_2D, GLuint(previousBinding));
    return name;
}

void deleteTexture(uint32_t glName)
{
    GLuint name = glName;
    glDeleteTextures(1, &name);
}

}   // namespace

void useGlTextureUpload() { textureUploader = {uploadWithMipmaps, deleteTexture}; }
