// game/render/present: the picture's own framebuffer and how it reaches the
// window. Where the window shows the picture at another size, the scene is
// drawn into an offscreen target of the picture's size (a colour texture with
// alpha, as the window has, and a depth buffer), and each frame is shown by
// one full-window draw: the texture on a quad in the middle of the window,
// proportions kept, filtered linearly, the rest of the window black. (The
// quad costs software GL about a fifth less than a scaled framebuffer blit,
// and needs no blit extension.) Where the window's middle holds the picture
// at its own size, and without framebuffer objects, the scene is drawn
// straight into the window's middle (at the size that fits, without them).
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/render/engine.h"
#include "game/render/render_internal.h"

#include <cstdio>

namespace {

void deleteTarget()
{
    if (renderer.pictureFramebuffer) {
        glDeleteFramebuffersEXT(1, &renderer.pictureFramebuffer);
    }
    if (renderer.pictureColour) {
        glDeleteTextures(1, &renderer.pictureColour);
    }
    if (renderer.pictureDepth) {
        glDeleteRenderbuffersEXT(1, &renderer.pictureDepth);
    }
    renderer.pictureFramebuffer = renderer.pictureColour = renderer.pictureDepth = 0;
}

// The framebuffer this frame draws into: the target, or the window.
unsigned int drawnFramebuffer() { return renderer.drawnOffscreen ? renderer.pictureFramebuffer : 0; }

// The picture's texture on a quad over rect of the window, as it is: no
// depth, blending or culling, unit 0 replacing the colour. Everything it
// changes is put back, the texture binding and the active unit included (the
// loading screen presents in the middle of building textures).
void drawPictureQuad(const PictureRect& rect)
{
    glViewport(rect.x, rect.y, rect.width, rect.height);
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    GLint unit = GL_TEXTURE0;
    GLint bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    const bool texturing = glIsEnabled(GL_TEXTURE_2D);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, renderer.pictureColour);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    if (!texturing) {
        glDisable(GL_TEXTURE_2D);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glActiveTexture(static_cast<GLenum>(unit));
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();   // the enables and the depth mask
}

}   // namespace

void createPictureTarget()
{
    int width = 0;
    int height = 0;
    boundPictureSize(renderInputs.width, renderInputs.height, width, height);
    renderer.pictureWidth = width;
    renderer.pictureHeight = height;
    if (GLEW_EXT_framebuffer_object) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
    deleteTarget();
    renderer.offscreen = false;
    renderer.drawnOffscreen = false;
    if (!GLEW_EXT_framebuffer_object) {
        return;   // drawn straight into the window
    }
    GLint largestTexture = 0;
    GLint largestBuffer = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &largestBuffer);
    if (width > largestTexture || height > largestTexture || width > largestBuffer || height > largestBuffer) {
        printf("A %dx%d picture is larger than this GL can draw offscreen; drawing into the window.\n", width, height);
        return;
    }
    glGenTextures(1, &renderer.pictureColour);
    glBindTexture(GL_TEXTURE_2D, renderer.pictureColour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenRenderbuffersEXT(1, &renderer.pictureDepth);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, renderer.pictureDepth);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    glGenFramebuffersEXT(1, &renderer.pictureFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.pictureFramebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, renderer.pictureColour, 0);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 renderer.pictureDepth);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT) {
        renderer.offscreen = true;
    } else {
        printf("The picture's framebuffer is incomplete; drawing into the window.\n");
        deleteTarget();
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void beginPicture()
{
    // The window's middle at the picture's proportions; the frame's clear blackens the bars.
    const PictureRect shown =
        fitPicture(renderer.pictureWidth, renderer.pictureHeight, renderInputs.windowWidth, renderInputs.windowHeight);
    const bool ownSize = shown.width == renderer.pictureWidth && shown.height == renderer.pictureHeight;
    renderer.drawnOffscreen = renderer.offscreen && !ownSize;
    renderer.view = renderer.drawnOffscreen ? PictureRect{0, 0, renderer.pictureWidth, renderer.pictureHeight} : shown;
    bindPicture();
}

void bindPicture()
{
    if (GLEW_EXT_framebuffer_object) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, drawnFramebuffer());
    }
    glViewport(renderer.view.x, renderer.view.y, renderer.view.width, renderer.view.height);
}

void presentPicture()
{
    if (renderer.drawnOffscreen) {
        const int windowWidth = renderInputs.windowWidth > 0 ? renderInputs.windowWidth : 1;
        const int windowHeight = renderInputs.windowHeight > 0 ? renderInputs.windowHeight : 1;
        const PictureRect shown = fitPicture(renderer.pictureWidth, renderer.pictureHeight, windowWidth, windowHeight);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        if (shown.width != windowWidth || shown.height != windowHeight) {
            glDisable(GL_SCISSOR_TEST);
            glClear(GL_COLOR_BUFFER_BIT);   // the bars (the clear colour is black)
        }
        drawPictureQuad(shown);
        bindPicture();
    }
    glutSwapBuffers();
}

void resizeRender()
{
    createPictureTarget();
    createShadowMap();
    beginPicture();
}
